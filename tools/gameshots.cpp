// Plays a solo game in the main window and saves three pictures of it:
// round.png (a round running: pattern, typed letters, check marks, countdown),
// scores.png (the score panel with the bonus and first-finisher marks) and
// winner.png, each name with SUFFIX before ".png" when one is given. The game
// server of the process is seeded, so every run plays the same board; keys reach the window as key events, as a player's would.
// With "bots" it plays a solo game against three computer players instead, one
// of each speed, seated through File -> Add Computer Player, and saves
// bots-round.png (mid-round) and bots-scores.png. Their clock runs fast, so the
// round's minute passes in a second and a half.
//   gameshots OUTDIR [bots | SUFFIX]     (run it on a display: tools/gameshots.sh)
#include "computerplayer.h"
#include "computerseats.h"
#include "platform.h"
#include "targetlist.h"
#include "roundcontroller.h"
#include "seatscontroller.h"
#include "session.h"
#include "tchat.h"
#include "tdictn.h"
#include "tgamestart.h"
#include "tserver.h"
#include "tspylist.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>
#include <functional>

namespace {

// The praise picture shows: the whole list is done.
bool praised(const Tchat &chat)
{
    return !chat.findChild<QLabel *>(QStringLiteral("image_goodjob"))->isHidden();
}

bool waitFor(const std::function<bool()> &done, int ms = 5000)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    return true;
}

void key(QWidget *to, int k, const QString &text = {})
{
    QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier, text);
    QApplication::sendEvent(to, &press);
    QKeyEvent release(QEvent::KeyRelease, k, Qt::NoModifier, text);
    QApplication::sendEvent(to, &release);
}

QLineEdit *chatEntry(const Tchat &chat)
{
    return chat.findChild<QLineEdit *>(QStringLiteral("mychat"));
}

void typeWord(Tchat &chat, const QByteArray &word)
{
    for (char c : word)
        key(chatEntry(chat), Qt::Key_A + (c - 'a'), QString(QLatin1Char(c)));
}

bool fail(const char *what)
{
    std::fprintf(stderr, "gameshots: %s\n", what);
    return false;
}

// Appended to each picture's name ("round-scale2.png" for "-scale2").
QString suffix;

bool save(Tchat &chat, const QDir &out, const char *name)
{
    QApplication::processEvents();
    QString file = QLatin1String(name);
    file.insert(file.lastIndexOf(QLatin1Char('.')), suffix);
    const QString path = out.filePath(file);
    if (!chat.grab().save(path))
        return fail("cannot write a picture");
    std::printf("%s\n", qPrintable(path));
    return true;
}

bool play(Tchat &chat, TServer &server, Tgamestart &gamestart, const QDir &out)
{
    auto target = [&] { return server.board(server.round(), server.player(1).currentword).target; };
    auto finishPhase = [&] {
        const int phase = server.roundPhase();
        for (int i = 0; i < 1000 && server.timer1Active() && server.roundPhase() == phase; ++i)
            server.timer1Timer();
    };
    if (!waitFor([&] { return chat.session().loggedIn(); }))
        return fail("the window did not log in");
    chat.findChild<QPushButton *>(QStringLiteral("button_start"))->click();
    gamestart.edit_playtoscore->setValue(1);
    gamestart.edit_creationtime->setValue(60);
    gamestart.button_start->click();
    if (!waitFor([&] { return chat.round().model().inputOwner() == 1; }))
        return fail("the round did not start");

    // Four words, a pass, and three letters of the next word; 17 seconds gone.
    for (int n = 0; n < 4; ++n) {
        typeWord(chat, target());
        key(chatEntry(chat), Qt::Key_Return);
        if (!waitFor([&] { return chat.round().model().inputOwner() == 1; }))
            return fail("a word was not taken");
    }
    const int word = server.player(1).currentword;
    key(chatEntry(chat), Qt::Key_Space);
    if (!waitFor([&] { return server.player(1).currentword != word && chat.round().model().inputOwner() == 1; }))
        return fail("the pass was not taken");
    typeWord(chat, target().left(3));
    for (int i = 0; i < 17; ++i)
        chat.round().tick();
    if (!save(chat, out, "round.png"))
        return false;

    // The rest of the list, then the round is scored.
    key(chatEntry(chat), Qt::Key_0);
    while (!praised(chat)) {
        typeWord(chat, target());
        key(chatEntry(chat), Qt::Key_Return);
        if (!waitFor([&] { return chat.round().model().inputOwner() == 1 || praised(chat); }))
            return fail("a word was not taken");
    }
    finishPhase();
    if (!waitFor([&] { return !chat.findChild<QWidget *>(QStringLiteral("panel_scores"))->isHidden(); }))
        return fail("no scores");
    if (!save(chat, out, "scores.png"))
        return false;
    finishPhase();
    if (!waitFor([&] { return !chat.findChild<QWidget *>(QStringLiteral("panel_winner"))->isHidden(); }))
        return fail("no winner");
    return save(chat, out, "winner.png");
}

