// The session and the controllers without a window: messages fed through the
// session's queue, checked through the models, the signals and what goes out.
#include "chatcontroller.h"
#include "fixtures.h"
#include "preferences.h"
#include "roundcontroller.h"
#include "seatscontroller.h"
#include "session.h"

#include <QSignalSpy>

using namespace vexlo;

namespace {

// The client core as the window builds it, joined to a stand-in host.
struct Core
{
    FakeHost host;
    Preferences preferences;
    Session session;
    SeatsController seats{session, preferences};
    RoundController round{session, seats.model(), preferences.options()};
    ChatController chat{session, preferences, seats.model()};
    QStringList sounds;
    QStringList lines;

    explicit Core(int slot = 3)
    {
        session.addReceiver([this](const DecodedMessage &m) { seats.receive(m); });
        session.addReceiver([this](const DecodedMessage &m) { chat.receive(m); });
        session.addReceiver([this](const DecodedMessage &m) { round.receive(m); });
        chat.setSoundPlayer(std::make_unique<RecordingPlayer>(&sounds));
        QObject::connect(&round, &RoundController::sound, &chat, &ChatController::playSound);
        QObject::connect(&seats, &SeatsController::sound, &chat, &ChatController::playSound);
        QObject::connect(&round, &RoundController::line, &chat, &ChatController::sessionLine);
        QObject::connect(&seats, &SeatsController::line, &chat, &ChatController::sessionLine);
        QObject::connect(&chat, &ChatController::lineAdded, &chat, [this](const QString &l) { lines << l; });
        session.connectTo(QStringLiteral("Red"), QStringLiteral("127.0.0.1"), host.port());
        if (!QTest::qWaitFor([&] { return host.peer && session.connected(); }, 3000))
            qFatal("stand-in host not reached");
        feed("CMD_sendlogininfo+" + QByteArray::number(slot));
        host.next(); // the login
    }
    void feed(const QByteArray &text)
    {
        session.enqueue(text);
        session.tick();
    }
    // What went out since the last look, or "" when nothing did.
    QByteArray sent()
    {
        session.socket().Send(frame("MARK+"));
        const QByteArray first = host.next();
        if (first != "MARK+")
            host.next();
        return first == "MARK+" ? QByteArray() : first;
    }
    using Tiles = std::array<int, RoundModel::WordLength>;
};

} // namespace

class ControllerTests : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { env = std::make_unique<TestEnvironment>(); }
    void init() { env->errors.clear(); }

    void aRoundByMessagesAndKeys();
    void countdownAndItsSounds();
    void seatsWatchersAndRemoval();
    void chatPhrasesAndSounds();

private:
    std::unique_ptr<TestEnvironment> env;
};

