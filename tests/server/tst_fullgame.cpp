// A whole game of two rounds against the vexlo-server program over loopback,
// checking one seat's whole conversation.
#include "catalogue.h"
#include "gametable.h"
#include "testclient.h"
#include "tserver.h"

#include <QProcess>
#include <QTest>

using namespace vexlo;

namespace {

constexpr quint32 kSeed = 4242;

QList<QByteArray> fiveLetterWords(const TDictn &spell)
{
    QList<QByteArray> out;
    for (qsizetype i = 0; i < spell.recordCount(); ++i) {
        const QByteArray w = spell.recordWord(i);
        if (w.size() == 5)
            out << w.toLower();
    }
    return out;
}

bool fits(const QByteArray &word, const QByteArray &pattern)
{
    for (int k = 0; k < 5; ++k)
        if (pattern[k] != '_' && pattern[k] != word[k])
            return false;
    return true;
}

// Another dictionary word that fits the pattern, or the target when none does.
QByteArray otherWord(const QList<QByteArray> &words, const tword &w)
{
    for (const QByteArray &candidate : words)
        if (candidate != w.target && fits(candidate, w.pattern))
            return candidate;
    return w.target;
}

} // namespace

class FullGameTests : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void twoRoundsAgainstTheServerProgram();
    void serverProgramRefusesBadArguments();
};

