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

Session::Session(QObject *parent) : QObject(parent), m_framer(4096), m_port(platform::gamePort())
{
    m_sock.setPortName(m_port);
    m_sock.OnRead = [this](TSock *, int) { onRead(); };
    m_sock.OnInfo = [this](TSock *, TSocketInfo kind, const QString &text) { onInfo(kind, text); };
    m_queueTimer.setInterval(1);
    connect(&m_queueTimer, &QTimer::timeout, this, [this] {
        tick();
        if (m_queue.isEmpty())
            m_queueTimer.stop();
    });
    m_connectTimer.setSingleShot(true);
    m_connectTimer.setInterval(ConnectSeconds * 1000);
    connect(&m_connectTimer, &QTimer::timeout, this, [this] { guarded([this] { connectTimedOut(); }); });
    // The server's word choice draws from the process's generator.
    std::srand(static_cast<unsigned>(std::time(nullptr)));
}

Session::~Session()
{
    // Handlers must not reach a half-destroyed session.
    m_sock.OnRead = nullptr;
    m_sock.OnInfo = nullptr;
}

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
    m_receivers.append(std::move(receiver));
}

// --- receiving ---

void Session::onRead()
{
    for (QByteArray &m : m_framer.feed(m_sock.Text())) {
        m_queueBytes += m.size();
        m_queue.append(std::move(m));
    }
    if (m_queue.size() > MaxWaiting || m_queueBytes > MaxWaitingBytes) {
        const QString reason = QStringLiteral("Too many messages from the server are waiting (more than %1, or "
                                              "more than 16 MB); the connection is closed.")
                                   .arg(MaxWaiting);
        std::fprintf(stderr, "%s\n", reason.toLocal8Bit().constData());
        std::fflush(stderr);
        Q_EMIT line(reason);
        m_queue.clear();
        m_queueBytes = 0;
        m_sock.Close(); // "Socket Closed": the program ends as when the server goes
        return;
    }
    if (!m_queue.isEmpty() && !m_queueTimer.isActive() && !m_closing)
        m_queueTimer.start();
}

void Session::onInfo(TSocketInfo kind, const QString &text)
{
    if (text == QLatin1String("Socket Closed")) {
        if (!m_leaving)
            Q_EMIT closedByServer();
        return;
    }
    if (kind == TSocketInfo::Connect) {
        m_connectTimer.stop();
        if (m_placing) {
            // The place is asked for at once; the server answers before the
            // connect timer runs out again.
            send(m_place == Place::NewTable ? msg::newtable()
                 : m_place == Place::Watch  ? msg::watch(m_wantedTable)
                                            : msg::sit(m_wantedTable));
            m_connectTimer.start();
        }
        Q_EMIT titleChanged(title());
    } else if (kind == TSocketInfo::Error && !m_sock.Connected()) {
        // The connect failed: said once, and the program stays usable.
        connectFailed(connectFailureReason(text));
    }
}

void Session::enqueue(const QByteArray &text)
{
    m_queueBytes += text.size();
    m_queue.append(text);
    if (!m_queueTimer.isActive() && !m_closing)
        m_queueTimer.start();
}

void Session::tick()
{
    if (m_queue.isEmpty())
        return;
    const QByteArray text = m_queue.takeFirst();
    m_queueBytes = m_queue.isEmpty() ? 0 : std::max<qint64>(0, m_queueBytes - text.size());
    dispatch(text);
}

void Session::dispatch(const QByteArray &text)
{
    if (m_placing) {
        placing(text);
        return;
    }
    // No command word, or one nobody knows: ignored.
    const DecodedMessage d = decodeServerMessage(text);
    if (!d.message)
        return;
    guarded([&] {
        const ServerMessage &m = *d.message;
        if (const auto *login = std::get_if<msg::SendLoginInfo>(&m)) {
            d.raise();
            this->login(login->slot);
        } else if (const auto *wrong = std::get_if<msg::HaveWrongVersion>(&m)) {
            Q_EMIT line(QString::fromLatin1(wrong->name)
                        + QStringLiteral(" has a different version of the game then you."));
        } else if (std::holds_alternative<msg::WrongVersion>(m)) {
            Q_EMIT line(QStringLiteral("You have a differnt version of the game then the host."));
        } else if (std::holds_alternative<msg::Full>(m)) {
            Q_EMIT refusedFull();
        } else {
            for (const auto &receive : std::as_const(m_receivers))
                receive(d);
        }
    });
}

// Until the place asked for is given, the slot the connection was put in at
// first is not this session's: its login request and whatever reaches it there
// are let go.
void Session::placing(const QByteArray &text)
{
    const Message m = parseMessage(text);
    if (m.command == cmd::seated) {
        TableDirectory answer;
        if (!answer.apply(text))
            return;
        m_placing = false;
        m_connectTimer.stop();
        m_table = answer.seatedTable();
        Q_EMIT titleChanged(title());
    } else if (m.command == cmd::lobbyerror) {
        constexpr int kMostShown = 200;
        placeRefused(QString::fromLatin1(m.args.left(kMostShown)));
    } else if (m.command == "CMD_full") {
        m_placing = false;
        Q_EMIT refusedFull();
    }
}

void Session::placeRefused(const QString &reason)
{
    m_connectTimer.stop();
    m_placing = false;
    if (m_sock.hasHandle())
        closeQuietly();
    const QString address = m_address;
    setKind(Kind::None, QString());
    Q_EMIT line(QStringLiteral("Could not take a place at %1: %2").arg(address, reason));
    Q_EMIT titleChanged(title());
}

void Session::send(const QByteArray &text)
{
    m_sock.Send(frame(text));
}

// --- the login ---

void Session::login(int slot)
{
    m_slot = slot;
    m_loggedIn = true;
    send(msg::logininfo(m_slot, kGameVersion, toWireText(m_loginName)));
    Q_EMIT loggedInTo(m_slot);
}

// --- connecting ---

void Session::hostHere()
{
    if (m_server) {
        m_server->startListening(m_port);
        Q_EMIT hosting(m_server, m_kind == Kind::Solo);
    }
    m_loginName = m_name;
    m_host = true;
    m_sock.setHostName(QStringLiteral("127.0.0.1"));
    // Port "0" lets the server pick one (tests); the connection follows it.
    m_sock.setPortName(m_server && m_port == QLatin1String("0") ? QString::number(m_server->listeningPort()) : m_port);
    m_sock.Open();
    Q_EMIT roleChanged(true);
}

void Session::joinHere()
{
    m_loginName = m_name;
    m_sock.setHostName(m_hostAddress);
    m_sock.setPortName(m_port);
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
    m_sock.setHostName(it->toString());
    openGameConnection();
}

void Session::openGameConnection()
{
    try {
        m_sock.Open();
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
