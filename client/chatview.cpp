#include "chatview.h"
#include "viewkit.h"

#include "chattext.h"
#include "look.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>
#include <QToolButton>

using namespace vexlo;
using viewkit::numbered;

namespace {

// Where the chat area lies on the board; its widgets are placed in board coordinates.
const QPoint kOrigin(257, 320);
constexpr int kPhraseTops[10] = {0, 320, 340, 361, 381, 402, 422, 443, 463, 484};
const QString kStartText = QStringLiteral("<Enter Chat Here>");
const char *const kSoundTitles[13] = {"<Cancel>", "Doh",    "Cough",   "Hello",   "Thank You",
                                      "Where have you been?", "Snoring", "Sneezing", "Sorry",
                                      "Welcome",  "Yeehaa", "Yippee",  "Oh No"};
// The same titles in the sound menu, each with its underlined letter.
const char *const kSoundMenuTitles[13] = {"<&Cancel>", "&Doh",    "Cou&gh",   "&Hello",   "&Thank You",
                                          "&Where have you been?", "&Snoring", "S&neezing", "So&rry",
                                          "W&elcome",  "&Yeehaa", "Y&ippee",  "&Oh No"};

} // namespace

ChatView::ChatView(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("chatarea"));
    setGeometry(QRect(kOrigin, QSize(504, 206)));
    buildView();
    buildEntry();
    setTabOrder(mychat, mainchat);
    mychat->setFocus();
    buildButtons();
}

QString ChatView::soundTitle(const QString &name)
{
    for (int tag = 1; tag <= 12; ++tag)
        if (name == numbered("wave", tag))
            return QLatin1String(kSoundTitles[tag]);
    return {};
}

void ChatView::buildView()
{
    mainchat = new QTextEdit(this);
    mainchat->setObjectName(QStringLiteral("mainchat"));
    mainchat->setAccessibleName(QStringLiteral("Chat log"));
    mainchat->setGeometry(QRect(285, 320, 476, 183).translated(-kOrigin));
    mainchat->setReadOnly(true);
    mainchat->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    mainchat->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont chatFont = QApplication::font(); // the desktop's own sans font
    chatFont.setPixelSize(11);
    mainchat->setFont(chatFont);
    mainchat->document()->setDocumentMargin(5);
    mainchat->setStyleSheet(QStringLiteral("QTextEdit { background: %1; color: black; border: 1px solid #6a4a2a; }"
                                           "QTextEdit { selection-background-color: #3a66b0; selection-color: white; }")
                                .arg(look::peach().name()));
    mainchat->viewport()->setMouseTracking(true);
    mainchat->viewport()->installEventFilter(this);
    mainchat->installEventFilter(this);
    mainchat->setContextMenuPolicy(Qt::CustomContextMenu);

    popup_mainchat = new QMenu(this);
    popup_mainchat->setObjectName(QStringLiteral("popup_mainchat"));
    QAction *copy = popup_mainchat->addAction(QStringLiteral("&Copy\tCtrl+C"));
    copy->setObjectName(QStringLiteral("Copy1"));
    connect(copy, &QAction::triggered, this, &ChatView::copySelection);
    QAction *clearItem = popup_mainchat->addAction(QStringLiteral("C&lear Main Chat"));
    clearItem->setObjectName(QStringLiteral("ClearMainChat2"));
    connect(clearItem, &QAction::triggered, this, &ChatView::clearChat);
    popup_mainchat->addSeparator();
    ScrollChatOff2 = popup_mainchat->addAction(QStringLiteral("&Scroll Chat Off\tCtrl+S"));
    ScrollChatOff2->setObjectName(QStringLiteral("ScrollChatOff2"));
    ScrollChatOff2->setCheckable(true);
    connect(ScrollChatOff2, &QAction::triggered, this, [this](bool on) {
        ScrollChatOff2->setChecked(!on); // toggleScrollOff sets the mark
        toggleScrollOff();
    });
    connect(mainchat, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { popup_mainchat->popup(mainchat->mapToGlobal(pos)); });
}