// The computer players' second in milliseconds: a 60-second round lasts 1.5 s.
constexpr int kBotSecondMs = 25;

bool playWithBots(Tchat &chat, TServer &server, Tgamestart &gamestart, const QDir &out)
{
    auto target = [&] { return server.board(server.round(), server.player(1).currentword).target; };
    if (!waitFor([&] { return chat.session().loggedIn() && chat.findChild<QAction *>(QStringLiteral("AddComputerPlayer1"))->isEnabled(); }))
        return fail("the window did not log in");
    chat.seats().computerPlayers().manager().setSecondLength(kBotSecondMs);
    chat.seats().computerPlayers().manager().setSeed(611);
    for (const char *speed : {"Slow1", "Normal1", "Fast1"}) {
        chat.findChild<QAction *>(QLatin1String(speed))->trigger();
        chat.findChild<QAction *>(QStringLiteral("AddComputerPlayer1"))->trigger();
    }
    if (!waitFor([&] { return server.player(4).connected && !server.player(4).name.isEmpty(); }))
        return fail("the computer players did not come");
    chat.findChild<QPushButton *>(QStringLiteral("button_start"))->click();
    gamestart.edit_playtoscore->setValue(1);
    gamestart.edit_creationtime->setValue(60);
    gamestart.button_start->click();
    if (!waitFor([&] { return chat.round().model().inputOwner() == 1; }))
        return fail("the round did not start");
    QElapsedTimer clock;
    clock.start();
    // The window's countdown follows the computer players' clock.
    int shown = 0;
    auto tick = [&](int upTo) {
        for (; shown < std::min<qint64>(upTo, clock.elapsed() / kBotSecondMs); ++shown)
            chat.round().tick();
    };

    // Three words and two letters of the next, while the fast player has five.
    for (int n = 0; n < 3; ++n) {
        typeWord(chat, target());
        key(chatEntry(chat), Qt::Key_Return);
        if (!waitFor([&] { return chat.round().model().inputOwner() == 1; }))
            return fail("a word was not taken");
    }
    typeWord(chat, target().left(2));
    if (!waitFor([&] { return server.player(4).filled >= 5; }))
        return fail("the fast computer player did not play");
    tick(59);
    if (!save(chat, out, "bots-round.png"))
        return false;

    // The rest of the list; then the minute runs out and the round is scored.
    key(chatEntry(chat), Qt::Key_0);
    while (!praised(chat)) {
        typeWord(chat, target());
        key(chatEntry(chat), Qt::Key_Return);
        if (!waitFor([&] { return chat.round().model().inputOwner() == 1 || praised(chat); }))
            return fail("a word was not taken");
    }
    waitFor([&] { return clock.elapsed() > 60 * kBotSecondMs; }, 60 * kBotSecondMs + 1000);
    for (int guard = 0; guard < 5 && chat.findChild<QWidget *>(QStringLiteral("panel_scores"))->isHidden(); ++guard) {
        const int phase = server.roundPhase();
        for (int i = 0; i < 1000 && server.timer1Active() && server.roundPhase() == phase; ++i)
            server.timer1Timer();
        waitFor([&] { return !chat.findChild<QWidget *>(QStringLiteral("panel_scores"))->isHidden(); }, 500);
    }
    if (chat.findChild<QWidget *>(QStringLiteral("panel_scores"))->isHidden())
        return fail("no scores");
    return save(chat, out, "bots-scores.png");
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vexlo"));
    const bool bots = argc == 3 && !std::strcmp(argv[2], "bots");
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: gameshots OUTDIR [bots | SUFFIX]\n");
        return 2;
    }
    if (argc == 3 && !bots)
        suffix = QString::fromLocal8Bit(argv[2]);
    const QDir out(QString::fromLocal8Bit(argv[1]));
    QTemporaryDir home; // a data folder of its own: no settings, the shipped tile sets
    qputenv("VEXLO_HOME", home.path().toLocal8Bit());

    Tchat chat;
    Tspylist spylist(&chat);
    Tgamestart gamestart(&chat);
    const TDictn spell;
    const TargetList words;
    TServer server(&spell, &words);
    server.random().setSeed(20240611);
    server.setSecondLength(3600 * 1000); // the round timer is driven here
    chat.attachWindows(&spylist, &gamestart, &server);
    chat.session().setPort(QStringLiteral("0"));
    chat.show();
    chatEntry(chat)->setFocus();
    const bool ok = waitFor([&] { return chat.session().isHost(); })
                    && (bots ? playWithBots(chat, server, gamestart, out) : play(chat, server, gamestart, out));
    server.shutdown();
    return ok ? 0 : 1;
}
