// vexlo: the player's window. With no arguments it hosts a solo game; with three
// (name, host address, "true" to host) it hosts or joins a network game. The
// command line is described in app/usage/vexlo.txt (--help and the man page).
#include "desktop.h"
#include "platform.h"
#include "errorreport.h"
#include "targetlist.h"
#include "tabout.h"
#include "tallyfile.h"
#include "roundcontroller.h"
#include "tchat.h"
#include "tdictn.h"
#include "tdownload.h"
#include "tgamestart.h"
#include "thelp.h"
#include "tphrases.h"
#include "tserver.h"
#include "tspylist.h"
#include "ttallylist.h"
#include "vexlo-usage.h"

#include <QApplication>

#include <cstdio>
#include <cstring>

int main(int argc, char *argv[])
{
    // Answered before any window or display exists. Only as the one argument: a
    // player's name is any word.
    if (argc == 2 && (!std::strcmp(argv[1], "--help") || !std::strcmp(argv[1], "--version"))) {
        std::fputs(!std::strcmp(argv[1], "--help") ? usage::kHelp : usage::kVersion, stdout);
        return std::fflush(stdout) == 0 ? 0 : 1;
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vexlo"));
    // No display name: Qt would add " — Vexlo" to every window title, and the
    // titles ("Vexlo — solo", "Vexlo - Spys") already name the game.
    QApplication::setQuitOnLastWindowClosed(false);
    vexlo::setErrorReporter(vexlo::platform::showErrorBox);
    vexlo::platform::holdInstanceLock();

    // The windows in their order: the main window first, the game server last.
    Tchat chat(QApplication::arguments().mid(1));
    Tabout about(&chat);
    Tspylist spylist(&chat);
    Thelp help(&chat);
    Tgamestart gamestart(&chat);
    Tphrases phrases(&chat);
    Tdownload download(&chat);
    Ttallylist tallylist(vexlo::tally::tallyFilePath(vexlo::platform::dataFolder()), &chat);
    const TDictn spell;
    const TargetList words;
    TServer server(&spell, &words);
    // Quick games for tests, as for vexlo-server: VEXLO_SECOND_MS (1 to 1000)
    // shortens the second of the game this window hosts and of its countdown.
    if (const QByteArray ms = qgetenv("VEXLO_SECOND_MS"); !ms.isEmpty()) {
        bool ok = false;
        const int v = ms.toInt(&ok);
        if (ok && v >= 1 && v <= 1000) {
            server.setSecondLength(v);
            chat.round().setSecondLength(v);
        } else {
            vexlo::reportError(QStringLiteral("VEXLO_SECOND_MS takes a number from 1 to 1000, not ")
                               + QString::fromLocal8Bit(ms));
        }
    }
    chat.attachWindows(&spylist, &gamestart, &server);
    chat.attachAuxWindows({&about, &help, &phrases, &download, &tallylist});
    QObject::connect(&chat, &Tchat::closed, &app, [&] {
        server.shutdown();
        QApplication::quit();
    });
    if (const QString error = spell.loadError(); !error.isEmpty())
        vexlo::reportError(error);

    chat.show();
    return QApplication::exec();
}
