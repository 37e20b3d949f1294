// Tchat: connecting the session and the controllers to the views, the menus and
// the other windows.
#include "tchat.h"
#include "tchatparts.h"

#include "catalogue.h"
#include "chattext.h"
#include "errorreport.h"
#include "platform.h"
#include "tabout.h"
#include "tdownload.h"
#include "tgamestart.h"
#include "thelp.h"
#include "tphrases.h"
#include "tspylist.h"
#include "ttallylist.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>

using namespace vexlo;
using viewkit::boundsOf;
using viewkit::placeWindow;

void Tchat::attachWindows(Tspylist *spylist, Tgamestart *gamestart, TServer *server)
{
    d->spylist = spylist;
    d->gamestart = gamestart;
    d->session.setServer(server);
    if (spylist)
        connect(spylist, &Tspylist::kicking, this, [this](int slot) { d->seats.remove(slot); });
    if (gamestart) {
        connect(gamestart, &Tgamestart::startRequested, this, [this](int rounds, int seconds) {
            d->session.send(msg::startgame(toWireText(d->session.playerName()), QByteArray::number(rounds),
                                           QByteArray::number(seconds)));
        });
        connect(gamestart, &Tgamestart::saveRequested, this, [this] { d->preferences.save(); });
    }
}

void Tchat::attachAuxWindows(const AuxWindows &windows)
{
    d->aux = windows;
    if (windows.help && windows.about)
        windows.help->setAboutWindow(windows.about);
    if (windows.phrases) {
        windows.phrases->settingsFile = d->preferences.file().file().fileName();
        connect(windows.phrases, &Tphrases::setButtonPhrases, this,
                [this](const QStringList &texts) { d->preferences.setPhrases(texts); });
    }
    if (windows.download) {
        // The installer or the lobby was started: the game ends as "Exit" ends it.
        connect(windows.download, &Tdownload::exitRequested, this, &QWidget::close);
        // No lobby installed: "Play with Others" opens Find a Game.
        connect(windows.download, &Tdownload::joinRequested, this,
                [this] { guarded([this] { d->dialogs.openFindGame(); }); });
    }
    if (Ttallylist *tally = windows.tallylist) {
        connect(tally, &Ttallylist::loadchecklist, this, [this, tally] { tally->fillChecklist(d->seats.opponents()); });
        tally->confirm = [this](QWidget *parent, const QString &question) {
            return d->hooks.confirm && d->hooks.confirm(parent, question);
        };
        connect(this, &Tchat::gameRecorded, tally, &Ttallylist::addgame);
    }
}

void Tchat::openGameStart()
{
    if (!d->session.loggedIn()) {
        if (d->hooks.message)
            d->hooks.message(this, QStringLiteral("You are not connected"));
        return;
    }
    if (d->gamestart)
        d->gamestart->show();
}

// --- the session ---

void Tchat::connectSession()
{
    Session &s = d->session;
    s.addReceiver([this](const DecodedMessage &m) { d->seats.receive(m); });
    s.addReceiver([this](const DecodedMessage &m) { d->chat.receive(m); });
    s.addReceiver([this](const DecodedMessage &m) { d->round.receive(m); });
    connect(&s, &Session::titleChanged, this, &QWidget::setWindowTitle);
    connect(&s, &Session::hosting, this, [this](TServer *server, bool solo) {
        if (!solo)
            d->announcer->hosting(server);
    });
    connect(&s, &Session::closedByServer, this, &QWidget::close);
    connect(&s, &Session::refusedFull, this, [this] {
        if (d->hooks.message)
            d->hooks.message(this, QStringLiteral("Game is full"));
        close();
    });
    connect(&s, &Session::roleChanged, this, [this](bool host) {
        d->button_start->setVisible(host);
        d->StartGame1->setEnabled(host);
        if (d->spylist)
            d->spylist->setKickAllowed(host);
    });
    // A new session: the window as it starts.
    connect(&s, &Session::cleared, this, [this] {
        d->announcer->endSession();
        d->panel_scores->clearScores();
        d->panel_scores->clearRound();
        d->panel_scores->hide();
        d->panel_winner->hide();
        d->StartGame1->setEnabled(false);
        d->button_start->hide();
        if (d->spylist)
            d->spylist->clearWatchers();
        if (d->gamestart)
            d->gamestart->hide();
        d->chatView->clear();
    });
}

// --- the round ---

