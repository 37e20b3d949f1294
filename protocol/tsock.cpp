#include "tsock.h"

#include "errorreport.h"

#include <QCoreApplication>
#include <QHash>
#include <QHostInfo>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <netdb.h>

namespace {

constexpr qint64 kReadArea = 32768;
// How long a closed connection may take to hand over what is still unsent.
constexpr int kLingerMs = 10000;

QHash<QString, QHostAddress> &hostCache()
{
    static QHash<QString, QHostAddress> cache;
    return cache;
}

// Messages are small and often go out several in a row (a broadcast, then the
// answer to the sender). With Nagle's algorithm the second one would wait for
// the peer to acknowledge the first, which a delayed acknowledgement puts off by
// tens of milliseconds: every message goes out at once instead.
void sendWithoutDelay(QTcpSocket *socket)
{
    socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
}

bool startsWithDigit(const QString &s)
{
    return !s.isEmpty() && s.front().isDigit();
}

// Qt's socket errors, as the Windows Sockets codes the info texts use.
int wsaCode(QAbstractSocket::SocketError e)
{
    switch (e) {
    case QAbstractSocket::ConnectionRefusedError: return 10061;
    case QAbstractSocket::HostNotFoundError: return 11001;
    case QAbstractSocket::SocketAccessError: return 10013;
    case QAbstractSocket::SocketResourceError: return 10055;
    case QAbstractSocket::SocketTimeoutError: return 10060;
    case QAbstractSocket::DatagramTooLargeError: return 10040;
    case QAbstractSocket::NetworkError: return 10051;
    case QAbstractSocket::AddressInUseError: return 10048;
    case QAbstractSocket::SocketAddressNotAvailableError: return 10049;
    case QAbstractSocket::UnsupportedSocketOperationError: return 10045;
    case QAbstractSocket::TemporaryError: return 10035;
    default: return 10999;
    }
}

} // namespace

TSock::TSock(QObject *parent) : QObject(parent) {}

TSock::~TSock()
{
    // Destroying an open socket closes it quietly: the handlers may belong to an
    // owner that is itself being destroyed.
    OnInfo = nullptr;
    releaseSocket(true);
    delete m_server;
}

void TSock::info(TSocketInfo kind, const QString &msg)
{
    if (!OnInfo)
        return;
    try {
        OnInfo(this, kind, msg);
    } catch (...) {
        throw ESockException(QStringLiteral("Error here"));
    }
}

void TSock::setHostName(const QString &name)
{
    m_hostName = name;
    if (m_connected)
        info(TSocketInfo::Lookup, QStringLiteral("Setting HostName While Connected Has No Effect"));
}

void TSock::setPortName(const QString &name)
{
    m_portName = name;
    if (m_connected)
        info(TSocketInfo::Lookup, QStringLiteral("Setting PortName While Connected Has No Effect"));
}

quint16 TSock::localPort() const
{
    if (m_server)
        return m_server->serverPort();
    return m_socket ? m_socket->localPort() : 0;
}

quint16 TSock::resolvePort()
{
    if (startsWithDigit(m_portName)) {
        bool ok = false;
        const uint port = m_portName.toUInt(&ok);
        if (ok && port <= 65535)
            return static_cast<quint16>(port);
    } else {
        info(TSocketInfo::Lookup, QStringLiteral("Lookup Of Port ") + m_portName);
        const QByteArray name = m_portName.toLatin1();
        if (const servent *se = getservbyname(name.constData(), "tcp"))
            return ntohs(static_cast<uint16_t>(se->s_port));
    }
    throw ESockException(QStringLiteral("Port Lookup - Could Not Find Service Entry"));
}

