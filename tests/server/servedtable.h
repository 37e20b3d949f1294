#pragma once
// A game server of one table on a free port of this machine, with the word
// lists it plays with, and the raw clients joined to it over loopback.
#include "targetlist.h"
#include "tdictn.h"
#include "testclient.h"
#include "tserver.h"

#include <QTest>

#include <memory>
#include <vector>

struct ServedTable
{
    const TDictn spell;
    const TargetList words;
    TServer server{&spell, &words};
    std::vector<std::unique_ptr<TestClient>> clients;

    ServedTable() { server.startListening(QStringLiteral("0")); }

    // Connects a client and, when name is given, logs it in; returns it.
    TestClient &join(const QByteArray &name = {})
    {
        clients.push_back(std::make_unique<TestClient>(server.listeningPort()));
        TestClient &c = *clients.back();
        if (!name.isEmpty())
            c.login(name);
        return c;
    }
    // Waits until the server has handled everything queued.
    bool settle() { return QTest::qWaitFor([&] { return server.queueLength() == 0; }, 3000); }
};
