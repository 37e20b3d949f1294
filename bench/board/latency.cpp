// The board's response times in a solo game on a real display, and the CPU the
// process spends while a round runs untouched. The game server of the process
// is seeded and its round timer driven here, so rounds last as long as needed.
#include "targetlist.h"
#include "roundcontroller.h"
#include "session.h"
#include "tchat.h"
#include "tdictn.h"
#include "tgamestart.h"
#include "tserver.h"
#include "tspylist.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

bool waitFor(const std::function<bool()> &done, int ms = 5000)
{
    QElapsedTimer t;
    t.start();
    while (!done()) {
        if (t.elapsed() > ms)
            return false;
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

void press(QWidget *to, int k, const QString &text = {})
{
    QKeyEvent down(QEvent::KeyPress, k, Qt::NoModifier, text);
    QApplication::sendEvent(to, &down);
    QKeyEvent up(QEvent::KeyRelease, k, Qt::NoModifier, text);
    QApplication::sendEvent(to, &up);
}

int letterKey(char c)
{
    return Qt::Key_A + (c - 'a');
}

double cpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + double(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

void report(const char *what, std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    auto at = [&](double q) { return v[std::min(v.size() - 1, size_t(q * double(v.size())))]; };
    std::printf("%-44s p50 %8.3f ms   p99 %8.3f ms   (%zu samples)\n", what, at(0.5), at(0.99), v.size());
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    Tchat chat;
    Tspylist spylist(&chat);
    Tgamestart gamestart(&chat);
    const TDictn spell;
    const TargetList words;
    TServer server(&spell, &words);
    server.random().setSeed(31337);
    server.setSecondLength(3600 * 1000);
    chat.attachWindows(&spylist, &gamestart, &server);
    chat.session().setPort(QStringLiteral("0"));
    chat.show();
    if (!waitFor([&] { return chat.session().loggedIn(); }))
        return 1;
    chat.findChild<QPushButton *>(QStringLiteral("button_start"))->click();
    gamestart.edit_playtoscore->setValue(10);
    gamestart.edit_creationtime->setValue(120);
    gamestart.button_start->click();
    if (!waitFor([&] { return chat.round().model().inputOwner() == 1; }))
        return 1;

    // CPU while a round runs: ten seconds of the real countdown, nobody typing.
    const double c0 = cpuSeconds();
    QElapsedTimer wall;
    wall.start();
    {
        QEventLoop loop;
        QTimer::singleShot(10000, &loop, &QEventLoop::quit);
        loop.exec();
    }
    const double cpu = (cpuSeconds() - c0) / (double(wall.elapsed()) / 1000.0) * 100.0;

    QLineEdit *entry = chat.findChild<QLineEdit *>(QStringLiteral("mychat"));
    // Key press to tile drawn: the key event, then the repaint it causes.
    std::vector<double> keyTimes;
    const QLabel *praise = chat.findChild<QLabel *>(QStringLiteral("image_goodjob"));
    QLabel *tiles[6] = {nullptr};
    for (int i = 1; i <= 5; ++i)
        tiles[i] = chat.findChild<QLabel *>(QStringLiteral("image_word") + QString::number(i));
    for (int i = 0; i < 2000; ++i) {
        if (chat.round().model().letterCount() == 5)
            chat.round().clearWord();
        QLabel *tile = tiles[chat.round().model().letterCount() + 1];
        QApplication::processEvents();
        QElapsedTimer t;
        t.start();
        press(entry, Qt::Key_A + i % 26);
        tile->repaint(); // the drawing a player sees
        keyTimes.push_back(double(t.nsecsElapsed()) / 1e6);
    }
    chat.round().clearWord();

    // Enter to "Create Another Word": the word goes to the server and back.
    std::vector<double> enterTimes;
    while (enterTimes.size() < 300 && server.gameInProgress()) {
        const QByteArray target = server.board(server.round(), server.player(1).currentword).target;
        for (char c : target)
            press(entry, letterKey(c), QString(QLatin1Char(c)));
        chat.findChild<QLabel *>(QStringLiteral("label_status"))->clear();
        QElapsedTimer t;
        t.start();
        press(entry, Qt::Key_Return);
        if (!waitFor([&] { return chat.round().model().inputOwner() == 1 || !praise->isHidden(); }))
            return 1;
        if (chat.findChild<QLabel *>(QStringLiteral("label_status"))->text() == QLatin1String("Create Another Word")) {
            chat.findChild<QLabel *>(QStringLiteral("label_status"))->repaint();
            enterTimes.push_back(double(t.nsecsElapsed()) / 1e6);
            continue;
        }
        // The list is complete: score the round and start the next.
        for (int phase : {3, 2}) {
            for (int k = 0; k < 1000 && server.roundPhase() == phase && server.timer1Active(); ++k)
                server.timer1Timer();
        }
        if (!waitFor([&] { return chat.round().model().inputOwner() == 1 || !chat.findChild<QWidget *>(QStringLiteral("panel_winner"))->isHidden(); }))
            return 1;
        if (!chat.findChild<QWidget *>(QStringLiteral("panel_winner"))->isHidden())
            break;
    }

    report("key press to letter tile drawn", keyTimes);
    report("Enter to \"Create Another Word\" (loopback)", enterTimes);
    std::printf("%-44s %.2f %% of a core over %.1f s\n", "CPU while a round runs (window + server)", cpu,
                double(wall.elapsed()) / 1000.0);
    server.shutdown();
    return 0;
}
