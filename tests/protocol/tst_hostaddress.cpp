// Reading a typed host address, and the words for a failed connect.
#include "hostaddress.h"

#include <QTest>

using namespace vexlo;

class HostAddressTests : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void goodAddresses_data();
    void goodAddresses();
    void badAddresses_data();
    void badAddresses();
    void failureReasons();
};

void HostAddressTests::goodAddresses_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("port");
    QTest::newRow("name") << "localhost" << "localhost" << 0;
    QTest::newRow("name, port, blanks") << "  vexlo.example.org:7773 " << "vexlo.example.org" << 7773;
    QTest::newRow("IPv4") << "192.168.1.20" << "192.168.1.20" << 0;
    QTest::newRow("IPv4 and port") << "10.0.0.5:65535" << "10.0.0.5" << 65535;
    QTest::newRow("IPv6") << "::1" << "::1" << 0;
    QTest::newRow("IPv6 in brackets") << "[2001:db8::7]" << "2001:db8::7" << 0;
    QTest::newRow("IPv6 and port") << "[::1]:7772" << "::1" << 7772;
    // Without brackets the last group belongs to the address, never a port.
    QTest::newRow("IPv6 ending in digits") << "::1:7772" << "::1:7772" << 0;
}

void HostAddressTests::goodAddresses()
{
    QFETCH(QString, typed);
    const HostAddressText a = parseHostAddress(typed);
    QVERIFY2(a.ok(), qPrintable(a.error));
    QTEST(a.host, "host");
    QTEST(int(a.port), "port");
}

void HostAddressTests::badAddresses_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("error");
    const QString badPort = QStringLiteral("The port must be a number from 1 to 65535.");
    QTest::newRow("empty") << "   " << "Type the host's name or address.";
    QTest::newRow("IPv4 out of range") << "300.1.2.3" << "300.1.2.3 is not an IPv4 address.";
    QTest::newRow("IPv4 too short") << "10.0.5:7772" << "10.0.5 is not an IPv4 address.";
    QTest::newRow("port 0") << "host:0" << badPort;
    QTest::newRow("port too big") << "host:65536" << badPort;
    QTest::newRow("port not a number") << "host:+80" << badPort;
    QTest::newRow("port only") << ":7772" << "Type the host's name or address before the \":\".";
    QTest::newRow("unclosed bracket") << "[::1:7772" << "An address in brackets needs its closing \"]\".";
    QTest::newRow("name in brackets") << "[localhost]:7772" << "localhost is not an IPv6 address.";
    QTest::newRow("junk after bracket") << "[::1]7772" << "Only \":port\" may follow the \"]\".";
    QTest::newRow("bad IPv6") << "2001:db8::zz"
                              << "2001:db8::zz is not an IPv6 address (with a port, write [address]:port).";
    QTest::newRow("blank in name") << "my host" << "my host is not a host name or address.";
    QTest::newRow("empty label") << "a..b" << "a..b is not a host name or address.";
}

void HostAddressTests::badAddresses()
{
    QFETCH(QString, typed);
    const HostAddressText a = parseHostAddress(typed);
    QVERIFY(!a.ok());
    QTEST(a.error, "error");
}

void HostAddressTests::failureReasons()
{
    QCOMPARE(connectFailureReason(QStringLiteral("Error #10061 (WSAECONNREFUSED)")),
             QStringLiteral("the host refused the connection."));
    QCOMPARE(connectFailureReason(QStringLiteral("Error #11001 (WSAHOST_NOT_FOUND)")), hostNotFoundReason());
    QCOMPARE(connectFailureReason(QStringLiteral("Error #10999 (UNKNOWN ERROR)")),
             QStringLiteral("the connection failed (Error #10999 (UNKNOWN ERROR))."));
    QCOMPARE(noAnswerReason(10), QStringLiteral("no answer within 10 seconds."));
}

int runHostAddressTests(int argc, char **argv)
{
    HostAddressTests t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_hostaddress.moc"
