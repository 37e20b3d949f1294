// The session and the controllers without a window: messages fed through the
// session's queue, checked through the models, the signals and what goes out.
#include "core.h"

#include <QSignalSpy>

using namespace vexlo;

class ControllerTests : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { env = std::make_unique<TestEnvironment>(); }
    void init() { env->errors.clear(); }

    void aRoundByMessagesAndKeys();
    void countdownAndItsSounds();
    void seatsWatchersAndRemoval();
    void arrivalsDeparturesAndJustWatching();
    void chatPhrasesAndSounds();
    void chatWhatGoesOutAndChatterSounds();

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

void ControllerTests::arrivalsDeparturesAndJustWatching()
{
    Core k(4);
    SeatsModel &s = k.seats.model();
    QSignalSpy watcher(&k.seats, &SeatsController::watcherArrived);
    k.sounds.clear();
    k.feed("CMD_newplayerinfo+4+Red");
    k.feed("CMD_existingplayers+1+Host");
    k.feed("CMD_existingplayers+2+"); // not logged in yet
    k.feed("CMD_newplayerinfo+7+Spy+Co");
    QCOMPARE(k.lines, strings({"You are Connected.", "Host is Connected.", " is Connected.", "Spy+Co is Connected.",
                               "Spy+Co is spying."}));
    QCOMPARE(s.name(1), QStringLiteral("Host"));
    QVERIFY(s.taken(2) && s.name(2).isEmpty() && !s.taken(3));
    QCOMPARE(watcher.value(0), (QVariantList{7, QStringLiteral("Spy+Co")}));
    QCOMPARE(k.sounds, QStringList(4, QStringLiteral("entered")));
    k.preferences.togglePlaySounds(); // sounds off: nothing plays
    k.feed("CMD_newplayerinfo+5+Quiet");
    QCOMPARE(k.sounds.size(), 4);
    k.preferences.togglePlaySounds();

    // Just watching: the menu sends; only the server's answer marks the seat.
    k.seats.toggleJustWatch();
    QCOMPARE(k.sent(), QByteArray("CMD_justwatch+4+1"));
    QVERIFY(!s.localWatching());
    k.feed("CMD_justwatching+4+1");
    QVERIFY(s.localWatching() && s.watching(4));
    QCOMPARE(k.lines.last(), QStringLiteral("Red is just watching"));
    k.seats.toggleJustWatch();
    QCOMPARE(k.sent(), QByteArray("CMD_justwatch+4+2"));
    k.feed("CMD_justwatching+4+2");
    QVERIFY(!s.localWatching() && !s.watching(4));
    QCOMPARE(k.lines.last(), QStringLiteral("Red is now playing again"));
    // Another seat's mark leaves this player's alone; slot 8 is ignored.
    k.feed("CMD_justwatching+2+1");
    QVERIFY(!s.localWatching() && s.watching(2));
    const qsizetype before = k.lines.size();
    k.feed("CMD_justwatching+8+1");
    QCOMPARE(k.lines.size(), before);

    // Departures: said with the shown name, the total kept, a free seat quiet.
    s.setTotal(2, QStringLiteral("35"));
    k.lines.clear();
    k.feed("CMD_newplayerinfo+2+Blue");
    k.lines.clear();
    k.feed("CMD_playerdisconnected+2+SomethingElse");
    QCOMPARE(k.lines, QStringList{QStringLiteral("Blue disconnected.")});
    QVERIFY(!s.taken(2) && !s.watching(2));
    QCOMPARE(s.total(2), QStringLiteral("35"));
    k.feed("CMD_playerdisconnected+2+Blue"); // already free: no line
    k.feed("CMD_playerdisconnected+9+Spy");  // not a watcher here
    k.feed("CMD_newplayerinfo+6+Krazy");      // named as the seat's own hint
    k.lines.removeLast();
    k.feed("CMD_playerdisconnected+6+Krazy"); // leaves unsaid
    QCOMPARE(k.lines.size(), 1);
    QVERIFY(!s.taken(6));
    k.feed("CMD_playerdisconnected+7+SPY+CO"); // compared without letter case
    QCOMPARE(k.lines.last(), QStringLiteral("SPY+CO has left."));
    QVERIFY(s.watchers().isEmpty());
    QVERIFY(env->errors.isEmpty());

    // A watcher's own arrival, and it cannot just-watch.
    Core spy(7, QStringLiteral("Eve"));
    spy.feed("CMD_newplayerinfo+7+Eve");
    QCOMPARE(spy.lines, strings({"You are Connected.", "You are spying."}));
    spy.seats.toggleJustWatch();
    QCOMPARE(spy.sent(), QByteArray());
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

void ControllerTests::chatWhatGoesOutAndChatterSounds()
{
    Core k(4);
    k.chat.send(QStringLiteral("hi + there"));
    QCOMPARE(k.sent(), QByteArray("CMD_chat+4+hi + there|clBlack"));
    k.chat.send(QStringLiteral("/meow"));
    QCOMPARE(k.sent(), QByteArray("CMD_action+4+w|clBlack"));
    k.chat.send(QString());
    QCOMPARE(k.sent(), QByteArray());
    // Outside Latin-1 and the terminator character go out as "?".
    k.chat.send(QString::fromUtf8("café ÿ € ok"));
    QCOMPARE(k.sent(), QByteArray("CMD_chat+4+caf\xe9 ? ? ok|clBlack"));

    // Phrases: "/me " makes an action of the rest; the gate holds for 2 seconds.
    QCOMPARE(k.chat.phraseGate().interval(), 2000);
    QStringList phrases = k.preferences.phrases();
    phrases[2] = QStringLiteral("/me cheers");
    phrases[3] = QStringLiteral("/mecheers");
    k.preferences.setPhrases(phrases);
    k.chat.sendPhrase(3);
    QCOMPARE(k.sent(), QByteArray("CMD_action+4+cheers|clBlack"));
    QVERIFY(k.chat.phraseGate().isActive());
    k.chat.reopenPhrases();
    k.chat.sendPhrase(4);
    QCOMPARE(k.sent(), QByteArray("CMD_action+4+says: /mecheers|clBlack"));

    // Sounds: <Cancel> sends nothing, a watcher sends none.
    k.chat.sendSound(0);
    QCOMPARE(k.sent(), QByteArray());
    Core spy(8);
    spy.chat.sendSound(1);
    QCOMPARE(spy.sent(), QByteArray());

    // Chatter sounds off: a line naming the sound; unknown seats and sounds write nothing.
    k.feed("CMD_newplayerinfo+2+Blue");
    k.lines.clear();
    k.sounds.clear();
    for (const char *m : {"CMD_playasound+2+wave6+", "CMD_playasound+9+wave6+", "CMD_playasound+2+wave13+",
                          "CMD_playasound+x+wave1+", "CMD_playasound+2+Cancel1+"})
        k.feed(m);
    QCOMPARE(k.lines, QStringList{QStringLiteral("Blue: <Chatter Sound> Snoring")});
    QVERIFY(k.sounds.isEmpty() && env->errors.isEmpty());
    // On: the sound plays even with the program's sounds off, and nothing is written.
    k.preferences.toggleChatterSounds();
    k.preferences.togglePlaySounds();
    k.feed("CMD_playasound+2+wave6+");
    QCOMPARE(k.sounds, QStringList{QStringLiteral("wave6")});
    QCOMPARE(k.lines.size(), 1);
    k.chat.playSound(QStringLiteral("entered"));
    QCOMPARE(k.sounds.size(), 1);
    // Every sound the program names is carried in it.
    for (const char *name : {"entered", "turn", "turnnew", "clickletter", "backspace", "clear", "pass", "invalid",
                             "goodword", "allfilled", "tick", "timeup", "postscores", "winner", "Wave1", "wave12"})
        QVERIFY2(!soundResource(QLatin1String(name)).isEmpty(), name);
    QVERIFY(soundResource(QStringLiteral("wave13")).isEmpty());
}

int runControllerTests(int argc, char **argv)
{
    ControllerTests t;
    return QTest::qExec(&t, argc, argv);
}
#include "tst_controllers.moc"