QHostAddress TSock::resolveHost()
{
    // An address written out is taken as it stands: IPv4, or IPv6 ("::1").
    if (startsWithDigit(m_hostName) || m_hostName.contains(QLatin1Char(':'))) {
        QHostAddress addr;
        if (addr.setAddress(m_hostName)
            && (addr.protocol() == QAbstractSocket::IPv4Protocol || addr.protocol() == QAbstractSocket::IPv6Protocol))
            return addr;
        throw ESockException(QStringLiteral("Host Lookup - Could Not Find Host Entry"));
    }
    auto &cache = hostCache();
    if (auto it = cache.constFind(m_hostName); it != cache.constEnd())
        return *it;
    info(TSocketInfo::Lookup, QStringLiteral("Lookup Of Host ") + m_hostName);
    const QHostInfo hi = QHostInfo::fromName(m_hostName);
    // An IPv4 address first; a host with only IPv6 ones is reached through the first.
    for (const auto protocol : {QAbstractSocket::IPv4Protocol, QAbstractSocket::IPv6Protocol}) {
        for (const QHostAddress &a : hi.addresses()) {
            if (a.protocol() == protocol) {
                cache.insert(m_hostName, a);
                return a;
            }
        }
    }
    throw ESockException(QStringLiteral("Host Lookup - Could Not Find Host Entry"));
}

void TSock::clearHostCache()
{
    hostCache().clear();
}

int TSock::hostCacheSize()
{
    return static_cast<int>(hostCache().size());
}

void TSock::attach(QTcpSocket *socket)
{
    m_socket = socket;
    socket->setParent(this);
    connect(socket, &QTcpSocket::connected, this, [this] { vexlo::guarded([&] { onConnected(); }); });
    connect(socket, &QTcpSocket::readyRead, this, [this] { vexlo::guarded([&] { onReadyRead(); }); });
    connect(socket, &QTcpSocket::disconnected, this,
            [this] { vexlo::guarded([&] { onDisconnected(); }); });
    connect(socket, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError e) {
        vexlo::guarded([&] { onError(static_cast<int>(e)); });
    });
}

bool TSock::Open()
{
    if (hasHandle())
        return m_connected;
    const quint16 port = resolvePort();
    const QHostAddress addr = resolveHost();
    auto *socket = new QTcpSocket(this);
    attach(socket);
    socket->connectToHost(addr, port);
    return m_connected;
}

void TSock::releaseSocket(bool graceful)
{
    QTcpSocket *s = m_socket;
    m_socket = nullptr;
    if (!s)
        return;
    QObject::disconnect(s, nullptr, this, nullptr);
    // The socket outlives this object while it hands over unsent bytes; the
    // application owns it meanwhile, so nothing is left behind at exit.
    s->setParent(QCoreApplication::instance());
    if (graceful && s->state() == QAbstractSocket::ConnectedState) {
        connect(s, &QAbstractSocket::disconnected, s, &QObject::deleteLater);
        QTimer::singleShot(kLingerMs, s, [s] {
            s->abort();
            s->deleteLater();
        });
        s->flush();
        s->disconnectFromHost();
    } else {
        s->abort();
        s->deleteLater();
    }
}

bool TSock::Close()
{
    releaseSocket(true);
    if (m_server) {
        m_server->close();
        m_server->deleteLater();
        m_server = nullptr;
    }
    m_connected = false;
    m_sendBuffer.clear();
    const bool wasListener = m_listen;
    if (!wasListener)
        info(TSocketInfo::Close, QStringLiteral("Socket Closed"));
    m_listen = false;
    return true;
}

void TSock::flushSendBuffer()
{
    if (!m_socket || m_socket->state() != QAbstractSocket::ConnectedState || m_sendBuffer.isEmpty())
        return;
    const qint64 n = m_socket->write(m_sendBuffer);
    if (n > 0)
        m_sendBuffer.remove(0, n);
    m_socket->flush();
}

bool TSock::Send(const QByteArray &text)
{
    if (!hasHandle())
        throw ESockException(QStringLiteral("Send - Socket Not Connected"));
    if (m_listen)
        throw ESockException(QStringLiteral("Send - Cannot Send On A Listener Socket"));
    m_sendBuffer += text;
    flushSendBuffer();
    return true;
}

QByteArray TSock::Text()
{
    if (m_listen)
        throw ESockException(QStringLiteral("Receive - Cannot Receive On A Listener Socket"));
    if (!hasHandle() && m_receiveBuffer.isEmpty())
        throw ESockException(QStringLiteral("Receive - Socket Not Connected"));
    return std::exchange(m_receiveBuffer, QByteArray());
}

