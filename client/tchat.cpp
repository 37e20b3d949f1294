// Tchat: building the window, its board panel, seat list, score panel, chat
// widgets and menus. What the widgets do lives in session.cpp and chat.cpp.
#include "tchat.h"

#include "catalogue.h"
#include "chattext.h"
#include "computerseats.h"
#include "errorreport.h"
#include "helpkit.h"
#include "look.h"
#include "platform.h"
#include "settingsmodel.h"
#include "tgamestart.h"
#include "tspylist.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QTextEdit>
#include <QToolButton>

#include <ctime>

namespace {

using namespace vexlo;

constexpr int kPhraseTops[10] = {0, 320, 340, 361, 381, 402, 422, 443, 463, 484};
const char *const kPhrases[10] = {nullptr,        "Way To Go!", "Good One!",
                                  "Nice Try!",    "Excellent!", "Brilliant!",
                                  "Wow, WTG!",    "Thanks!",    "Way To Go Teamie!",
                                  "Good Game Everyone!"};

// The board panel: the tiled background with the frames the board's parts sit in.
class BoardPanel : public QWidget
{
public:
    explicit BoardPanel(QWidget *parent) : QWidget(parent) { look::applyBackground(this); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QColor frame(255, 218, 176, 70);
        const QColor well(0, 0, 0, 60);
        auto box = [&](const QRectF &r, qreal radius) {
            p.setPen(QPen(frame, 1));
            p.setBrush(well);
            p.drawRoundedRect(r, radius, radius);
        };
        box(QRectF(3.5, 3.5, 756, 270), 10); // the board: pattern and answer rows
        box(QRectF(5.5, 364.5, 240, 131), 8); // the seat list
        // The places of the two rows of five letter tiles.
        p.setPen(QPen(QColor(255, 218, 176, 40), 1));
        p.setBrush(QColor(255, 255, 255, 14));
        for (int row : {80, 168})
            for (int i = 0; i < 5; ++i)
                p.drawRoundedRect(QRectF(268.5 + 48 * i, row + 0.5, 43, 43), 5, 5);
    }
};

QLabel *label(QWidget *parent, const QString &name, const QString &text, QRect geometry,
              const QFont &font)
{
    auto *l = new QLabel(text, parent);
    l->setTextFormat(Qt::PlainText); // names come from other players
    l->setObjectName(name);
    l->setGeometry(geometry);
    l->setFont(font);
    return l;
}

QString numbered(const char *prefix, int i)
{
    return QLatin1String(prefix) + QString::number(i);
}

} // namespace

Tchat::Tchat(const QStringList &args, QWidget *parent)
    : QMainWindow(parent), m_args(args), m_framer(4096), m_sounds(std::make_unique<EffectPlayer>())
{
    Q_INIT_RESOURCE(sounds);
    setObjectName(QStringLiteral("chat"));
    setWindowTitle(QStringLiteral("Vexlo"));
    gameport = platform::gamePort();
    settingsSession = std::make_unique<SettingsSession>(settingsFilePath(platform::dataFolder()));
    buildMenus();
    buildBoard();
    wireSockets();
    wireComputerPlayers();
    FormCreate();
}

Tchat::~Tchat()
{
    // Handlers must not reach a half-destroyed window.
    sock.OnRead = nullptr;
    sock.OnInfo = nullptr;
}

void Tchat::attachWindows(Tspylist *spy, Tgamestart *start, TServer *gameServer)
{
    spylist = spy;
    gamestart = start;
    server = gameServer;
    if (spylist)
        connect(spylist, &Tspylist::kicking, this, &Tchat::kicking);
    if (gamestart) {
        connect(gamestart, &Tgamestart::startRequested, this, [this](int rounds, int seconds) {
            send(vexlo::msg::startgame(toWireText(myname), QByteArray::number(rounds), QByteArray::number(seconds)));
        });
        connect(gamestart, &Tgamestart::saveRequested, this, &Tchat::saveinifile);
    }
}

void Tchat::FormCreate()
{
    phrasegate = true;
    systemcolour = clBlue;
    seatcount = 6;
    clearall();
    // The server's word choice draws from the process's generator.
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    ishost = false;
    roundModel.setInputOwner(0);
}

