// Session: the connection to the game, the lobby link, the inbound queue and its
// tick, and the login.
#include "session.h"

#include "catalogue.h"
#include "chattext.h"
#include "errorreport.h"
#include "hostaddress.h"
#include "lobby.h"
#include "message.h"
#include "platform.h"
#include "tserver.h"

#include <QHostInfo>

#include <algorithm>
#include <cstdio>
#include <ctime>

using namespace vexlo;

Session::Session(QObject *parent) : QObject(parent), m_port(platform::gamePort())
{
    m_link.socket().setPortName(m_port);
    connect(&m_link, &GameLink::connectedToServer, this, &Session::onConnected);
    connect(&m_link, &GameLink::connectFailed, this,
            [this](const QString &info) { connectFailed(connectFailureReason(info)); });
    connect(&m_link, &GameLink::closedByServer, this, &Session::closedByServer);
    connect(&m_link, &GameLink::refusedFull, this, &Session::refusedFull);
    connect(&m_link, &GameLink::loggedInTo, this, &Session::loggedInTo);
    connect(&m_link, &GameLink::placed, this, [this] { Q_EMIT titleChanged(title()); });
    connect(&m_link, &GameLink::placeRefused, this, &Session::placeRefused);
    connect(&m_link, &GameLink::overflowed, this, &Session::onOverflow);
    // Said by the session, and no controller's business.
    m_link.addReceiver([this](const DecodedMessage &d) {
        if (const auto *wrong = std::get_if<msg::HaveWrongVersion>(&*d.message))
            Q_EMIT line(QString::fromLatin1(wrong->name)
                        + QStringLiteral(" has a different version of the game then you."));
        else if (std::holds_alternative<msg::WrongVersion>(*d.message))
            Q_EMIT line(QStringLiteral("You have a differnt version of the game then the host."));
    });
    m_connectTimer.setSingleShot(true);
    m_connectTimer.setInterval(ConnectSeconds * 1000);
    connect(&m_connectTimer, &QTimer::timeout, this, [this] { guarded([this] { connectTimedOut(); }); });
    // The server's word choice draws from the process's generator.
    std::srand(static_cast<unsigned>(std::time(nullptr)));
}

Session::~Session() = default;

void Session::setServer(TServer *server)
{
    m_server = server;
}

TServer *Session::server() const
{
    return m_server;
}

void Session::addReceiver(std::function<void(const DecodedMessage &)> receiver)
{
    m_link.addReceiver(std::move(receiver));
}

// --- what the connection reports ---

void Session::onConnected()
{
    // A place asked for at a table is under the link's own timer now.
    m_connectTimer.stop();
    Q_EMIT titleChanged(title());
}

void Session::onOverflow(const QString &reason)
{
    std::fprintf(stderr, "%s\n", reason.toLocal8Bit().constData());
    std::fflush(stderr);
    Q_EMIT line(reason);
}

void Session::enqueue(const QByteArray &text)
{
    m_link.deliver(text);
}

void Session::tick()
{
    m_link.tick();
}

void Session::placeRefused(const QString &reason)
{
    m_connectTimer.stop();
    if (m_link.isOpen())
        closeQuietly();
    const QString address = m_address;
    setKind(Kind::None, QString());
    Q_EMIT line(QStringLiteral("Could not take a place at %1: %2").arg(address, reason));
    Q_EMIT titleChanged(title());
}

void Session::send(const QByteArray &text)
{
    m_link.send(text);
}

// --- connecting ---

void Session::hostHere()
{
    if (m_server) {
        m_server->startListening(m_port);
        Q_EMIT hosting(m_server, m_kind == Kind::Solo);
    }
    m_link.setLoginName(toWireText(m_name));
    m_host = true;
    // Port "0" lets the server pick one (tests); the connection follows it.
    m_link.open(QStringLiteral("127.0.0.1"),
                m_server && m_port == QLatin1String("0") ? QString::number(m_server->listeningPort()) : m_port);
    Q_EMIT roleChanged(true);
}

void Session::joinHere()
{
    m_link.setLoginName(toWireText(m_name));
    m_link.socket().setHostName(m_hostAddress);
    m_link.socket().setPortName(m_port);
    // A name nobody resolves or a connect nobody answers is given up after a
    // while, and said.
    m_connectTimer.start();
    if (needsNameLookup(m_hostAddress)) {
        // Looked up without holding the program up; the connect follows.
        m_lookup = QHostInfo::lookupHost(m_hostAddress, this,
                                         [this](const QHostInfo &info) { guarded([&] { hostLookedUp(info); }); });
    } else {
        openGameConnection();
    }
    Q_EMIT roleChanged(false);
}

void Session::hostLookedUp(const QHostInfo &info)
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
    m_link.socket().setHostName(it->toString());
    openGameConnection();
}

void Session::openGameConnection()
{
    try {
        m_link.open(m_link.socket().HostName(), m_link.socket().PortName());
    } catch (const ESockException &e) {
        if (e.message() != QLatin1String("Host Lookup - Could Not Find Host Entry"))
            throw;
        connectFailed(hostNotFoundReason());
    }
}

void Session::openLobbyLink()
{
    // Only opened: a local program listening there sees the game running.
    // Nothing is sent or read, and a refusal passes silently.
    m_lobby.setHostName(QStringLiteral("127.0.0.1"));
    m_lobby.OnRead = [](TSock *s, int) { s->Text(); }; // whatever arrives is let go
    m_lobby.setPortName(m_lobbyPort);
    try {
        m_lobby.Open();
    } catch (const std::exception &) {
    }
}
