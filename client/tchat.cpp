// Tchat: building the window, its board panel, seat list, score panel, chat
// view and menus. What the widgets do lives in session.cpp and chat.cpp.
#include "tchat.h"
#include "viewkit.h"

#include "accessibility.h"
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
#include <QCloseEvent>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QRandomGenerator>

#include <ctime>

namespace {

using namespace vexlo;

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

} // namespace

Tchat::Tchat(const QStringList &args, QWidget *parent)
    : QMainWindow(parent), m_args(args), m_framer(4096), m_sounds(std::make_unique<EffectPlayer>())
{
    Q_INIT_RESOURCE(sounds);
    access::install();
    setObjectName(QStringLiteral("chat"));
    setWindowTitle(QStringLiteral("Vexlo"));
    gameport = platform::gamePort();
    settingsSession = std::make_unique<SettingsSession>(settingsFilePath(platform::dataFolder()));
    buildMenus();
    buildBoard();
    access::describe(panel_board);
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

    label_roundnum = viewkit::plainLabel(panel_board, QStringLiteral("label_roundnum"), QStringLiteral("Round: 0 of 0"),
                           QRect(64, 22, 171, 22), look::arial(19));
    label_status = viewkit::plainLabel(panel_board, QStringLiteral("label_status"),
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
    button_start->setFocusPolicy(Qt::TabFocus); // in the Tab order, with a ring when Tab reaches it
    look::showKeyboardFocus(button_start);
    button_start->hide();
    connect(button_start, &QPushButton::clicked, this, [this] { vexlo::guarded([this] { button_startClick(); }); });

    // The logo opens the maker's web site.
    vexlo::initHelpResources();
    auto *logo = new vexlo::ClickLabel(panel_board);
    logo->setObjectName(QStringLiteral("image_logo"));
    logo->setGeometry(700, 12, 48, 48);
    logo->setPixmap(vexlo::logoPicture(48));
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
    chatView = new ChatView(panel_board);
    for (int i = 1; i <= PhraseCount; ++i) {
        options.phrases[size_t(i - 1)] = QLatin1String(kPhrases[i]);
        chatView->setPhrase(i, options.phrases[size_t(i - 1)]);
    }
    connect(chatView, &ChatView::entryKeyDown, this, &Tchat::mychatKeyDown);
    connect(chatView, &ChatView::entered, this, [this] { mychatKeyPress(QChar(13)); });
    connect(chatView, &ChatView::mouseMoved, this, &Tchat::mainchatMouseMove);
    connect(chatView, &ChatView::linkPressed, this, [this](const QPoint &pos) { mainchatMouseDown(Qt::LeftButton, pos); });
    connect(chatView, &ChatView::mouseReleased, this, &Tchat::mainchatMouseUp);
    connect(chatView, &ChatView::copyRequested, this, &Tchat::Copy1Click);
    connect(chatView, &ChatView::pasteRequested, this, &Tchat::Paste1Click);
    connect(chatView, &ChatView::clearRequested, this, &Tchat::ClearMainChat1Click);
    connect(chatView, &ChatView::scrollOffToggled, this, &Tchat::ScrollChatOff1Click);
    connect(chatView, &ChatView::phrasePressed, this, [this](int n) { vexlo::guarded([&] { b_phrase1Click(n); }); });
    connect(chatView, &ChatView::soundButtonPressed, this, &Tchat::b_phrase10Click);
    connect(chatView, &ChatView::soundChosen, this, [this](int tag) { vexlo::guarded([&] { wave12Click(tag); }); });
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
