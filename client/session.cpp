// Tchat: start-up, hosting and joining, the login, the inbound queue and its
// dispatch table, arrivals and departures, watchers, removal, the score-panel
// column order and the end of a session.
#include "tchat.h"

#include "catalogue.h"
#include "chattext.h"
#include "computerseats.h"
#include "errorreport.h"
#include "hostaddress.h"
#include "message.h"
#include "serverannouncer.h"
#include "settingsmodel.h"
#include "tgamestart.h"
#include "tserver.h"
#include "tspylist.h"

#include <QAction>
#include <QHostInfo>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include <algorithm>
#include <cstdio>

using namespace vexlo;

namespace {
// While an error box is open the queue is not drained. A server that keeps
// sending meanwhile is cut off once this much waits; a well-behaved one never
// comes near either bound.
constexpr qsizetype kMaxWaiting = 10000;
constexpr qint64 kMaxWaitingBytes = 16 * 1024 * 1024;
} // namespace

void Tchat::wireSockets()
{
    sock.setPortName(gameport);
    sock.OnRead = [this](TSock *s, int count) { sockRead(s, count); };
    sock.OnInfo = [this](TSock *s, TSocketInfo kind, const QString &text) { sockInfo(s, kind, text); };
    Timer1.setInterval(1);
    connect(&Timer1, &QTimer::timeout, this, [this] { Timer1Timer(); });
    connecttimer.setSingleShot(true);
    connecttimer.setInterval(ConnectSeconds * 1000);
    connect(&connecttimer, &QTimer::timeout, this, [this] { guarded([this] { connecttimerTimer(); }); });
    phrasegateTimer.setSingleShot(true);
    phrasegateTimer.setInterval(2000);
    connect(&phrasegateTimer, &QTimer::timeout, this, [this] { phrasegateTimerTimer(); });
}

// --- start-up ---

void Tchat::FormShow()
{
    processparams();
}

void Tchat::processparams()
{
    button_start->hide();
    StartGame1->setEnabled(false);
    loginname.clear();
    // The desktop entry's "Host Network Game" and "Join Network Game" open the
    // window at the dialog.
    if (m_args.size() == 1 && (m_args[0] == QLatin1String("--host") || m_args[0] == QLatin1String("--join"))) {
        if (m_args[0] == QLatin1String("--host"))
            openHostGame(true);
        else
            openJoinGame(true);
        return;
    }
    if (m_args.isEmpty()) {
        sessionLine(QStringLiteral("Loading Solo Game..Please wait."));
        showDownloader();
        hostaddress = QStringLiteral("127.0.0.1");
        myname = QStringLiteral("You");
        m_session = {SessionKind::Solo, hostaddress};
        hostpress();
        showSessionTitle();
        return;
    }
    sessionLine(QStringLiteral("Loading Multi-player Game.. Please Wait."));
    if (m_args.size() < 3)
        return;
    myname = m_args[0];
    hostaddress = m_args[1];
    if (m_args[2] == QLatin1String("true")) {
        m_session = {SessionKind::Hosting, hostaddress};
        hostpress();
        showSessionTitle();
    } else {
        m_session = {SessionKind::Joined, hostaddress};
        joinpress();
    }
    openLobbyLink();
}

void Tchat::hostpress()
{
    if (server) {
        server->startListening(gameport);
        computerSeats->setSolo(m_session.kind == SessionKind::Solo);
        computerSeats->hosting(server);
        if (m_session.kind != SessionKind::Solo)
            announcer->hosting(server);
    }
    loginname = myname;
    ishost = true;
    sock.setHostName(QStringLiteral("127.0.0.1"));
    // Port "0" lets the server pick one (tests); the window follows it.
    sock.setPortName(server && gameport == QLatin1String("0") ? QString::number(server->listeningPort()) : gameport);
    sock.Open();
    button_start->show();
    StartGame1->setEnabled(true);
    if (spylist)
        spylist->setKickAllowed(true);
}

void Tchat::joinpress()
{
    loginname = myname;
    sock.setHostName(hostaddress);
    sock.setPortName(gameport);
    // A name nobody resolves or a connect nobody answers is given up after a
    // while, and said.
    connecttimer.start();
    if (needsNameLookup(hostaddress)) {
        // Looked up without holding the window up; the connect follows.
        m_lookup = QHostInfo::lookupHost(hostaddress, this,
                                         [this](const QHostInfo &info) { guarded([&] { hostLookedUp(info); }); });
    } else {
        openGameConnection();
    }
    button_start->hide();
    StartGame1->setEnabled(false);
}

void Tchat::hostLookedUp(const QHostInfo &info)
{
    if (info.lookupId() != m_lookup)
        return; // given up meanwhile
    m_lookup = -1;
    const QList<QHostAddress> found = info.addresses();
    // An IPv4 address first, as the connection itself would choose.
    auto it = std::find_if(found.begin(), found.end(),
                           [](const QHostAddress &a) { return a.protocol() == QAbstractSocket::IPv4Protocol; });
    if (it == found.end())
        it = std::find_if(found.begin(), found.end(),
                          [](const QHostAddress &a) { return a.protocol() == QAbstractSocket::IPv6Protocol; });
    if (it == found.end()) {
        connectFailed(hostNotFoundReason());
        return;
    }
    sock.setHostName(it->toString());
    openGameConnection();
}

