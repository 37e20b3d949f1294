// TSock on loopback: its events, info texts and exceptions.
#include "tsock.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>

namespace {

struct InfoLog
{
    QList<QPair<TSocketInfo, QString>> entries;
    TSock::NotifyInfoEvent handler()
    {
        return [this](TSock *, TSocketInfo kind, const QString &m) { entries.append({kind, m}); };
    }
    QStringList texts() const
    {
        QStringList out;
        for (const auto &e : entries)
            out << e.second;
        return out;
    }
};

template <typename Fn>
QString thrownText(Fn fn)
{
    try {
        fn();
    } catch (const ESockException &e) {
        return e.message();
    }
    return QStringLiteral("(nothing thrown)");
}

// TCP_NODELAY of a connection's socket as the kernel holds it: 1, 0, or -1 when unreadable.
int noDelay(const TSock &s)
{
    int value = 0;
    socklen_t len = sizeof value;
    const auto fd = static_cast<int>(s.socketDescriptor());
    if (fd < 0 || ::getsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &value, &len) != 0)
        return -1;
    return value != 0 ? 1 : 0;
}

// A port on which nothing listens.
quint16 closedPort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

} // namespace

class SocketTests : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void listenAcceptAndExchange();
    void sendBeforeConnectIsDelivered();
    void messagesGoOutWithoutDelay();
    void refusedConnectIsOnlyAnError();
    void peerCloseReportsDisconnectThenClosed();
    void listenStates();
    void misuseRaises();
    void hostNamesAndCache();
    void errorTexts();
};

void SocketTests::listenAcceptAndExchange()
{
    TSock listener;
    InfoLog listenerLog;
    listener.OnInfo = listenerLog.handler();
    listener.setPortName(QStringLiteral("0"));
    QList<TSock *> accepted;
    QByteArray serverGot;
    QList<int> counts;
    listener.OnRead = [&](TSock *s, int count) {
        counts << count;
        serverGot += s->Text();
    };
    listener.OnAccept = [&](TSock *) { accepted << listener.Accept(); };
    listener.setListen(true);
    QVERIFY(listener.Listen());
    QCOMPARE(listenerLog.texts(), QStringList{QStringLiteral("Listening Started")});
    const quint16 port = listener.localPort();
    QVERIFY(port != 0);

    TSock client;
    InfoLog clientLog;
    client.OnInfo = clientLog.handler();
    client.setHostName(QStringLiteral("127.0.0.1"));
    client.setPortName(QString::number(port));
    int connects = 0;
    client.OnConnect = [&](TSock *) { ++connects; };
    QVERIFY(!client.Open());
    QTRY_COMPARE(connects, 1);
    QVERIFY(client.Connected());
    QVERIFY(clientLog.texts().contains(QStringLiteral("Non-Blocking Socket Connected")));
    QTRY_COMPARE(accepted.size(), 1);
    TSock *peer = accepted.first();
    QVERIFY(peer);
    QVERIFY(peer->Connected());
    QCOMPARE(peer->HostName(), QStringLiteral("127.0.0.1"));
    QCOMPARE(peer->PortName(), QStringLiteral("0"));
    QVERIFY(listenerLog.texts().contains(QStringLiteral("Created New TSock Structure")));
    // The accepted socket took the listener's OnInfo: it reported the two notices.
    QCOMPARE(listenerLog.texts().count(QStringLiteral("Setting HostName While Connected Has No Effect")), 1);
    QCOMPARE(listenerLog.texts().count(QStringLiteral("Setting PortName While Connected Has No Effect")), 1);

    // Data both ways; the receive buffer holds what arrived until Text() takes it.
    QByteArray fromServer;
    client.OnRead = [&](TSock *s, int) { fromServer += s->Text(); };
    client.Send("hello\xff");
    // The accepted socket took the listener's OnRead; Count is the buffer's length.
    QTRY_COMPARE(serverGot, QByteArray("hello\xff"));
    QCOMPARE(counts, QList<int>{6});
    peer->Send("world");
    QTRY_COMPARE(fromServer, QByteArray("world"));
    QVERIFY(clientLog.texts().contains(QStringLiteral("Non-Blocking Incoming Data")));

    // Close reports "Socket Closed" and leaves the socket without a handle.
    clientLog.entries.clear();
    QVERIFY(client.Close());
    QCOMPARE(clientLog.texts(), QStringList{QStringLiteral("Socket Closed")});
    QVERIFY(!client.Connected());
    QVERIFY(!client.hasHandle());
}