QByteArray TSock::ReceiveCount(int count)
{
    if (count < 0 || count >= m_receiveBuffer.size())
        return Text();
    if (m_listen)
        throw ESockException(QStringLiteral("Receive - Cannot Receive On A Listener Socket"));
    QByteArray head = m_receiveBuffer.left(count);
    m_receiveBuffer.remove(0, count);
    return head;
}

void TSock::setListen(bool on)
{
    if (!on) {
        m_listen = false;
        Close();
        info(TSocketInfo::Listen, QStringLiteral("Listening Stopped"));
        return;
    }
    if (m_listen) {
        info(TSocketInfo::Listen, QStringLiteral("Listening Already Running"));
        return;
    }
    if (hasHandle())
        throw ESockException(QStringLiteral("Listen - Socket Already In Use"));
    const quint16 port = resolvePort();
    auto *server = new QTcpServer(this);
    if (!server->listen(m_bindAddress, port)) {
        const auto err = server->serverError();
        delete server;
        if (err == QAbstractSocket::AddressInUseError || err == QAbstractSocket::SocketAccessError
            || err == QAbstractSocket::SocketAddressNotAvailableError)
            throw ESockException(QStringLiteral("Listen - Error Binding Socket"));
        throw ESockException(QStringLiteral("Listen - Error Starting Listen"));
    }
    m_server = server;
    connect(server, &QTcpServer::newConnection, this,
            [this] { vexlo::guarded([&] { onNewConnection(); }); });
    m_listen = true;
    info(TSocketInfo::Listen, QStringLiteral("Listening Started"));
}

TSock *TSock::Accept()
{
    if (!m_listen || !m_server)
        throw ESockException(QStringLiteral("Accept - Socket Not In Listening Mode"));
    QTcpSocket *s = m_server->nextPendingConnection();
    if (!s) {
        info(TSocketInfo::Accept, QStringLiteral("Could Not Accept Connection"));
        return nullptr;
    }
    auto *t = new TSock(this);
    t->OnRead = OnRead;
    t->OnWrite = OnWrite;
    t->OnDisconnect = OnDisconnect;
    t->OnInfo = OnInfo;
    t->m_connected = true;
    sendWithoutDelay(s);
    t->attach(s);
    t->setPortName(m_portName);
    QHostAddress peer = s->peerAddress();
    if (bool ok = false; peer.protocol() == QAbstractSocket::IPv6Protocol) {
        const quint32 v4 = peer.toIPv4Address(&ok);
        if (ok)
            peer = QHostAddress(v4);
    }
    t->setHostName(peer.toString());
    info(TSocketInfo::Accept, QStringLiteral("Created New TSock Structure"));
    return t;
}

void TSock::onNewConnection()
{
    if (OnAccept)
        OnAccept(this);
}

void TSock::onConnected()
{
    m_connected = true;
    if (m_socket)
        sendWithoutDelay(m_socket);
    QPointer<TSock> self(this);
    info(TSocketInfo::Connect, QStringLiteral("Non-Blocking Socket Connected"));
    if (!self)
        return;
    if (OnConnect)
        OnConnect(this);
    if (!self || !m_socket)
        return;
    // The first ready-to-write notice after the connect: what was sent before it goes out now.
    flushSendBuffer();
    info(TSocketInfo::Send, QStringLiteral("Non-Blocking Outgoing Data"));
    if (self && OnWrite)
        OnWrite(this);
}

void TSock::onReadyRead()
{
    QPointer<TSock> self(this);
    while (self && m_socket && m_socket->bytesAvailable() > 0) {
        m_receiveBuffer += m_socket->read(kReadArea);
        info(TSocketInfo::Receive, QStringLiteral("Non-Blocking Incoming Data"));
        if (self && OnRead)
            OnRead(this, static_cast<int>(m_receiveBuffer.size()));
    }
}

void TSock::onDisconnected()
{
    QPointer<TSock> self(this);
    if (OnDisconnect)
        OnDisconnect(this);
    if (self)
        Close();
}

void TSock::onError(int qtError)
{
    const auto e = static_cast<QAbstractSocket::SocketError>(qtError);
    // A peer that closes (or resets) the connection is reported by the disconnect
    // that follows: OnDisconnect, then "Socket Closed".
    if (e == QAbstractSocket::RemoteHostClosedError)
        return;
    info(TSocketInfo::Error, socketErrorText(wsaCode(e)));
}
