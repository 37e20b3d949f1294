// Time from launch to "You are Connected." in the chat of a solo window, built
// and shown as the game program builds and shows it.
//
//   bench_client_startup LAUNCH_NS
//
// LAUNCH_NS is the wall-clock time (nanoseconds since the epoch, as `date +%s%N`
// prints it) just before the program was started. Prints one line of name=value
// pairs and exits.
#include "targetlist.h"
#include "tchat.h"
#include "tdictn.h"
#include "tgamestart.h"
#include "tserver.h"
#include "tspylist.h"

#include <QApplication>
#include <QTextDocument>
#include <QTextEdit>
#include <QTimer>

#include <chrono>
#include <cstdio>
#include <cstdlib>

namespace {

double wallMsSince(long long epochNs)
{
    const auto now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                         std::chrono::system_clock::now().time_since_epoch())
                         .count();
    return double(now - epochNs) / 1e6;
}

} // namespace

int main(int argc, char *argv[])
{
    const long long launch = argc > 1 ? std::atoll(argv[1]) : 0;
    const double toMain = launch ? wallMsSince(launch) : 0;
    QApplication app(argc, argv);
    Tchat chat;
    Tspylist spylist(&chat);
    Tgamestart gamestart(&chat);
    const TDictn spell;
    const TargetList words;
    TServer server(&spell, &words);
    chat.attachWindows(&spylist, &gamestart, &server);
    const QTextEdit *view = chat.findChild<QTextEdit *>(QStringLiteral("mainchat"));
    QObject::connect(view->document(), &QTextDocument::contentsChanged, &app, [&] {
        if (view->toPlainText().contains(QStringLiteral("You are Connected."))) {
            std::printf("launch_to_main_ms=%.1f launch_to_connected_ms=%.1f\n", toMain, wallMsSince(launch));
            QTimer::singleShot(0, &app, &QApplication::quit);
        }
    });
    QTimer::singleShot(10000, &app, [] {
        std::puts("error=not connected within 10 s");
        std::exit(1);
    });
    chat.show();
    return QApplication::exec();
}
