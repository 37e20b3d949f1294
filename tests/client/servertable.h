#pragma once
// The game server of a hosting program, with the windows that host and join it
// over loopback.
#include "fixtures.h"
#include "targetlist.h"
#include "tdictn.h"
#include "tserver.h"

#include <memory>
#include <vector>

struct ServerTable
{
    const TDictn spell;
    const TargetList words;
    TServer server{&spell, &words};
    std::vector<std::unique_ptr<Window>> windows;

    Window &host(const QStringList &args = {})
    {
        windows.push_back(std::make_unique<Window>(args, &server));
        Window &w = *windows.back();
        w.chat.session().setPort(QStringLiteral("0"));
        w.chat.session().setLobbyPort(QStringLiteral("1")); // nothing listens there
        w.chat.start();
        return w;
    }
    Window &join(const QString &name)
    {
        windows.push_back(std::make_unique<Window>());
        Window &w = *windows.back();
        w.chat.session().connectTo(name, QStringLiteral("127.0.0.1"), QString::number(server.listeningPort()));
        return w;
    }
};