void SocketTests::sendBeforeConnectIsDelivered()
{
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost, 0));
    TSock client;
    client.setHostName(QStringLiteral("127.0.0.1"));
    client.setPortName(QString::number(server.serverPort()));
    client.Open();
    QVERIFY(!client.Connected());
    client.Send("early\xff");
    client.Send("bird\xff");
    QTRY_VERIFY(server.hasPendingConnections());
    QTcpSocket *peer = server.nextPendingConnection();
    QByteArray got;
    QTRY_VERIFY((got += peer->readAll()) == QByteArray("early\xff" "bird\xff"));
    QCOMPARE(client.pendingSendBytes(), 0);
}

void SocketTests::messagesGoOutWithoutDelay()
{
    // Several small messages in a row must not wait for the peer's acknowledgement
    // (Nagle): both the accepted and the connecting side send at once.
    TSock listener;
    listener.setPortName(QStringLiteral("0"));
    TSock *peer = nullptr;
    listener.OnAccept = [&](TSock *) { peer = listener.Accept(); };
    listener.setListen(true);

    TSock client;
    client.setHostName(QStringLiteral("127.0.0.1"));
    client.setPortName(QString::number(listener.localPort()));
    QCOMPARE(noDelay(client), -1); // no connection yet
    client.Open();
    QTRY_VERIFY(client.Connected());
    QTRY_VERIFY(peer != nullptr);
    QCOMPARE(noDelay(client), 1);
    QCOMPARE(noDelay(*peer), 1);
}

void SocketTests::refusedConnectIsOnlyAnError()
{
    TSock client;
    InfoLog log;
    client.OnInfo = log.handler();
    bool disconnected = false;
    client.OnDisconnect = [&](TSock *) { disconnected = true; };
    client.setHostName(QStringLiteral("127.0.0.1"));
    client.setPortName(QString::number(closedPort()));
    client.Open();
    QTRY_VERIFY(log.texts().contains(QStringLiteral("Error #10061 (WSAECONNREFUSED)")));
    QTest::qWait(50);
    QVERIFY(!log.texts().contains(QStringLiteral("Socket Closed")));
    QVERIFY(!disconnected);
    QCOMPARE(log.entries.last().first, TSocketInfo::Error);
    // The socket keeps its handle: opening again answers at once.
    QVERIFY(client.hasHandle());
    QVERIFY(!client.Open());
}

void SocketTests::peerCloseReportsDisconnectThenClosed()
{
    TSock listener;
    listener.setPortName(QStringLiteral("0"));
    TSock *peer = nullptr;
    listener.OnAccept = [&](TSock *) { peer = listener.Accept(); };
    listener.setListen(true);

    QTcpSocket client;
    client.connectToHost(QHostAddress::LocalHost, listener.localPort());
    QTRY_VERIFY(peer != nullptr);
    QStringList events;
    QByteArray lastData;
    peer->OnDisconnect = [&](TSock *) { events << QStringLiteral("disconnect"); };
    peer->OnInfo = [&](TSock *, TSocketInfo, const QString &m) {
        if (m == QStringLiteral("Socket Closed"))
            events << m;
    };
    peer->OnRead = [&](TSock *s, int) { lastData += s->Text(); };
    client.write("bye\xff");
    client.flush();
    client.disconnectFromHost();
    QTRY_COMPARE(events, (QStringList{QStringLiteral("disconnect"), QStringLiteral("Socket Closed")}));
    // What the peer sent before closing was read first.
    QCOMPARE(lastData, QByteArray("bye\xff"));
    QVERIFY(!peer->Connected());
}

void SocketTests::listenStates()
{
    TSock listener;
    InfoLog log;
    listener.OnInfo = log.handler();
    listener.setPortName(QStringLiteral("0"));
    listener.setListen(true);
    log.entries.clear();
    listener.setListen(true);
    QCOMPARE(log.texts(), QStringList{QStringLiteral("Listening Already Running")});

    // A second listener on the same port cannot bind.
    TSock second;
    second.setPortName(QString::number(listener.localPort()));
    QCOMPARE(thrownText([&] { second.setListen(true); }), QStringLiteral("Listen - Error Binding Socket"));
    QVERIFY(!second.Listen());

    // Stopping: "Socket Closed", then "Listening Stopped".
    log.entries.clear();
    listener.setListen(false);
    QCOMPARE(log.texts(), (QStringList{QStringLiteral("Socket Closed"), QStringLiteral("Listening Stopped")}));
    QVERIFY(!listener.Listen());
    // A listener closed directly reports nothing.
    TSock third;
    InfoLog thirdLog;
    third.OnInfo = thirdLog.handler();
    third.setPortName(QStringLiteral("0"));
    third.setListen(true);
    thirdLog.entries.clear();
    third.Close();
    QVERIFY(thirdLog.entries.isEmpty());
}

