// Tchat: hosting, joining and solo play chosen from the window (File menu, the
// lobby downloader, the desktop entry's actions), leaving the current session
// for the new one without closing the window, the connection that does not come
// about, and the window title that names the session.
#include "tchat.h"

#include "computerseats.h"
#include "errorreport.h"
#include "hostaddress.h"
#include "networkchoices.h"
#include "serverannouncer.h"
#include "settingsmodel.h"
#include "tgamestart.h"
#include "thostgame.h"
#include "tjoingame.h"
#include "tserver.h"
#include "tspylist.h"

#include <QAction>
#include <QHostInfo>
#include <QLabel>
#include <QPushButton>

#include <algorithm>

using namespace vexlo;

namespace {
const QString kDash = QString(QChar(0x2014));

NetworkChoices storedChoices(IniFile &file)
{
    NetworkChoices c;
    c.load(file);
    return c;
}
} // namespace

// --- the dialogs ---

QString Tchat::offeredName() const
{
    const QString stored = storedChoices(settingsSession->file()).playerName;
    if (!stored.isEmpty())
        return stored;
    return myname == QLatin1String("You") ? QString() : myname;
}

void Tchat::HostNetworkGame1Click()
{
    openHostGame(false);
}

void Tchat::JoinNetworkGame1Click()
{
    openJoinGame(false);
}

void Tchat::openHostGame(bool soloOnCancel)
{
    if (!hostgame) {
        hostgame = new Thostgame(this);
        connect(hostgame, &QDialog::accepted, this, [this] { guarded([this] { hostgameAccepted(); }); });
        connect(hostgame, &QDialog::rejected, this, [this] { dialogCancelled(); });
    }
    m_soloOnCancel = soloOnCancel;
    hostgame->setChoices(offeredName(), platform::gamePort().toInt());
    hostgame->open();
}

void Tchat::openJoinGame(bool soloOnCancel)
{
    if (!joingame) {
        joingame = new Tjoingame(this);
        connect(joingame, &QDialog::accepted, this, [this] { guarded([this] { joingameAccepted(); }); });
        connect(joingame, &QDialog::rejected, this, [this] { dialogCancelled(); });
    }
    m_soloOnCancel = soloOnCancel;
    joingame->setChoices(offeredName(), storedChoices(settingsSession->file()).recentHosts,
                         platform::gamePort().toInt());
    joingame->open();
}

void Tchat::dialogCancelled()
{
    // Started at a dialog (the desktop entry's action) and cancelled: the window
    // plays solo, as when it is started without words.
    if (std::exchange(m_soloOnCancel, false))
        startSolo();
}

void Tchat::rememberChoices(const QString &name, const QString &address)
{
    IniFile &file = settingsSession->file();
    NetworkChoices c = storedChoices(file);
    c.playerName = name;
    if (!address.isEmpty())
        c.remember(address);
    // A file that cannot be written is reported; the game goes on all the same.
    guarded([&] { c.save(file, !address.isEmpty()); });
}

void Tchat::hostgameAccepted()
{
    m_soloOnCancel = false;
    if (!leaveSession())
        return;
    rememberChoices(hostgame->playerName(), QString());
    startHosting(hostgame->playerName(), QString::number(hostgame->port()));
}

void Tchat::joingameAccepted()
{
    m_soloOnCancel = false;
    if (!leaveSession())
        return;
    rememberChoices(joingame->playerName(), joingame->addressText());
    startJoining(joingame->playerName(), joingame->addressText(), joingame->address());
}

void Tchat::PlaySoloGame1Click()
{
    if (leaveSession())
        startSolo();
}

// --- leaving the current session ---

bool Tchat::othersConnected() const
{
    for (int slot = 1; slot <= seatcount; ++slot)
        if (slot != myslot && seats.taken(slot))
            return true;
    const QMap<int, QString> watchers = seats.watchers();
    return std::any_of(watchers.keyBegin(), watchers.keyEnd(), [this](int slot) { return slot != myslot; });
}

bool Tchat::leaveSession()
{
    if (loggedin && (roundModel.gameRunning() || othersConnected())) {
        const QString question = ishost && othersConnected()
                                     ? QStringLiteral("Leave the current game? The other players will be disconnected.")
                                     : QStringLiteral("Leave the current game?");
        if (!hooks.confirm || !hooks.confirm(this, question))
            return false;
    }
    resetSession();
    return true;
}