void Tchat::buildBoard()
{
    auto *central = new QWidget(this);
    look::applyBackground(central);
    central->setMinimumSize(768, 533);
    setCentralWidget(central);
    panel_board = new BoardPanel(central);
    panel_board->setObjectName(QStringLiteral("panel_board"));
    panel_board->setGeometry(2, 2, 764, 529);
    resize(768, 533 + menuBar()->sizeHint().height());

    label_roundnum = label(panel_board, QStringLiteral("label_roundnum"), QStringLiteral("Round: 0 of 0"),
                           QRect(64, 22, 171, 22), look::arial(19));
    label_status = label(panel_board, QStringLiteral("label_status"),
                         QStringLiteral("Welcome to Vexlo by Quorbit Software"), QRect(63, 280, 650, 16),
                         look::arial(13, true));
    label_status->setAlignment(Qt::AlignCenter);

    button_start = new QPushButton(panel_board);
    button_start->setObjectName(QStringLiteral("button_start"));
    button_start->setGeometry(30, 323, 197, 43);
    button_start->setIcon(look::startButtonPicture(QStringLiteral("START GAME"), QSize(197, 43)));
    button_start->setIconSize(QSize(197, 43));
    button_start->setStyleSheet(QStringLiteral("QPushButton { border: none; background: transparent; }"));
    button_start->setCursor(Qt::PointingHandCursor);
    button_start->setFocusPolicy(Qt::NoFocus);
    button_start->hide();
    connect(button_start, &QPushButton::clicked, this, [this] { vexlo::guarded([this] { button_startClick(); }); });

    // The logo opens the maker's web site.
    vexlo::initHelpResources();
    auto *logo = new vexlo::ClickLabel(panel_board);
    logo->setObjectName(QStringLiteral("image_logo"));
    logo->setGeometry(700, 12, 48, 48);
    logo->setPixmap(QPixmap(QStringLiteral(":/helpwindows/vexlo-48.png")));
    logo->setCursor(Qt::PointingHandCursor);
    logo->setToolTip(QStringLiteral("Quorbit Software"));
    connect(logo, &vexlo::ClickLabel::clicked, this, [this] { vexlo::guarded([this] { image_logoClick(); }); });
    image_logo = logo;

    buildSeatList();
    buildScorePanel();
    buildChat();
    buildWordEntry();
    buildRoundDisplay(); // the score and winner panels lie over the board
}

void Tchat::buildSeatList()
{
    seatList = new SeatListView(seats, panel_board);
    connect(seatList, &SeatListView::nameMenuRequested, this, [this](QLabel *name, const QPoint &at) {
        label_playername1ContextPopup(name);
        popup_kick->popup(at);
    });
    connect(&seats, &SeatsModel::localWatchingChanged, this, [this](bool watching) { JustWatch1->setChecked(watching); });
}

void Tchat::buildScorePanel()
{
    panel_scores = new ScorePanel(panel_board);
    connect(panel_scores, &ScorePanel::labelMenuRequested, this, [this](QLabel *l, const QPoint &at) {
        label_playername1ContextPopup(l);
        popup_kick->popup(at);
    });
}