void SocketTests::misuseRaises()
{
    TSock closed;
    QCOMPARE(thrownText([&] { closed.Send("x"); }), QStringLiteral("Send - Socket Not Connected"));
    QCOMPARE(thrownText([&] { closed.Text(); }), QStringLiteral("Receive - Socket Not Connected"));
    QCOMPARE(thrownText([&] { closed.Accept(); }), QStringLiteral("Accept - Socket Not In Listening Mode"));

    TSock listener;
    listener.setPortName(QStringLiteral("0"));
    listener.setListen(true);
    QCOMPARE(thrownText([&] { listener.Send("x"); }), QStringLiteral("Send - Cannot Send On A Listener Socket"));
    QCOMPARE(thrownText([&] { listener.Text(); }),
             QStringLiteral("Receive - Cannot Receive On A Listener Socket"));

    // An info handler that throws is replaced by "Error here".
    TSock client;
    client.OnInfo = [](TSock *, TSocketInfo, const QString &) { throw std::runtime_error("boom"); };
    QCOMPARE(thrownText([&] { client.Close(); }), QStringLiteral("Error here"));

    // Listening on a socket that is connecting is refused.
    TSock connecting;
    connecting.setHostName(QStringLiteral("127.0.0.1"));
    connecting.setPortName(QString::number(listener.localPort()));
    connecting.Open();
    QCOMPARE(thrownText([&] { connecting.setListen(true); }), QStringLiteral("Listen - Socket Already In Use"));

    TSock badPort;
    badPort.setHostName(QStringLiteral("127.0.0.1"));
    badPort.setPortName(QStringLiteral("no-such-service-here"));
    QCOMPARE(thrownText([&] { badPort.Open(); }), QStringLiteral("Port Lookup - Could Not Find Service Entry"));
    TSock badHost;
    badHost.setHostName(QStringLiteral("no-such-host.invalid"));
    badHost.setPortName(QStringLiteral("7772"));
    QCOMPARE(thrownText([&] { badHost.Open(); }), QStringLiteral("Host Lookup - Could Not Find Host Entry"));
    TSock badAddress;
    badAddress.setHostName(QStringLiteral("300.1.2.3"));
    badAddress.setPortName(QStringLiteral("7772"));
    QCOMPARE(thrownText([&] { badAddress.Open(); }), QStringLiteral("Host Lookup - Could Not Find Host Entry"));
}

void SocketTests::hostNamesAndCache()
{
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::AnyIPv4, 0));
    const QString port = QString::number(server.serverPort());
    TSock::clearHostCache();

    // A dotted address is used as it is: no lookup.
    TSock byAddress;
    InfoLog a;
    byAddress.OnInfo = a.handler();
    byAddress.setHostName(QStringLiteral("127.0.0.1"));
    byAddress.setPortName(port);
    byAddress.Open();
    QVERIFY(!a.texts().join(QLatin1Char('|')).contains(QStringLiteral("Lookup Of")));
    QCOMPARE(TSock::hostCacheSize(), 0);

    // A name is looked up once, then served from the cache.
    for (int i = 0; i < 2; ++i) {
        TSock byName;
        InfoLog n;
        byName.OnInfo = n.handler();
        byName.setHostName(QStringLiteral("localhost"));
        byName.setPortName(port);
        byName.Open();
        QCOMPARE(n.texts().contains(QStringLiteral("Lookup Of Host localhost")), i == 0);
        QCOMPARE(TSock::hostCacheSize(), 1);
    }

    // An IPv6 address is used as it is too, and connects.
    QTcpServer server6;
    QVERIFY(server6.listen(QHostAddress::LocalHostIPv6, 0));
    TSock byIPv6;
    InfoLog six;
    byIPv6.OnInfo = six.handler();
    byIPv6.setHostName(QStringLiteral("::1"));
    byIPv6.setPortName(QString::number(server6.serverPort()));
    byIPv6.Open();
    QTRY_VERIFY(byIPv6.Connected());
    QVERIFY(!six.texts().join(QLatin1Char('|')).contains(QStringLiteral("Lookup Of")));
}

void SocketTests::errorTexts()
{
    QCOMPARE(socketErrorText(10061), QStringLiteral("Error #10061 (WSAECONNREFUSED)"));
    QCOMPARE(socketErrorText(10054), QStringLiteral("Error #10054 (WSAECONNRESET)"));
    QCOMPARE(socketErrorText(11004), QStringLiteral("Error #11004 (WSANO_DATA)"));
    QCOMPARE(socketErrorText(10999), QStringLiteral("Error #10999 (UNKNOWN ERROR)"));
    QCOMPARE(socketInfoName(TSocketInfo::Lookup), QStringLiteral("Lookup"));
    QCOMPARE(socketInfoName(TSocketInfo::Error), QStringLiteral("Error"));
}

int runSocketTests(int argc, char **argv)
{
    SocketTests t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_tsock.moc"