void ControllerTests::aRoundByMessagesAndKeys()
{
    Core k(3);
    const RoundModel &m = k.round.model();
    QSignalSpy started(&k.round, &RoundController::gameStarted);
    k.feed("CMD_startgame+Red+2+60++");
    QCOMPARE(started.count(), 1);
    QCOMPARE(k.lines.last(), QStringLiteral("Red has started a game."));
    QVERIFY(m.gameRunning());
    k.feed("CMD_startround+1+");
    QCOMPARE(m.roundText(), QStringLiteral("Round: 1 of 2"));
    QVERIFY(k.round.countingDown());
    QVERIFY(!k.round.boardOpen());
    // Another seat's turn message still shows the pattern; the board opens for this seat.
    k.feed("CMD_nextplayer+3+1+c_a_t+");
    QCOMPARE(m.patternTiles(), (Core::Tiles{3, 0, 1, 0, 20}));
    QCOMPARE(m.answerTiles(), (Core::Tiles{0, 0, 0, 0, 0}));
    QCOMPARE(m.wordLabel(), 1);
    QVERIFY(k.round.boardOpen() && m.buttonsShown() && !m.chatMode());
    QCOMPARE(m.status(), QStringLiteral("Type a Word - Press ENTER to submit your word."));
    QCOMPARE(k.sounds.last(), QStringLiteral("turn"));

    // Keys: letters fill the answer row, Backspace blanks the last, Enter wants five.
    for (int key : {'C', 'H', 'A'})
        QVERIFY(k.round.key(key));
    QVERIFY(k.round.key(RoundController::KeyBackspace));
    QCOMPARE(m.answerTiles(), (Core::Tiles{3, 8, 0, 0, 0}));
    QVERIFY(k.round.key(RoundController::KeyEnter));
    QCOMPARE(m.status(), QStringLiteral("Invalid Word"));
    QCOMPARE(k.sent(), QByteArray());
    for (int key : {'E', 'A', 'T'})
        k.round.key(key);
    QVERIFY(k.round.key('X')); // a sixth letter is the board's, and changes nothing
    QCOMPARE(m.letterCount(), 5);
    k.round.key(RoundController::KeyEnter);
    QCOMPARE(k.sent(), QByteArray("CMD_myword+3+1+3+2+8+3+5+4+1+5+20"));
    QVERIFY(!k.round.boardOpen()); // until the server answers

    // Refused: auto erase blanks the word; accepted: a check mark and the next word.
    k.feed("CMD_invalid+3+2+");
    QCOMPARE(m.status(), QStringLiteral("Invalid Word"));
    QCOMPARE(m.answerTiles(), (Core::Tiles{0, 0, 0, 0, 0}));
    k.feed("CMD_newword+3+1+2+d_g__+");
    QVERIFY(m.checked(1) && !m.checked(2));
    QCOMPARE(m.wordLabel(), 2);
    QVERIFY(k.sounds.contains(QStringLiteral("goodword")));
    // Pass goes out as this seat's; Tab hands the keys to the chat and back.
    QVERIFY(k.round.key(' '));
    QCOMPARE(k.sent(), QByteArray("CMD_pass+3+"));
    QVERIFY(k.round.key(RoundController::KeyTab) && m.chatMode());
    QVERIFY(!k.round.key('A') && !k.round.takesKey('A') && k.round.takesKey(RoundController::KeyTab));
    k.round.key(RoundController::KeyTab);

    // The list complete: praise, empty rows, no word label, keys closed.
    k.feed("CMD_allfilled+3+2+");
    QVERIFY(m.praised() && m.checked(2) && !m.buttonsShown() && m.wordLabel() == 0);
    QCOMPARE(m.patternTiles(), (Core::Tiles{-1, -1, -1, -1, -1}));
    QVERIFY(!k.round.boardOpen());

    // Scores set the totals; a damaged report is reported and not shown.
    QSignalSpy shown(&k.round, &RoundController::scoresShown);
    k.feed("CMD_postscores+0+3+3+150");
    QCOMPARE(k.seats.model().total(3), QStringLiteral("150"));
    QCOMPARE(shown.count(), 1);
    k.feed("CMD_postscores+0+x+3+150");
    QCOMPARE(shown.count(), 1);
    QCOMPARE(env->errors.size(), 1);

    // The winner ends the game; this seat's own name records a win.
    k.feed("CMD_newplayerinfo+3+Red");
    QSignalSpy recorded(&k.round, &RoundController::gameRecorded);
    k.feed("CMD_winner+Red+");
    QCOMPARE(m.status(), QStringLiteral("Game Over!"));
    QVERIFY(!m.gameRunning());
    QCOMPARE(recorded.value(0).value(0).toString(), QStringLiteral("addtomine"));
}

void ControllerTests::countdownAndItsSounds()
{
    Core k(2);
    k.feed("CMD_startgame+Red+1+30++");
    k.feed("CMD_startround+1+");
    QCOMPARE(k.round.model().barStep(), 8);
    k.sounds.clear();
    for (int i = 0; i < 31; ++i)
        k.round.tick();
    QCOMPARE(k.round.model().secondsLeft(), 0);
    // At 20, 15 and each of the last ten seconds.
    QCOMPARE(k.sounds.count(QStringLiteral("tick")), 12);
    k.feed("CMD_alldone+");
    QVERIFY(!k.round.countingDown());
    QCOMPARE(k.round.model().status(), QStringLiteral("All players completed the list."));
}

