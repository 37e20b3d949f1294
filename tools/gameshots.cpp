// Plays a solo game in the main window and saves three pictures of it:
// round.png (a round running: pattern, typed letters, check marks, countdown),
// scores.png (the score panel with the bonus and first-finisher marks) and
// winner.png. The game server of the process is seeded, so every run plays the
// same board; keys reach the window as key events, as a player's would.
//   gameshots OUTDIR      (run it on a display: tools/gameshots.sh)
#include "platform.h"
#include "targetlist.h"
#include "tchat.h"
#include "tdictn.h"
#include "tgamestart.h"
#include "tserver.h"
#include "tspylist.h"

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
#include <functional>

namespace {

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

bool save(Tchat &chat, const QDir &out, const char *name)
{
    QApplication::processEvents();
    const QString path = out.filePath(QLatin1String(name));
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
    if (!waitFor([&] { return chat.loggedin; }))
        return fail("the window did not log in");
    chat.button_start->click();
    gamestart.edit_playtoscore->setValue(1);
    gamestart.edit_creationtime->setValue(60);
    gamestart.button_start->click();
    if (!waitFor([&] { return chat.roundModel.inputOwner() == 1; }))
        return fail("the round did not start");

    // Four words, a pass, and three letters of the next word; 17 seconds gone.
    for (int n = 0; n < 4; ++n) {
        typeWord(chat, target());
        key(chatEntry(chat), Qt::Key_Return);
        if (!waitFor([&] { return chat.roundModel.inputOwner() == 1; }))
            return fail("a word was not taken");
    }
    const int word = server.player(1).currentword;
    key(chatEntry(chat), Qt::Key_Space);
    if (!waitFor([&] { return server.player(1).currentword != word && chat.roundModel.inputOwner() == 1; }))
        return fail("the pass was not taken");
    typeWord(chat, target().left(3));
    for (int i = 0; i < 17; ++i)
        chat.turntimeTimer();
    if (!save(chat, out, "round.png"))
        return false;

    // The rest of the list, then the round is scored.
    key(chatEntry(chat), Qt::Key_0);
    while (chat.image_goodjob->isHidden()) {
        typeWord(chat, target());
        key(chatEntry(chat), Qt::Key_Return);
        if (!waitFor([&] { return chat.roundModel.inputOwner() == 1 || !chat.image_goodjob->isHidden(); }))
            return fail("a word was not taken");
    }
    finishPhase();
    if (!waitFor([&] { return !chat.panel_scores->isHidden(); }))
        return fail("no scores");
    if (!save(chat, out, "scores.png"))
        return false;
    finishPhase();
    if (!waitFor([&] { return !chat.panel_winner->isHidden(); }))
        return fail("no winner");
    return save(chat, out, "winner.png");
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vexlo"));
    if (argc != 2) {
        std::fprintf(stderr, "usage: gameshots OUTDIR\n");
        return 2;
    }
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
    chat.gameport = QStringLiteral("0");
    chat.show();
    chatEntry(chat)->setFocus();
    const bool ok = waitFor([&] { return chat.ishost; }) && play(chat, server, gamestart, out);
    server.shutdown();
    return ok ? 0 : 1;
}