void Tchat::buildChat()
{
    const QString peach = look::peach().name();
    mainchat = new QTextEdit(panel_board);
    mainchat->setObjectName(QStringLiteral("mainchat"));
    mainchat->setGeometry(285, 320, 476, 183);
    mainchat->setReadOnly(true);
    mainchat->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    mainchat->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QFont chatFont = QApplication::font(); // the desktop's own sans font
    chatFont.setPixelSize(11);
    mainchat->setFont(chatFont);
    mainchat->document()->setDocumentMargin(5);
    mainchat->setStyleSheet(QStringLiteral("QTextEdit { background: %1; color: black; border: 1px solid #6a4a2a; }"
                                           "QTextEdit { selection-background-color: #3a66b0; selection-color: white; }")
                                .arg(peach));
    mainchat->viewport()->setMouseTracking(true);
    mainchat->viewport()->installEventFilter(this);
    mainchat->installEventFilter(this);
    mainchat->setContextMenuPolicy(Qt::CustomContextMenu);
    popup_mainchat = new QMenu(this);
    popup_mainchat->setObjectName(QStringLiteral("popup_mainchat"));
    Copy1 = popup_mainchat->addAction(QStringLiteral("Copy\tCtrl+C"));
    Copy1->setObjectName(QStringLiteral("Copy1"));
    connect(Copy1, &QAction::triggered, this, [this] { Copy1Click(); });
    ClearMainChat2 = popup_mainchat->addAction(QStringLiteral("Clear Main Chat"));
    ClearMainChat2->setObjectName(QStringLiteral("ClearMainChat2"));
    connect(ClearMainChat2, &QAction::triggered, this, [this] { ClearMainChat1Click(); });
    popup_mainchat->addSeparator();
    ScrollChatOff2 = popup_mainchat->addAction(QStringLiteral("Scroll Chat Off\tCtrl+S"));
    ScrollChatOff2->setObjectName(QStringLiteral("ScrollChatOff2"));
    ScrollChatOff2->setCheckable(true);
    connect(ScrollChatOff2, &QAction::triggered, this, [this](bool on) {
        ScrollChatOff2->setChecked(!on); // the handler flips it
        ScrollChatOff1Click();
    });
    connect(mainchat, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { popup_mainchat->popup(mainchat->mapToGlobal(pos)); });

    mychat = new QLineEdit(panel_board);
    mychat->setObjectName(QStringLiteral("mychat"));
    mychat->setGeometry(285, 504, 356, 22);
    mychat->setFont(look::arial(13));
    mychat->setText(QStringLiteral("<Enter Chat Here>"));
    mychat->setStyleSheet(QStringLiteral("QLineEdit { background: %1; border: 1px solid #6a4a2a; padding: 0 3px; }")
                              .arg(peach));
    mychat->installEventFilter(this);
    mychat->setContextMenuPolicy(Qt::CustomContextMenu);
    popup_mychat = new QMenu(this);
    popup_mychat->setObjectName(QStringLiteral("popup_mychat"));
    Paste1 = popup_mychat->addAction(QStringLiteral("Paste\tCtrl+V"));
    Paste1->setObjectName(QStringLiteral("Paste1"));
    connect(Paste1, &QAction::triggered, this, [this] { Paste1Click(); });
    connect(mychat, &QWidget::customContextMenuRequested, this,
            [this](const QPoint &pos) { popup_mychat->popup(mychat->mapToGlobal(pos)); });
    setTabOrder(mychat, mainchat);
    mychat->setFocus();

    const QPixmap bubble = look::phrasePicture();
    for (int i = 1; i <= 9; ++i) {
        auto *b = new QToolButton(panel_board);
        b->setObjectName(numbered("b_phrase", i));
        b->setGeometry(257, kPhraseTops[i], 27, 21);
        b->setIcon(bubble);
        b->setIconSize(bubble.size());
        options.phrases[size_t(i - 1)] = QLatin1String(kPhrases[i]);
        b->setToolTip(options.phrases[size_t(i - 1)]); // the hint is the phrase
        look::makeFlat(b, Qt::white);
        connect(b, &QToolButton::clicked, this, [this, i] { vexlo::guarded([&] { b_phrase1Click(i); }); });
        b_phrase[static_cast<size_t>(i)] = b;
    }
    auto *soundButton = new QToolButton(panel_board);
    soundButton->setObjectName(QStringLiteral("b_phrase10"));
    soundButton->setGeometry(257, 504, 27, 21);
    soundButton->setIcon(look::soundPicture());
    soundButton->setIconSize(QSize(19, 15));
    soundButton->setToolTip(QStringLiteral("/me waves \"Good-Bye\""));
    look::makeFlat(soundButton, QColor(128, 0, 0));
    connect(soundButton, &QToolButton::clicked, this, [this] { b_phrase10Click(); });
    b_phrase[0] = soundButton;

    static const char *const titles[13] = {"<Cancel>", "Doh",    "Cough",   "Hello",   "Thank You",
                                           "Where have you been?", "Snoring", "Sneezing", "Sorry",
                                           "Welcome",  "Yeehaa", "Yippee",  "Oh No"};
    popup_sounds = new QMenu(this);
    popup_sounds->setObjectName(QStringLiteral("popup_sounds"));
    for (int tag = 0; tag <= 12; ++tag) {
        QAction *a = popup_sounds->addAction(QLatin1String(titles[tag]));
        a->setObjectName(tag == 0 ? QStringLiteral("Cancel1") : numbered("wave", tag));
        a->setData(tag);
        a->setToolTip(QLatin1String(titles[tag])); // the hint
        connect(a, &QAction::triggered, this, [this, tag] { vexlo::guarded([&] { wave12Click(tag); }); });
    }
}

void Tchat::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_shown) {
        m_shown = true;
        // After the window is on screen, as the message loop would.
        QTimer::singleShot(0, this, [this] { vexlo::guarded([this] { FormShow(); }); });
    }
}

void Tchat::closeEvent(QCloseEvent *event)
{
    if (!m_closing && !FormClose()) {
        event->ignore(); // the settings could not be written: the window stays
        return;
    }
    QMainWindow::closeEvent(event);
    if (!m_closing) {
        m_closing = true;
        Timer1.stop();
        receivedlist.clear();
        computerSeats->endSession();
        Q_EMIT closed();
    }
}

bool Tchat::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == mychat && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (mychatKeyDown(key->key(), key->modifiers()))
            return true;
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            mychatKeyPress(QChar(13));
            return true;
        }
    } else if (watched == mainchat && event->type() == QEvent::KeyPress) {
        auto *key = static_cast<QKeyEvent *>(event);
        if (key->matches(QKeySequence::Copy)) {
            Copy1Click();
            return true;
        }
    } else if (watched == mainchat->viewport()) {
        switch (event->type()) {
        case QEvent::MouseMove:
            mainchatMouseMove(static_cast<QMouseEvent *>(event)->position().toPoint());
            break;
        case QEvent::MouseButtonPress: {
            auto *m = static_cast<QMouseEvent *>(event);
            if (mainchatMouseDown(m->button(), m->position().toPoint()))
                return true; // the link stays selected
            break;
        }
        case QEvent::MouseButtonRelease:
            QTimer::singleShot(0, this, [this] { mainchatMouseUp(); });
            break;
        default:
            break;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}
