// vexlo: the player's window. With no arguments it hosts a solo game; with three
// (name, host address, "true" to host) it hosts or joins a network game.
#include "platform.h"
#include "errorreport.h"
#include "targetlist.h"
#include "tchat.h"
#include "tdictn.h"
#include "tgamestart.h"
#include "tserver.h"
#include "tspylist.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vexlo"));
    QApplication::setApplicationDisplayName(QStringLiteral("Vexlo"));
    QApplication::setQuitOnLastWindowClosed(false);
    vexlo::setErrorReporter(vexlo::platform::showErrorBox);
    vexlo::platform::holdInstanceLock();

    // The windows in their order: the main window first, the game server last.
    Tchat chat(QApplication::arguments().mid(1));
    Tspylist spylist(&chat);
    Tgamestart gamestart(&chat);
    const TDictn spell;
    const TargetList words;
    TServer server(&spell, &words);
    chat.attachWindows(&spylist, &gamestart, &server);
    QObject::connect(&chat, &Tchat::closed, &app, [&] {
        server.shutdown();
        QApplication::quit();
    });
    if (const QString error = spell.loadError(); !error.isEmpty())
        vexlo::reportError(error);

    chat.show();
    return QApplication::exec();
}
