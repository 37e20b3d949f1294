#include "tabout.h"

#include "catalogue.h"
#include "helpkit.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {
// The build number shown after the version.
const QString Release = QStringLiteral(".2");
} // namespace

Tabout::Tabout(QWidget *parent)
    : QWidget(parent, Qt::Dialog)
    , URL1(siteLink())
{
    vexlo::initHelpResources();
    setObjectName(QStringLiteral("about"));
    setWindowTitle(QStringLiteral("Vexlo - About"));

    image_logo = new vexlo::ClickLabel(this);
    image_logo->setObjectName(QStringLiteral("image_logo"));
    image_logo->setPixmap(vexlo::logoPicture(128));
    image_logo->setCursor(Qt::PointingHandCursor);
    image_logo->setAccessibleName(QStringLiteral("Vexlo"));

    auto *title = new QLabel(QStringLiteral("Vexlo"), this);
    title->setObjectName(QStringLiteral("label_title"));
    QFont big = title->font();
    big.setPixelSize(34);
    big.setBold(true);
    title->setFont(big);

    auto *caption = new QLabel(QStringLiteral("Version"), this);
    caption->setObjectName(QStringLiteral("label_versioncaption"));
    label_version = new QLabel(version(), this);
    label_version->setObjectName(QStringLiteral("label_version"));
    label_release = new QLabel(Release, this);
    label_release->setObjectName(QStringLiteral("label_release"));
    QFont bold = label_version->font();
    bold.setBold(true);
    label_version->setFont(bold);
    label_release->setFont(bold);

    auto *maker = new QLabel(QStringLiteral("A word game by Quorbit Software"), this);
    maker->setObjectName(QStringLiteral("label_maker"));

    label_link = new vexlo::ClickLabel(URL1.address(), this);
    label_link->setObjectName(QStringLiteral("label_link"));
    label_link->setStyleSheet(QStringLiteral("QLabel { color: #0645ad; text-decoration: underline; }"
                                             "QLabel:focus { background: #d4def2; }"));
    label_link->setCursor(Qt::PointingHandCursor);
    label_link->setToolTip(QStringLiteral("Open the web site"));
    label_link->setFocusPolicy(Qt::TabFocus); // Tab reaches it after "Done"; Enter opens it

    button_done = new QPushButton(QStringLiteral("Done"), this);
    button_done->setObjectName(QStringLiteral("button_done"));
    button_done->setDefault(true);

    // "1.0.3" and ".2" sit side by side so they read as one number.
    auto *versionRow = new QHBoxLayout;
    versionRow->setSpacing(0);
    versionRow->addWidget(caption);
    versionRow->addSpacing(6);
    versionRow->addWidget(label_version);
    versionRow->addWidget(label_release);
    versionRow->addStretch();

    auto *text = new QVBoxLayout;
    text->addWidget(title);
    text->addLayout(versionRow);
    text->addSpacing(8);
    text->addWidget(maker);
    text->addWidget(label_link);
    text->addStretch();

    auto *top = new QHBoxLayout;
    top->addWidget(image_logo, 0, Qt::AlignTop);
    top->addSpacing(12);
    top->addLayout(text);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(16, 16, 16, 12);
    layout->addLayout(top);
    layout->addWidget(button_done, 0, Qt::AlignRight);

    connect(image_logo, &vexlo::ClickLabel::clicked, this, &Tabout::image_logoClick);
    connect(label_link, &vexlo::ClickLabel::clicked, this, &Tabout::openLink);
    connect(button_done, &QPushButton::clicked, this, &Tabout::button_doneClick);
    setTabOrder(button_done, label_link);
    button_done->setFocus(); // the window opens with "Done" focused, as before
    vexlo::keyboardLikeADialog(this, [this] { button_doneClick(); });
    setFixedSize(sizeHint());
}

TURL Tabout::siteLink()
{
    return TURL(TURL::utHttp, QStringLiteral("www.example.com/"));
}

QString Tabout::version()
{
    return QString::fromLatin1(vexlo::kGameVersion);
}

QString Tabout::fullVersion()
{
    return version() + Release;
}

void Tabout::setBackgroundTile(const QPixmap &tile)
{
    vexlo::applyBackgroundTile(this, tile);
}

bool Tabout::openLink()
{
    return URL1.open();
}

void Tabout::image_logoClick()
{
    hide();
}

void Tabout::button_doneClick()
{
    close();
}
