#include "thelp.h"

#include "helpkit.h"
#include "tabout.h"

#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QStackedWidget>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QVBoxLayout>

namespace {

// The pages' files in the help resources, by page number.
const char *const PageFiles[Thelp::PageCount] = {
    "overview.html", "connecting.html", "gameplay.html", "scoring.html", "documentation.html", nullptr};

QString readResource(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll());
}

const char *const PageStyle =
    "body { font-family: 'Liberation Sans'; font-size: 13px; }"
    "h2 { color: #1b3f8b; margin-top: 10px; margin-bottom: 4px; }"
    "h3 { color: #1b3f8b; margin-top: 8px; margin-bottom: 2px; }"
    "p, li { margin-top: 2px; margin-bottom: 4px; }"
    "td { padding: 2px 8px 2px 0px; }"
    "code, pre { font-family: 'Liberation Mono'; font-size: 12px; }";

// Quoted notices keep their line breaks but wrap at the page's edge, in a
// smaller type, so the page never needs a sideways scroll bar.
void wrapCodeBlocks(QTextDocument *doc)
{
    for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
        if (!block.blockFormat().nonBreakableLines())
            continue;
        QTextCursor cursor(block);
        QTextBlockFormat format = block.blockFormat();
        format.setNonBreakableLines(false);
        cursor.setBlockFormat(format);
        cursor.select(QTextCursor::BlockUnderCursor);
        QTextCharFormat small;
        small.setFontPointSize(8);
        cursor.mergeCharFormat(small);
    }
}

} // namespace

Thelp::Thelp(QWidget *parent)
    : QWidget(parent, Qt::Window)
{
    vexlo::initHelpResources();
    setObjectName(QStringLiteral("help"));
    setWindowTitle(QStringLiteral("Vexlo - Help File"));

    label_caption = new QLabel(this);
    label_caption->setObjectName(QStringLiteral("label_caption"));
    QFont heading = label_caption->font();
    heading.setPixelSize(20);
    heading.setBold(true);
    label_caption->setFont(heading);

    pages = new QStackedWidget(this);
    pages->setObjectName(QStringLiteral("pages"));
    auto *buttons = new QVBoxLayout;
    for (int page = 1; page <= PageCount; ++page) {
        auto *memo = new QTextBrowser(pages);
        memo->setObjectName(QStringLiteral("memo%1").arg(page));
        memo->setOpenExternalLinks(true);
        memo->document()->setDefaultStyleSheet(QString::fromLatin1(PageStyle));
        memo->document()->setDefaultFont(QFont(QStringLiteral("Liberation Sans"), 10));
        if (page == PageCount) {
            memo->setMarkdown(pageText(page));
            wrapCodeBlocks(memo->document());
        } else
            memo->setHtml(pageText(page));
        pages->addWidget(memo);

        auto *button = new QPushButton(pageCaption(page), this);
        button->setObjectName(QStringLiteral("SelButton%1").arg(page));
        button->setMinimumWidth(120);
        button->setCheckable(true); // the chosen page's button stays down
        button->setAutoExclusive(true);
        buttons->addWidget(button);
        m_pageButtons.append(button);
        connect(button, &QPushButton::clicked, this, &Thelp::SelButton1Click);
    }
    buttons->addStretch();

    button_about = new QPushButton(QStringLiteral("About"), this);
    button_about->setObjectName(QStringLiteral("button_about"));
    button_done = new QPushButton(QStringLiteral("Done"), this);
    button_done->setObjectName(QStringLiteral("button_done"));
    buttons->addWidget(button_about);
    buttons->addWidget(button_done);
    connect(button_about, &QPushButton::clicked, this, &Thelp::button_aboutClick);
    connect(button_done, &QPushButton::clicked, this, &Thelp::button_doneClick);

    auto *right = new QVBoxLayout;
    right->addWidget(label_caption);
    right->addWidget(pages, 1);
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(buttons);
    layout->addLayout(right, 1);
    resize(680, 480);
    // Tab and the arrows move among the page buttons (the arrows turn the page),
    // Enter presses the focused button, Escape is "Done".
    vexlo::keyboardLikeADialog(this, [this] { button_doneClick(); });

    showPage(1);
}

QString Thelp::pageCaption(int page)
{
    switch (page) {
    case 1: return QStringLiteral("Overview");
    case 2: return QStringLiteral("Connecting");
    case 3: return QStringLiteral("Game Play");
    case 4: return QStringLiteral("Scoring");
    case 5: return QStringLiteral("Documentation");
    case 6: return QStringLiteral("License");
    default: return {};
    }
}

QString Thelp::pageText(int page) const
{
    if (page >= 1 && page < PageCount)
        return readResource(QStringLiteral(":/help/") + QLatin1String(PageFiles[page - 1]));
    // The licence page is the project's own licence and the notices of the word
    // lists, exactly as they stand in the source tree (Markdown). The licence's
    // paragraphs are joined into lines so they wrap with the page; headings step
    // down a level under the page's own caption.
    const QString license = readResource(QStringLiteral(":/help/LICENSE")).trimmed();
    QStringList paragraphs;
    for (const QString &p : license.split(QStringLiteral("\n\n")))
        paragraphs << p.simplified();
    QString notices = readResource(QStringLiteral(":/help/THIRD-PARTY-NOTICES.md"));
    notices.replace(QRegularExpression(QStringLiteral("^#"), QRegularExpression::MultilineOption),
                    QStringLiteral("##"));
    return QStringLiteral("## Vexlo\n\nVexlo is free software, released under the MIT License.\n\n")
        + paragraphs.join(QStringLiteral("\n\n")) + QStringLiteral("\n\n") + notices;
}

void Thelp::showPage(int page)
{
    if (page >= 1 && page <= m_pageButtons.size())
        selectPage(m_pageButtons[page - 1]);
}

int Thelp::currentPage() const
{
    return pages->currentIndex() + 1;
}

void Thelp::SelButton1Click()
{
    if (auto *button = qobject_cast<QAbstractButton *>(sender()))
        selectPage(button);
}

void Thelp::selectPage(QAbstractButton *button)
{
    // The buttons are in page order, as the pages are stacked.
    const int index = int(m_pageButtons.indexOf(button));
    if (QWidget *memo = index >= 0 ? pages->widget(index) : nullptr) {
        pages->setCurrentWidget(memo);
        label_caption->setText(button->text());
        button->setChecked(true);
    }
}

void Thelp::setAboutWindow(Tabout *about)
{
    m_about = about;
}

void Thelp::setBackgroundTile(const QPixmap &tile)
{
    vexlo::applyBackgroundTile(this, tile);
}

void Thelp::button_aboutClick()
{
    if (!m_about) // nobody handed one over: keep one of our own
        m_about = new Tabout(this);
    m_about->show();
    m_about->raise();
    m_about->activateWindow();
}

void Thelp::button_doneClick()
{
    hide();
}