void Tchat::openGameConnection()
{
    try {
        sock.Open();
    } catch (const ESockException &e) {
        if (e.message() != QLatin1String("Host Lookup - Could Not Find Host Entry"))
            throw;
        connectFailed(hostNotFoundReason());
    }
}

void Tchat::openLobbyLink()
{
    // Only opened: a local program listening there sees the game running.
    // Nothing is sent or read, and a refusal passes silently.
    Sock11.setHostName(QStringLiteral("127.0.0.1"));
    Sock11.OnRead = [](TSock *s, int) { s->Text(); }; // whatever arrives is let go
    Sock11.setPortName(lobbyport);
    try {
        Sock11.Open();
    } catch (const std::exception &) {
    }
}

// --- receiving ---

void Tchat::sockRead(TSock *, int)
{
    for (QByteArray &m : m_framer.feed(sock.Text())) {
        receivedbytes += m.size();
        receivedlist.append(std::move(m));
    }
    if (receivedlist.size() > kMaxWaiting || receivedbytes > kMaxWaitingBytes) {
        const QString reason = QStringLiteral("Too many messages from the server are waiting (more than %1, or "
                                              "more than 16 MB); the connection is closed.")
                                   .arg(kMaxWaiting);
        std::fprintf(stderr, "%s\n", reason.toLocal8Bit().constData());
        std::fflush(stderr);
        sessionLine(reason);
        receivedlist.clear();
        receivedbytes = 0;
        sock.Close(); // "Socket Closed": the window closes as when the server goes
        return;
    }
    if (!receivedlist.isEmpty() && !Timer1.isActive() && !m_closing)
        Timer1.start();
}

void Tchat::sockInfo(TSock *, TSocketInfo kind, const QString &msg)
{
    if (msg == QLatin1String("Socket Closed")) {
        if (!m_leaving)
            close();
        return;
    }
    if (kind == TSocketInfo::Connect) {
        connecttimer.stop();
        showSessionTitle();
    } else if (kind == TSocketInfo::Error && !sock.Connected()) {
        // The connect failed: said once, and the window stays usable.
        connectFailed(connectFailureReason(msg));
    }
}

void Tchat::Timer1Timer()
{
    processsocktimer();
    if (receivedlist.isEmpty())
        Timer1.stop();
}

void Tchat::processsocktimer()
{
    if (receivedlist.isEmpty())
        return;
    const QByteArray text = receivedlist.takeFirst();
    receivedbytes = receivedlist.isEmpty() ? 0 : std::max<qint64>(0, receivedbytes - text.size());
    dispatch(text);
}

void Tchat::dispatch(const QByteArray &text)
{
    using Handler = void (Tchat::*)(const QByteArray &);
    static const struct
    {
        const char *word;
        Handler handler;
    } table[] = {
        {cmd::sendlogininfo, &Tchat::sendloginfo},
        {cmd::chat, &Tchat::chatrecieved},
        {cmd::action, &Tchat::chatrecieved},
        {cmd::newplayerinfo, &Tchat::newplayerinfo},
        {cmd::havewrongversion, &Tchat::havewrongversion},
        {cmd::wrongversion, &Tchat::wrongversion},
        {cmd::existingplayers, &Tchat::newplayerinfo},
        {cmd::playerdisconnected, &Tchat::playerdisconnected},
        {cmd::full, &Tchat::full},
        {cmd::justwatching, &Tchat::justwatching},
        {cmd::startgame, &Tchat::startthegame},
        {cmd::nextplayer, &Tchat::getnextplayer},
        {cmd::winner, &Tchat::winner},
        {cmd::startround, &Tchat::startround},
        {cmd::invalid, &Tchat::invalid},
        {cmd::newword, &Tchat::newword},
        {cmd::allfilled, &Tchat::allfilled},
        {cmd::postscores, &Tchat::postscores},
        {cmd::hiscount, &Tchat::hiscount},
        {cmd::timeup, &Tchat::timeup},
        {cmd::loadstats, &Tchat::loadstats},
        {cmd::alldone, &Tchat::alldone},
        {cmd::playasound, &Tchat::playasound},
    };
    const Message m = parseMessage(text);
    if (m.command.isEmpty())
        return;
    for (const auto &row : table) {
        if (m.command == row.word) {
            if (row.handler)
                guarded([&] { (this->*row.handler)(m.args); });
            return;
        }
    }
}

void Tchat::send(const QByteArray &text)
{
    sock.Send(frame(text));
}

// --- login, arrivals, departures ---

void Tchat::sendloginfo(const QByteArray &args)
{
    myslot = number(args);
    seats.setLocalSlot(myslot);
    loggedin = true;
    send(msg::logininfo(myslot, kGameVersion, toWireText(loginname)));
    sortstuff(myslot);
}

