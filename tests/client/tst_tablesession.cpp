// Taking a place at a table through the session, against real servers on
// loopback: sitting, watching and a new table at a server of many tables, a
// refusal said as a session line, and a server of one table.
#include "catalogue.h"
#include "errorreport.h"
#include "hostaddress.h"
#include "session.h"
#include "tableserver.h"
#include "targetlist.h"
#include "tdictn.h"
#include "tserver.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace vexlo;

namespace {

struct Seated
{
    std::unique_ptr<Session> session = std::make_unique<Session>();
    QStringList lines;
    QList<QByteArray> got;

    Seated(quint16 port, Session::Place place, int table, const QString &name)
    {
        QObject::connect(session.get(), &Session::line, session.get(), [this](const QString &l) { lines << l; });
        // The players each session hears of, as "SLOT+NAME".
        session->addReceiver([this](const DecodedMessage &m) {
            if (const auto *p = m.message ? std::get_if<msg::NewPlayerInfo>(&*m.message) : nullptr)
                got << QByteArray::number(p->slot) + '+' + p->name;
        });
        const QString typed = QStringLiteral("127.0.0.1:%1").arg(port);
        session->joinTable(name, typed, parseHostAddress(typed), place, table);
    }
    QString title(int table, quint16 port) const
    {
        return QStringLiteral("Vexlo %1 table %2 at 127.0.0.1:%3").arg(QChar(0x2014)).arg(table).arg(port);
    }
};

} // namespace

class TableSessionTests : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        qputenv("VEXLO_HOME", home.path().toLocal8Bit());
        setErrorReporter([this](const QString &text) { errors << text; });
    }
    void sitWatchAndNewTableAtManyTables();
    void aRefusalIsSaidAndEndsTheSession();
    void aServerOfOneTablePlacesToo();

private:
    QTemporaryDir home;
    QStringList errors;
};

void TableSessionTests::sitWatchAndNewTableAtManyTables()
{
    const TDictn spell;
    const TargetList words;
    TableServer server(3, &spell, &words);
    server.startListening(QStringLiteral("0"), QHostAddress::LocalHost);
    const quint16 port = server.listeningPort();

    Seated red(port, Session::Place::NewTable, 0, QStringLiteral("Red"));
    QTRY_VERIFY(red.session->loggedIn());
    QCOMPARE(red.session->slot(), 1);
    const int first = red.session->table();
    Seated blue(port, Session::Place::NewTable, 0, QStringLiteral("Blue"));
    QTRY_VERIFY(blue.session->loggedIn());
    const int second = blue.session->table();
    QVERIFY(first > 0 && second > 0 && first != second);
    QCOMPARE(blue.session->title(), blue.title(second, port));

    // Sitting at one table and watching the other: the slots asked for, and
    // nothing of the slot each was put in before.
    Seated ann(port, Session::Place::Sit, first, QStringLiteral("Ann"));
    Seated wes(port, Session::Place::Watch, second, QStringLiteral("Wes"));
    QTRY_VERIFY(ann.session->loggedIn() && wes.session->loggedIn());
    QCOMPARE(ann.session->slot(), 2);
    QCOMPARE(wes.session->slot(), 7);
    QCOMPARE(ann.session->title(), ann.title(first, port));
    QCOMPARE(wes.session->title(), wes.title(second, port));
    QTRY_VERIFY(red.got.contains("2+Ann"));
    QTRY_VERIFY(blue.got.contains("7+Wes"));
    QVERIFY(!red.got.join().contains("Wes"));
    QVERIFY(ann.lines.filter(QStringLiteral("Could not")).isEmpty());
    QCOMPARE(server.lobby().table(second)->rules.player(7).name, QByteArray("Wes"));
}

void TableSessionTests::aRefusalIsSaidAndEndsTheSession()
{
    const TDictn spell;
    const TargetList words;
    TableServer server(2, &spell, &words);
    server.startListening(QStringLiteral("0"), QHostAddress::LocalHost);
    const quint16 port = server.listeningPort();

    Seated lost(port, Session::Place::Sit, 9, QStringLiteral("Lost"));
    const QString said = QStringLiteral("Could not take a place at 127.0.0.1:%1: There is no table 9.").arg(port);
    QTRY_VERIFY(lost.lines.contains(said));
    QCOMPARE(lost.session->kind(), Session::Kind::None);
    QCOMPARE(lost.session->title(), QStringLiteral("Vexlo"));
    QVERIFY(!lost.session->loggedIn());
    QTRY_COMPARE(server.connectionCount(), 0);

    // A server that never answers the request: given up after the connect time.
    QTcpServer silent;
    QVERIFY(silent.listen(QHostAddress::LocalHost));
    Seated waiting(silent.serverPort(), Session::Place::Sit, 1, QStringLiteral("W"));
    QTRY_VERIFY(silent.hasPendingConnections());
    QTRY_COMPARE(waiting.session->title(), QStringLiteral("Vexlo"));
    QVERIFY(waiting.session->connected());
    waiting.session->connectTimedOut();
    QVERIFY(waiting.lines.last().endsWith(QStringLiteral("the server did not answer the request for a place.")));
    QVERIFY(!waiting.session->connected());
    QVERIFY(errors.isEmpty());
}

void TableSessionTests::aServerOfOneTablePlacesToo()
{
    const TDictn spell;
    const TargetList words;
    TServer server(&spell, &words);
    server.startListening(QStringLiteral("0"));
    const quint16 port = server.listeningPort();
    Seated host(port, Session::Place::Sit, 1, QStringLiteral("Host"));
    QTRY_VERIFY(host.session->loggedIn());
    QCOMPARE(host.session->slot(), 1);
    Seated spy(port, Session::Place::Watch, 1, QStringLiteral("Spy"));
    QTRY_VERIFY(spy.session->loggedIn());
    QCOMPARE(spy.session->slot(), 7);
    QCOMPARE(spy.session->title(), spy.title(1, port));
    QTRY_COMPARE(server.player(7).name, QByteArray("Spy"));
    QVERIFY(!server.player(2).connected);
    Seated more(port, Session::Place::NewTable, 0, QStringLiteral("More"));
    QTRY_VERIFY(more.lines.contains(
        QStringLiteral("Could not take a place at 127.0.0.1:%1: All 1 tables of this server are in use.").arg(port)));
}

QTEST_MAIN(TableSessionTests)
#include "tst_tablesession.moc"