void ControllerTests::seatsWatchersAndRemoval()
{
    Core k(4);
    SeatsModel &s = k.seats.model();
    // This seat takes the first column.
    QCOMPARE(s.column(1), 4);
    QSignalSpy watcher(&k.seats, &SeatsController::watcherArrived);
    k.feed("CMD_newplayerinfo+2+Blue");
    k.feed("CMD_existingplayers+8+Spy");
    QVERIFY(s.taken(2) && !s.taken(8));
    QCOMPARE(watcher.count(), 1);
    QCOMPARE(k.lines, strings({"Blue is Connected.", "Spy is Connected.", "Spy is spying."}));
    QVERIFY(k.seats.othersConnected());
    QCOMPARE(k.seats.opponents(), QStringList{QStringLiteral("Blue")});
    k.feed("CMD_justwatching+2+1+");
    QVERIFY(s.watching(2));
    QCOMPARE(k.lines.last(), QStringLiteral("Blue is just watching"));
    k.feed("CMD_playerdisconnected+2+Blue");
    k.feed("CMD_playerdisconnected+8+SPY");
    QVERIFY(!s.taken(2) && !s.watching(2) && s.watchers().isEmpty());
    QCOMPARE(k.lines.mid(4), strings({"Blue disconnected.", "SPY has left."}));

    // Only the host removes; anybody asks to watch.
    k.seats.remove(2);
    QCOMPARE(k.sent(), QByteArray());
    k.session.setHosting(true);
    k.seats.remove(2);
    QCOMPARE(k.sent(), QByteArray("CMD_kickhim+4+2+"));
    k.seats.toggleJustWatch();
    QCOMPARE(k.sent(), QByteArray("CMD_justwatch+4+1"));

    // Leaving the session puts the columns back and frees every seat.
    k.session.reset();
    QCOMPARE(s.column(1), 1);
    QCOMPARE(s.localSlot(), 0);
}

void ControllerTests::chatPhrasesAndSounds()
{
    Core k(5);
    QVERIFY(k.chat.send(QStringLiteral("hello")));
    QCOMPARE(k.sent(), QByteArray("CMD_chat+5+hello|clBlack"));
    k.chat.send(QStringLiteral("/me waves"));
    QCOMPARE(k.sent(), QByteArray("CMD_action+5+waves|clBlack"));
    k.chat.send(QStringLiteral("/quit"));
    QCOMPARE(k.sent(), QByteArray());
    k.chat.sendPhrase(1);
    k.chat.sendPhrase(2); // within 2 seconds: nothing
    QCOMPARE(k.sent(), QByteArray("CMD_action+5+says: Way To Go!|clBlack"));
    QVERIFY(!k.chat.phraseReady());
    k.chat.sendSound(13);
    k.chat.sendSound(4);
    QCOMPARE(k.sent(), QByteArray("CMD_playasound+5+wave4+"));

    // Chatter sounds are off until the settings say otherwise: a line instead.
    k.feed("CMD_newplayerinfo+2+Blue");
    k.lines.clear();
    k.feed("CMD_playasound+2+wave3+");
    k.feed("CMD_playasound+7+wave3+");
    k.feed("CMD_playasound+2+boom+");
    QCOMPARE(k.lines, QStringList{QStringLiteral("Blue: <Chatter Sound> Hello")});
    k.feed("CMD_chat+Blue chats: hi|clRed");
    QCOMPARE(k.lines.last(), QStringLiteral("Blue chats: hi"));

    // Not logged in: nothing goes and the entry keeps its text.
    Session alone;
    Preferences p;
    SeatsModel seats;
    ChatController c(alone, p, seats);
    QVERIFY(!c.send(QStringLiteral("hello")));
}

QTEST_MAIN(ControllerTests)
#include "tst_controllers.moc"