void ChatView::buildEntry()
{
    mychat = new QLineEdit(this);
    mychat->setObjectName(QStringLiteral("mychat"));
    mychat->setAccessibleName(QStringLiteral("Chat entry"));
    mychat->setGeometry(QRect(285, 504, 356, 22).translated(-kOrigin));
    mychat->setFont(look::arial(13));
    mychat->setText(kStartText);
    mychat->setStyleSheet(QStringLiteral("QLineEdit { background: %1; border: 1px solid #6a4a2a; padding: 0 3px; }")
                              .arg(look::peach().name()));
    mychat->installEventFilter(this);
    mychat->setContextMenuPolicy(Qt::CustomContextMenu);
    popup_mychat = new QMenu(this);
    popup_mychat->setObjectName(QStringLiteral("popup_mychat"));
    QAction *paste = popup_mychat->addAction(QStringLiteral("&Paste\tCtrl+V"));
    paste->setObjectName(QStringLiteral("Paste1"));
    connect(paste, &QAction::triggered, this, &ChatView::paste);
    connect(mychat, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { popup_mychat->popup(mychat->mapToGlobal(pos)); });
}

void ChatView::buildButtons()
{
    const QPixmap bubble = look::phrasePicture();
    for (int i = 1; i <= 9; ++i) {
        auto *b = new QToolButton(this);
        b->setObjectName(numbered("b_phrase", i));
        b->setGeometry(QRect(257, kPhraseTops[i], 27, 21).translated(-kOrigin));
        b->setIcon(bubble);
        b->setIconSize(bubble.deviceIndependentSize().toSize());
        look::makeFlat(b, Qt::white);
        connect(b, &QToolButton::clicked, this, [this, i] { Q_EMIT phrasePressed(i); });
        b_phrase[static_cast<size_t>(i)] = b;
    }
    auto *soundButton = new QToolButton(this);
    soundButton->setObjectName(QStringLiteral("b_phrase10"));
    soundButton->setGeometry(QRect(257, 504, 27, 21).translated(-kOrigin));
    soundButton->setIcon(look::soundPicture());
    soundButton->setIconSize(QSize(19, 15));
    soundButton->setToolTip(QStringLiteral("/me waves \"Good-Bye\""));
    look::makeFlat(soundButton, QColor(128, 0, 0));
    connect(soundButton, &QToolButton::clicked, this, &ChatView::popUpSoundMenu);
    b_phrase[0] = soundButton;

    popup_sounds = new QMenu(this);
    popup_sounds->setObjectName(QStringLiteral("popup_sounds"));
    for (int tag = 0; tag <= 12; ++tag) {
        QAction *a = popup_sounds->addAction(QLatin1String(kSoundMenuTitles[tag]));
        a->setObjectName(tag == 0 ? QStringLiteral("Cancel1") : numbered("wave", tag));
        a->setData(tag);
        a->setToolTip(QLatin1String(kSoundTitles[tag])); // the hint
        connect(a, &QAction::triggered, this, [this, tag] { Q_EMIT soundChosen(tag); });
    }
}

// --- the chat view ---

void ChatView::addLine(const QString &line, const QColor &colour)
{
    QScrollBar *bar = mainchat->verticalScrollBar();
    const int firstVisible = bar->value();
    mainchat->setUpdatesEnabled(false);

    QTextCursor end(mainchat->document());
    end.movePosition(QTextCursor::End);
    QTextCharFormat format;
    format.setForeground(colour);
    format.setFontWeight(QFont::Bold);
    const qsizetype head = headLength(line);
    end.insertText(line.left(head), format);
    format.setFontWeight(QFont::Normal);
    end.insertText(line.mid(head), format);
    end.insertBlock();

    if (m_scrollOff) {
        bar->setValue(firstVisible);
    } else {
        mainchat->moveCursor(QTextCursor::End);
        mainchat->ensureCursorVisible();
        bar->setValue(bar->maximum());
    }
    mainchat->setUpdatesEnabled(true);
    mainchat->viewport()->update();
}

void ChatView::clear()
{
    mainchat->clear();
}

void ChatView::clearChat()
{
    clear();
    focusEntry();
}

void ChatView::toggleScrollOff()
{
    m_scrollOff = !m_scrollOff;
    ScrollChatOff2->setChecked(m_scrollOff);
    Q_EMIT scrollOffChanged(m_scrollOff);
}

void ChatView::copySelection()
{
    QGuiApplication::clipboard()->setText(selectedText());
}