void Tchat::connectRound()
{
    RoundController &r = d->round;
    connect(&r.model(), &RoundModel::statusChanged, d->label_status, &QLabel::setText);
    connect(&r.model(), &RoundModel::roundChanged, this,
            [this] { d->label_roundnum->setText(d->round.model().roundText()); });
    connect(&r, &RoundController::sound, &d->chat, &ChatController::playSound);
    connect(&r, &RoundController::line, &d->chat, &ChatController::sessionLine);
    connect(&r, &RoundController::gameStarted, this, [this] {
        d->button_start->hide();
        d->panel_winner->hide();
        d->panel_scores->hide();
        d->panel_scores->clearScores();
    });
    connect(&r, &RoundController::roundStarted, this, [this] {
        d->panel_scores->hide();
        d->panel_scores->clearRound();
    });
    connect(&r, &RoundController::scoresArrived, this, [this](const ScoreReport &report) {
        d->panel_scores->fill(report, d->seats.model(), d->round.model().roundText());
    });
    connect(&r, &RoundController::scoresShown, this, [this] {
        d->panel_scores->move(4, 1);
        d->panel_scores->show();
        d->panel_scores->raise();
        if (!d->panel_winner->isHidden())
            d->panel_winner->raise();
    });
    connect(&r, &RoundController::winnerTold, this, [this](const QString &text) {
        d->panel_winner->setText(text);
        d->panel_winner->show();
        d->panel_winner->raise();
        if (d->session.isHost())
            d->button_start->show();
    });
    connect(&r, &RoundController::gameRecorded, this, &Tchat::gameRecorded);
}

// --- the seats ---

void Tchat::connectSeats()
{
    SeatsController &s = d->seats;
    connect(&s, &SeatsController::line, &d->chat, &ChatController::sessionLine);
    connect(&s, &SeatsController::sound, &d->chat, &ChatController::playSound);
    connect(&s, &SeatsController::watcherArrived, this, [this](int slot, const QString &name) {
        if (d->spylist)
            d->spylist->showWatcher(slot, name);
    });
    connect(&s, &SeatsController::watcherLeft, this, [this](int slot, const QString &name) {
        if (d->spylist)
            d->spylist->removeWatcher(slot, name);
    });
    connect(&s, &SeatsController::computerPlayersChanged, this,
            [this] { d->AddComputerPlayer1->setEnabled(d->seats.canAddComputerPlayer()); });
    connect(&s.model(), &SeatsModel::localWatchingChanged, d->JustWatch1, &QAction::setChecked);
    connect(&s.model(), &SeatsModel::columnsSwapped, d->panel_scores, &ScorePanel::swapColumns);
}

// --- the chat ---

void Tchat::connectChat()
{
    ChatView *view = d->chatView;
    connect(&d->chat, &ChatController::lineAdded, view, &ChatView::addLine);
    connect(view, &ChatView::entered, this, [this] {
        if (d->chat.send(d->chatView->entryText()))
            d->chatView->clearEntry();
    });
    connect(view, &ChatView::linkOpened, this, [this](const QString &link) {
        const QUrl url = platform::linkUrl(link);
        if (url.isValid() && d->hooks.openUrl)
            d->hooks.openUrl(url);
    });
    connect(view, &ChatView::phrasePressed, this, [this](int n) { guarded([&] { d->chat.sendPhrase(n); }); });
    connect(view, &ChatView::soundChosen, this, [this](int n) { guarded([&] { d->chat.sendSound(n); }); });
    connect(view, &ChatView::scrollOffChanged, d->ScrollChatOff1, &QAction::setChecked);
}

// --- the preferences ---

void Tchat::connectPreferences()
{
    Preferences &p = d->preferences;
    p.setWindowState([this](GameSettings &s) {
        s.bounds = boundsOf(this);
        if (d->gamestart) {
            s.playToScore = d->gamestart->UpDown1()->value();
            s.timePerTurn = d->gamestart->UpDown2()->value();
        }
    });
    connect(&p, &Preferences::fileLoaded, this, [this](const GameSettings &s) {
        placeWindow(this, s.bounds);
        if (d->gamestart) {
            d->gamestart->UpDown1()->setValue(s.playToScore);
            d->gamestart->UpDown2()->setValue(s.timePerTurn);
        }
        const int size = d->preferences.options().textSize;
        if (QAction *entry = d->TextSize1->findChild<QAction *>(QStringLiteral("N%1").arg(size)))
            entry->setChecked(true);
    });
    connect(&p, &Preferences::changed, this, &Tchat::showOptions);
    connect(&p, &Preferences::textSizeChanged, d->chatView, &ChatView::setTextSize);
    connect(&p, &Preferences::chatColourChanged, d->chatView, &ChatView::setEntryColour);
    connect(&p, &Preferences::phrasesChanged, this, [this] {
        for (int n = 1; n <= PhraseCount; ++n)
            d->chatView->setPhrase(n, d->preferences.options().phrases[size_t(n - 1)]);
    });
    Q_EMIT p.phrasesChanged();
    connect(&p, &Preferences::line, &d->chat, &ChatController::sessionLine);
    connect(&p, &Preferences::tilesChanged, this, [this] {
        d->round.model().fillEmptyTiles();
        const QString inUse = d->preferences.tileSetInUse();
        for (QAction *a : d->grouptilesitem->actions())
            if (a->objectName().compare(inUse + QStringLiteral("3"), Qt::CaseInsensitive) == 0)
                a->setChecked(true);
    });
}
