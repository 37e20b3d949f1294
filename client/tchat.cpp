// Tchat: building the window (its board panel, status and round lines, START
// GAME, the logo, the seat list, the score and winner panels, the chat and the
// board views), and showing, resizing and closing it.
#include "tchat.h"
#include "tchatparts.h"
#include "viewkit.h"

#include "accessibility.h"
#include "boardkeys.h"
#include "boardreader.h"
#include "errorreport.h"
#include "networkchoices.h"
#include "helpkit.h"
#include "look.h"
#include "tabout.h"
#include "tdownload.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QTimer>

#include <climits>

using namespace vexlo;
using viewkit::boundsOf;
using viewkit::placeWindow;

namespace {

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

Tchat::Parts::Parts(Tchat *window)
    : seats(session, preferences), round(session, seats.model(), preferences.options()),
      chat(session, preferences, seats.model()), dialogs(session, seats, round, preferences, hooks, window),
      announcer(new vexlo::discovery::ServerAnnouncer(window))
{
    announcer->setEnabled(vexlo::loadAnnounce(preferences.file().file()));
}

Tchat::Tchat(const QStringList &args, QWidget *parent) : QMainWindow(parent), d(std::make_unique<Parts>(this))
{
    access::install();
    d->args = args;
    setObjectName(QStringLiteral("chat"));
    setWindowTitle(QStringLiteral("Vexlo"));
    buildMenus();
    buildBoard();
    access::describe(d->panel_board);
    connectSession();
    connectRound();
    connectSeats();
    connectChat();
    connectPreferences();
}

Tchat::~Tchat() = default;

void Tchat::buildBoard()
{
    auto *central = new QWidget(this);
    look::applyBackground(central);
    central->setMinimumSize(768, 533);
    setCentralWidget(central);
    d->panel_board = new BoardPanel(central);
    d->panel_board->setObjectName(QStringLiteral("panel_board"));
    d->panel_board->setGeometry(2, 2, 764, 529);
    resize(768, 533 + menuBar()->sizeHint().height());

    d->label_roundnum = viewkit::plainLabel(d->panel_board, QStringLiteral("label_roundnum"),
                                            QStringLiteral("Round: 0 of 0"), QRect(64, 22, 171, 22), look::arial(19));
    d->label_status = viewkit::plainLabel(d->panel_board, QStringLiteral("label_status"), RoundModel::welcome(),
                                          QRect(63, 280, 650, 16), look::arial(13, true));
    d->label_status->setAlignment(Qt::AlignCenter);

    auto *start = new QPushButton(d->panel_board);
    start->setObjectName(QStringLiteral("button_start"));
    start->setGeometry(30, 323, 197, 43);
    start->setIcon(look::startButtonPicture(QStringLiteral("START GAME"), QSize(197, 43)));
    start->setIconSize(QSize(197, 43));
    start->setStyleSheet(QStringLiteral("QPushButton { border: none; background: transparent; }"));
    start->setCursor(Qt::PointingHandCursor);
    start->setFocusPolicy(Qt::TabFocus); // in the Tab order, with a ring when Tab reaches it
    look::showKeyboardFocus(start);
    start->hide();
    connect(start, &QPushButton::clicked, this, [this] { guarded([this] { openGameStart(); }); });
    d->button_start = start;

    // The logo opens the maker's web site.
    initHelpResources();
    auto *logo = new ClickLabel(d->panel_board);
    logo->setObjectName(QStringLiteral("image_logo"));
    logo->setGeometry(700, 12, 48, 48);
    logo->setPixmap(logoPicture(48));
    logo->setCursor(Qt::PointingHandCursor);
    logo->setToolTip(QStringLiteral("Quorbit Software"));
    connect(logo, &ClickLabel::clicked, this, [this] {
        const QUrl url(Tabout::siteLink().address());
        if (url.isValid() && d->hooks.openUrl)
            d->hooks.openUrl(url);
    });

    d->seatList = new SeatListView(d->seats.model(), d->panel_board);
    connect(d->seatList, &SeatListView::nameMenuRequested, this, &Tchat::showSeatMenu);
    d->panel_scores = new ScorePanel(d->panel_board);
    connect(d->panel_scores, &ScorePanel::labelMenuRequested, this, &Tchat::showSeatMenu);
    d->chatView = new ChatView(d->panel_board);
    Preferences::shipTileSets();
    d->boardView = new BoardView(d->round.model(), d->preferences.tiles(), d->panel_board);
    connect(d->boardView, &BoardView::passPressed, this, [this] { guarded([this] { d->round.pass(); }); });
    connect(d->boardView, &BoardView::clearPressed, this, [this] { guarded([this] { d->round.clearWord(); }); });
    connect(d->boardView, &BoardView::typingClicked, this, [this] { d->round.toggleTyping(); });
    buildTilesMenu();
    new BoardKeys(this, *d->chatView, d->round);
    d->narrator = access::giveVoice(d->boardView, d->round.model(), d->seats.model(),
                                    d->chatView->findChild<QWidget *>(QStringLiteral("mychat")));
    connect(&d->round, &RoundController::scoresShown, d->narrator,
            [this] { d->narrator->scoresPosted(d->round.lastScores()); });
    connect(&d->round, &RoundController::winnerTold, d->narrator, &Narrator::winnerTold);

    // The score panel lies over the board, a light sheet with dark writing; the
    // winner panel over its lower edge.
    d->panel_scores->raise();
    d->panel_scores->applySheet();
    d->panel_winner = new WinnerPanel(d->panel_board);
}

// --- what the window offers ---

platform::DesktopHooks &Tchat::desktopHooks()
{
    return d->hooks;
}

void Tchat::setSoundPlayer(std::unique_ptr<SoundPlayer> player)
{
    d->chat.setSoundPlayer(std::move(player));
}

Session &Tchat::session()
{
    return d->session;
}

RoundController &Tchat::round()
{
    return d->round;
}

SeatsController &Tchat::seats()
{
    return d->seats;
}

ChatController &Tchat::chat()
{
    return d->chat;
}

Preferences &Tchat::preferences()
{
    return d->preferences;
}

NetworkDialogs &Tchat::networkDialogs()
{
    return d->dialogs;
}

// --- showing, resizing, closing ---

void Tchat::start()
{
    const QStringList &args = d->args;
    // The desktop entry's "Host Network Game" and "Join Network Game" open the
    // window at the dialog.
    if (args.size() == 1 && (args[0] == QLatin1String("--host") || args[0] == QLatin1String("--join"))) {
        d->button_start->hide();
        d->StartGame1->setEnabled(false);
        if (args[0] == QLatin1String("--host"))
            d->dialogs.openHostGame(true);
        else
            d->dialogs.openJoinGame(true);
        return;
    }
    // A solo start shows the lobby downloader beside the window, without waiting.
    if (args.isEmpty() && d->aux.download) {
        d->aux.download->show();
        d->aux.download->raise();
        d->aux.download->activateWindow();
    }
    d->session.startFromArgs(args);
}

void Tchat::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!d->shown) {
        d->shown = true;
        // After the window is on screen, as the message loop would.
        QTimer::singleShot(0, this, [this] { guarded([this] { start(); }); });
    }
}

void Tchat::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    QWidget *client = centralWidget();
    if (!client)
        return;
    const QSize now = client->size();
    const QSize least = minimumClientSize(now);
    if (least != now)
        resize(size() + (least - now));
}

bool Tchat::saveOnClose()
{
    const QRect area = d->hooks.workArea ? d->hooks.workArea(this) : QRect();
    const auto fitted = d->preferences.file().closing(boundsOf(this), area.isValid() ? area.size() : QSize(INT_MAX, INT_MAX));
    if (!fitted)
        return true;
    placeWindow(this, *fitted);
    // A failed save keeps the window open; the bounds are remembered already, so
    // closing again goes through.
    return guarded([&] { d->preferences.saveWithBounds(*fitted); });
}

void Tchat::closeEvent(QCloseEvent *event)
{
    if (!d->closing && !saveOnClose()) {
        event->ignore(); // the settings could not be written: the window stays
        return;
    }
    QMainWindow::closeEvent(event);
    if (!d->closing) {
        d->closing = true;
        d->session.shutDown();
        Q_EMIT closed();
    }
}