void ChatView::paste()
{
    QString text = QGuiApplication::clipboard()->text();
    if (text.isEmpty())
        return;
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    setEntryText(text);
}

void ChatView::setTextSize(int points)
{
    QFont f = mainchat->font();
    f.setPointSize(points);
    mainchat->setFont(f);
}

QString ChatView::selectedText() const
{
    QString text = mainchat->textCursor().selectedText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    return text;
}

void ChatView::select(int start, int length)
{
    QTextCursor c(mainchat->document());
    c.setPosition(start);
    c.setPosition(start + length, QTextCursor::KeepAnchor);
    mainchat->setTextCursor(c);
}

QString ChatView::linkAt(const QPoint &pos, int *start, int *length) const
{
    const QPoint docPoint = pos + QPoint(mainchat->horizontalScrollBar()->value(), mainchat->verticalScrollBar()->value());
    int hit = mainchat->document()->documentLayout()->hitTest(docPoint, Qt::ExactHit);
    if (hit < 0)
        return {};
    // The hit is a cursor position; the character under the point is the one
    // whose left edge lies left of it.
    QTextCursor c(mainchat->document());
    c.setPosition(hit);
    if (hit > 0 && mainchat->cursorRect(c).x() > pos.x())
        --hit;
    const QTextBlock block = mainchat->document()->findBlock(hit);
    if (!block.isValid())
        return {};
    const QString text = block.text();
    const LinkSpan span = findLink(text, hit - block.position());
    if (!span.valid())
        return {};
    if (start)
        *start = block.position() + int(span.start);
    if (length)
        *length = int(span.length);
    return text.mid(span.start, span.length);
}

void ChatView::showLinkCursor(bool overLink)
{
    mainchat->viewport()->setCursor(overLink ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

// --- the chat entry ---

QString ChatView::entryText() const
{
    return mychat->text();
}

void ChatView::setEntryText(const QString &text)
{
    mychat->setText(text);
}

void ChatView::clearEntry()
{
    mychat->clear();
}

void ChatView::dropStartText()
{
    if (mychat->text() == kStartText)
        mychat->clear();
}

void ChatView::setEntryColour(const QColor &colour)
{
    QPalette p = mychat->palette();
    p.setColor(QPalette::Text, colour);
    mychat->setPalette(p);
}

void ChatView::focusEntry()
{
    mychat->setFocus();
}

// --- the buttons ---

void ChatView::setPhrase(int n, const QString &phrase)
{
    if (n >= 1 && n <= 9)
        b_phrase[static_cast<size_t>(n)]->setToolTip(phrase); // the hint is the phrase
}

void ChatView::popUpSoundMenu()
{
    QToolButton *b = b_phrase[0];
    popup_sounds->popup(b->mapToGlobal(QPoint(b->width(), b->height())));
}

bool ChatView::isEntry(const QObject *o) const
{
    return o == mychat;
}

bool ChatView::isView(const QObject *o) const
{
    return o == mainchat || o == mainchat->viewport();
}

bool ChatView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == mychat && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        dropStartText();
        if (key->key() == Qt::Key_V && (key->modifiers() & Qt::ControlModifier)) {
            paste();
            return true;
        }
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            Q_EMIT entered();
            return true;
        }
    } else if (watched == mainchat && event->type() == QEvent::KeyPress) {
        if (static_cast<QKeyEvent *>(event)->matches(QKeySequence::Copy)) {
            copySelection();
            return true;
        }
    } else if (watched == mainchat->viewport()) {
        switch (event->type()) {
        case QEvent::MouseMove:
            showLinkCursor(!linkAt(static_cast<QMouseEvent *>(event)->position().toPoint()).isEmpty());
            break;
        case QEvent::MouseButtonPress: {
            auto *m = static_cast<QMouseEvent *>(event);
            const QPoint pos = m->position().toPoint();
            int start = 0;
            int length = 0;
            const QString link = m->button() == Qt::LeftButton ? linkAt(pos, &start, &length) : QString();
            if (!link.isEmpty()) {
                select(start, length);
                Q_EMIT linkOpened(link);
                return true; // the link stays selected
            }
            break;
        }
        case QEvent::MouseButtonRelease:
            QTimer::singleShot(0, this, [this] { focusEntry(); });
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}