void Tchat::closeQuietly()
{
    // A close asked for by the window itself: "Socket Closed" must not end it.
    m_leaving = true;
    sock.Close();
    m_leaving = false;
}

void Tchat::abortLookup()
{
    if (m_lookup >= 0)
        QHostInfo::abortHostLookup(std::exchange(m_lookup, -1));
}

void Tchat::resetSession()
{
    connecttimer.stop();
    abortLookup();
    turntime.stop();
    Timer1.stop();
    if (sock.hasHandle())
        closeQuietly();
    computerSeats->endSession();
    announcer->endSession();
    if (server)
        server->reset(); // the port is free again
    receivedlist.clear();
    receivedbytes = 0;
    m_framer = MessageFramer(4096);

    sortstuff(myslot); // the score panel's columns back in slot order
    myslot = 0;
    loggedin = false;
    ishost = false;
    loginname.clear();
    seats.reset();
    seatList->hideTotals();
    roundModel.reset();
    clearall();
    panel_scores->clearRound();
    panel_scores->hide();
    panel_winner->hide();
    boardView->clearWordLabel();
    boardView->resetCountdown(); // a full bar, as at the start
    label_status->setText(QStringLiteral("Welcome to Vexlo by Quorbit Software"));
    button_start->hide();
    StartGame1->setEnabled(false);
    if (spylist) {
        spylist->clearWatchers();
        spylist->setKickAllowed(false);
    }
    if (gamestart)
        gamestart->hide();
    chatView->clear();
    m_session = {};
    showSessionTitle();
}

// --- starting the new session, as the command line does ---

void Tchat::startSolo()
{
    resetSession();
    sessionLine(QStringLiteral("Loading Solo Game..Please wait."));
    hostaddress = QStringLiteral("127.0.0.1");
    myname = QStringLiteral("You");
    gameport = platform::gamePort();
    m_session = {SessionKind::Solo, hostaddress};
    hostFromWindow();
}

void Tchat::startHosting(const QString &name, const QString &port)
{
    resetSession();
    sessionLine(QStringLiteral("Loading Multi-player Game.. Please Wait."));
    myname = name;
    hostaddress = QStringLiteral("127.0.0.1");
    gameport = port;
    m_session = {SessionKind::Hosting, hostaddress};
    hostFromWindow();
}

void Tchat::startJoining(const QString &name, const QString &typed, const HostAddressText &address)
{
    resetSession();
    sessionLine(QStringLiteral("Loading Multi-player Game.. Please Wait."));
    myname = name;
    hostaddress = address.host;
    gameport = address.port ? QString::number(address.port) : platform::gamePort();
    m_session = {SessionKind::Joined, typed};
    joinpress();
}

void Tchat::hostFromWindow()
{
    try {
        hostpress();
    } catch (const ESockException &e) {
        // Said in the chat; the window stays as it is, Host, Join and solo offered.
        const QString why = e.message() == QLatin1String("Listen - Error Binding Socket")
                                ? QStringLiteral("the port is in use.")
                                : e.message();
        m_session = {};
        sessionLine(QStringLiteral("Could not host on port %1: %2").arg(gameport, why));
    }
    showSessionTitle();
}

// --- a connection that does not come about ---

void Tchat::connecttimerTimer()
{
    if (m_lookup >= 0 || (sock.hasHandle() && !sock.Connected()))
        connectFailed(noAnswerReason(ConnectSeconds));
}

void Tchat::connectFailed(const QString &reason)
{
    connecttimer.stop();
    abortLookup();
    if (sock.hasHandle())
        closeQuietly();
    const QString address = m_session.address.isEmpty() ? hostaddress : m_session.address;
    m_session = {};
    sessionLine(QStringLiteral("Could not connect to %1: %2").arg(address, reason));
    showSessionTitle();
}

// --- the title ---

void Tchat::showSessionTitle()
{
    QString title = QStringLiteral("Vexlo");
    switch (m_session.kind) {
    case SessionKind::Solo:
        title += QStringLiteral(" %1 solo").arg(kDash);
        break;
    case SessionKind::Hosting:
        title += QStringLiteral(" %1 hosting on port %2")
                     .arg(kDash, server ? QString::number(server->listeningPort()) : gameport);
        break;
    case SessionKind::Joined:
        if (sock.Connected())
            title += QStringLiteral(" %1 joined %2").arg(kDash, m_session.address);
        break;
    case SessionKind::None:
        break;
    }
    setWindowTitle(title);
}