void FullGameTests::twoRoundsAgainstTheServerProgram()
{
    QProcess server;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VEXLO_SECOND_MS"), QStringLiteral("150"));
    server.setProcessEnvironment(env);
    server.start(QStringLiteral(VEXLO_SERVER_BIN),
                 {QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--seed"), QString::number(kSeed)});
    QVERIFY(server.waitForStarted());
    QVERIFY(server.waitForReadyRead(5000));
    const QByteArray line = server.readLine();
    QVERIFY2(line.startsWith("listening on port ") && line.endsWith('\n'), line.constData());
    const auto port = static_cast<quint16>(line.mid(18).trimmed().toUInt());
    QVERIFY(port != 0);

    // The same seed draws the same boards here.
    const TDictn spell;
    const TargetList targets;
    GameRules reference(&spell, &targets);
    reference.random().setSeed(kSeed);
    reference.setboards();
    const QList<QByteArray> words = fiveLetterWords(spell);

    TestClient red(port);
    QCOMPARE(red.login("Red"), 1);
    QVERIFY(red.waitFor("CMD_newplayerinfo+1+Red"));
    TestClient blue(port);
    QCOMPARE(blue.login("Blue"), 2);
    QVERIFY(red.waitFor("CMD_newplayerinfo+2+Blue"));
    red.send("CMD_startgame+Red+2+1+");

    QList<QByteArray> expected = {"CMD_sendlogininfo+2", "CMD_newplayerinfo+2+Blue", "CMD_existingplayers+1+Red",
                                  "CMD_startgame+Red+2+1++"};
    int blueTotal = 0;
    for (int round = 1; round <= 2; ++round) {
        auto word = [&](int i) { return reference.board(round, i); };
        expected << msg::startround(round) << msg::nextplayer(2, 1, word(1).pattern);
        QVERIFY(blue.waitFor(msg::nextplayer(2, 1, word(1).pattern)));
        QVERIFY(red.waitFor(msg::nextplayer(1, 1, word(1).pattern)));
        // Red passes; Blue gives the target, then another word that fits.
        red.send(msg::pass(1));
        QVERIFY(red.waitFor(msg::newword(1, 0, 2, word(2).pattern)));
        blue.send(mywordOf(2, word(1).target));
        expected << msg::hiscount(2, 1) << msg::newword(2, 1, 2, word(2).pattern);
        QVERIFY(blue.waitFor(msg::newword(2, 1, 2, word(2).pattern)));
        const QByteArray second = otherWord(words, word(2));
        blue.send(mywordOf(2, second));
        expected << msg::hiscount(2, 2) << msg::newword(2, 2, 3, word(3).pattern) << msg::timeup(2);

        QByteArray report;
        int points = 0;
        for (int seat = 1; seat <= 6; ++seat) {
            for (int i = 1; i <= 10; ++i) {
                if (seat == 2 && i == 1) {
                    report += msg::scoreEntry(2, ScoreKind::Exact, word(1).target);
                    points += 10;
                } else if (seat == 2 && i == 2) {
                    const bool exact = second == word(2).target;
                    report += msg::scoreEntry(2, exact ? ScoreKind::Exact : ScoreKind::Other, second);
                    points += exact ? 10 : 5;
                } else {
                    report += msg::scoreEntry(seat, ScoreKind::Other, word(i).pattern);
                }
            }
            if (seat == 2) {
                blueTotal += points;
                report += msg::scoreEntry(2, ScoreKind::Points, QByteArray::number(points));
            }
            report += msg::scoreEntry(seat, ScoreKind::Total, QByteArray::number(seat == 2 ? blueTotal : 0));
        }
        for (int i = 1; i <= 10; ++i)
            report += msg::scoreEntry(0, ScoreKind::Target, word(i).target);
        expected << msg::postscores(0, report);
        QVERIFY(blue.waitFor(msg::postscores(0, report), 10000));
    }
    expected << msg::winner("Blue");
    QVERIFY(blue.waitFor("CMD_winner+Blue+", 10000));
    QVERIFY(red.waitFor("CMD_winner+Blue+"));
    QCOMPARE(blue.got, expected);
    // The operator's log names the winner.
    QByteArray log;
    QTRY_VERIFY((log += server.readAllStandardError()).contains(" game won by \"Blue\"\n"));

    server.terminate();
    QVERIFY(server.waitForFinished(5000));
    QCOMPARE(server.exitStatus(), QProcess::NormalExit);
    QCOMPARE(server.exitCode(), 0);
    QTRY_VERIFY(red.closed && blue.closed);
}

void FullGameTests::serverProgramRefusesBadArguments()
{
    struct Case
    {
        QStringList args;
        int code;
        QByteArray err;
    };
    const QList<Case> cases = {
        {{QStringLiteral("--port"), QStringLiteral("70000")}, 2, "--port takes a number from 0 to 65535"},
        {{QStringLiteral("--port"), QStringLiteral("-1")}, 2, "--port takes a number"},
        {{QStringLiteral("--seed"), QStringLiteral("4294967296")}, 2, "--seed takes a number"},
        {{QStringLiteral("--seed")}, 2, "missing value after"},
        {{QStringLiteral("--colour")}, 2, "unknown argument"},
        {{QStringLiteral("--bind"), QStringLiteral("localhost")}, 2, "--bind takes an IPv4 or IPv6 address"},
        {{QStringLiteral("--bind"), QStringLiteral("127.0.0.256")}, 2, "--bind takes an IPv4 or IPv6 address"},
    };
    for (const Case &c : cases) {
        QProcess p;
        p.start(QStringLiteral(VEXLO_SERVER_BIN), c.args);
        QVERIFY(p.waitForFinished(5000));
        QCOMPARE(p.exitCode(), c.code);
        QVERIFY2(p.readAllStandardError().contains(c.err), qPrintable(c.args.join(QLatin1Char(' '))));
        QVERIFY(p.readAllStandardOutput().isEmpty());
    }
    QProcess help;
    help.start(QStringLiteral(VEXLO_SERVER_BIN), {QStringLiteral("--help")});
    QVERIFY(help.waitForFinished(5000));
    QCOMPARE(help.exitCode(), 0);
    const QByteArray text = help.readAllStandardOutput();
    QVERIFY(text.contains("--port N") && text.contains("--seed S"));

    // A port that is taken: the bind error, exit 1.
    TServer holder;
    holder.startListening(QStringLiteral("0"));
    QProcess busy;
    busy.start(QStringLiteral(VEXLO_SERVER_BIN), {QStringLiteral("--port"), QString::number(holder.listeningPort())});
    QVERIFY(busy.waitForFinished(5000));
    QCOMPARE(busy.exitCode(), 1);
    QCOMPARE(busy.readAllStandardError(), QByteArray("Listen - Error Binding Socket\n"));
}

QTEST_GUILESS_MAIN(FullGameTests)
#include "tst_fullgame.moc"