void Tchat::newplayerinfo(const QByteArray &args)
{
    FieldReader f(args);
    const int slot = f.numberField();
    const QString name = QString::fromLatin1(f.rest());
    if (slot == myslot) {
        sessionLine(QStringLiteral("You are Connected."));
        // Read at the first login of this run only; a later session in the same
        // window keeps the choices (and the place) the window has.
        if (!settingsSession->loaded())
            loadinifile();
        computerSeats->restore(botSpeedFromLetterMs(options.botSpeed).value_or(BotSpeed::Normal));
    } else
        sessionLine(name + QStringLiteral(" is Connected."));
    if (slot <= seatcount) {
        seats.arrive(slot, name);
        seatList->showSeat(slot);
    } else {
        seats.addWatcher(slot, name);
        if (spylist)
            spylist->showWatcher(slot, name);
        sessionLine(slot == myslot ? QStringLiteral("You are spying.") : name + QStringLiteral(" is spying."));
    }
    playsounds(QStringLiteral("entered"));
}

void Tchat::playerdisconnected(const QByteArray &args)
{
    FieldReader f(args);
    const int slot = f.numberField();
    const QString name = QString::fromLatin1(f.rest());
    if (slot <= seatcount) {
        if (!SeatsModel::isSeat(slot))
            return;
        if (seats.taken(slot) && seats.name(slot) != SeatsModel::seatHint(slot))
            sessionLine(seats.name(slot) + QStringLiteral(" disconnected."));
        seats.leave(slot);
        return;
    }
    const bool left = seats.removeWatcher(slot, name);
    if (!spylist)
        return;
    spylist->removeWatcher(slot, name);
    if (left)
        sessionLine(name + QStringLiteral(" has left."));
}

void Tchat::havewrongversion(const QByteArray &args)
{
    sessionLine(QString::fromLatin1(args) + QStringLiteral(" has a different version of the game then you."));
}

void Tchat::wrongversion(const QByteArray &)
{
    sessionLine(QStringLiteral("You have a differnt version of the game then the host."));
}

void Tchat::full(const QByteArray &)
{
    if (hooks.message)
        hooks.message(this, QStringLiteral("Game is full"));
    close();
}

// --- just watching ---

void Tchat::justwatching(const QByteArray &args)
{
    FieldReader f(args);
    const int slot = f.numberField();
    if (slot > seatcount || slot < 1)
        return;
    const QByteArray flag = f.rest().split('+').constFirst();
    const bool watching = flag == "1";
    if (slot == myslot)
        seats.setLocalWatching(watching);
    sessionLine(seats.shownName(slot)
                + (watching ? QStringLiteral(" is just watching") : QStringLiteral(" is now playing again")));
    seats.setWatching(slot, watching);
}

void Tchat::JustWatch1Click()
{
    if (!loggedin || myslot > seatcount)
        return;
    send(msg::justwatch(myslot, seats.localWatching() ? 2 : 1));
}

void Tchat::SettoJustWatch1Click()
{
    if (loggedin && popupTarget <= seatcount)
        send(msg::justwatch(popupTarget, 1));
}

void Tchat::UnsetJustWatch1Click()
{
    if (loggedin && popupTarget <= seatcount)
        send(msg::justwatch(popupTarget, 2));
}

// --- the seat pop-up and removal ---

void Tchat::label_playername1ContextPopup(QLabel *clicked)
{
    RemoveFromGame1->setEnabled(ishost);
    SettoJustWatch1->setEnabled(ishost);
    UnsetJustWatch1->setEnabled(ishost);
    // A seat's own name opens the pop-up on that seat; the score panel's
    // labels open it on seat 1. A free seat cannot be removed.
    popupTarget = 1;
    int shown = 0;
    for (int i = 1; i <= seatcount; ++i) {
        if (clicked == slotWidget<QLabel>("label_playername", i))
            popupTarget = shown = i;
        else if (clicked == slotWidget<QLabel>("label_name", i))
            shown = i;
    }
    if (shown != 0 && !seats.taken(shown))
        RemoveFromGame1->setEnabled(false);
}

void Tchat::RemoveFromGame1Click()
{
    kicking(popupTarget);
}

void Tchat::kicking(int slot)
{
    if (ishost && loggedin)
        send(msg::kickhim(myslot, slot));
}

// --- the score panel's column order ---

void Tchat::sortstuff(int slot)
{
    if (slot <= 1 || slot > seatcount)
        return;
    seats.swapColumns(1, slot);
    movestuff(1, 0);
    movestuff(slot, 1);
    movestuff(0, slot);
}

void Tchat::movestuff(int from, int to)
{
    panel_scores->moveColumn(from, to);
}

// --- starting a game, leaving ---

void Tchat::button_startClick()
{
    if (!loggedin) {
        if (hooks.message)
            hooks.message(this, QStringLiteral("You are not connected"));
        return;
    }
    if (gamestart)
        gamestart->show();
}

void Tchat::Exit1Click()
{
    close();
}
