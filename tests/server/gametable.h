#pragma once
// A server with its own small word lists and bare clients, for game tests. The
// round timer is driven by hand (tick), never by the clock.
#include "catalogue.h"
#include "targetlist.h"
#include "tdictn.h"
#include "testclient.h"
#include "tserver.h"

#include <algorithm>
#include <memory>
#include <vector>

// A record image of the given words (upper-cased, sorted, 15-byte records).
inline QByteArray dictionaryImage(QList<QByteArray> words)
{
    for (QByteArray &w : words)
        w = w.toUpper().leftJustified(14, ' ');
    std::sort(words.begin(), words.end());
    QByteArray image;
    for (const QByteArray &w : words)
        image += '\x1e' + w;
    return image;
}

// The letters of a word as the client sends them.
inline QByteArray mywordOf(int seat, const QByteArray &word)
{
    std::array<int, 5> letters{};
    for (size_t i = 0; i < 5 && i < size_t(word.size()); ++i)
        letters[i] = word[qsizetype(i)] - 'a' + 1;
    return vexlo::msg::myword(seat, letters);
}

struct GameTable
{
    TDictn spell;
    TargetList words;
    TServer server;
    std::vector<std::unique_ptr<TestClient>> clients;

    GameTable(const QByteArray &image, const QByteArray &targets)
        : spell(image), words(targets), server(&spell, &words)
    {
        server.setSecondLength(3600 * 1000);
        server.startListening(QStringLiteral("0"));
    }

    TestClient &join(const QByteArray &name = {})
    {
        clients.push_back(std::make_unique<TestClient>(server.listeningPort()));
        TestClient &c = *clients.back();
        if (!name.isEmpty()) {
            const int slot = c.login(name);
            (void)c.waitFor(vexlo::msg::newplayerinfo(slot, name));
        } else {
            (void)c.waitForSlot();
        }
        return c;
    }
    // The latest client given this slot.
    TestClient &client(int slot)
    {
        for (auto it = clients.rbegin(); it != clients.rend(); ++it)
            if ((*it)->slot == slot)
                return **it;
        return *clients.front();
    }
    bool settle() { return QTest::qWaitFor([&] { return server.queueLength() == 0; }, 3000); }
    void tick(int n = 1)
    {
        for (int i = 0; i < n; ++i)
            server.timer1Timer();
    }
    // Ticks until the current phase is over.
    void finishPhase()
    {
        const int phase = server.roundPhase();
        const int round = server.round();
        for (int guard = 0; guard < 10000 && server.timer1Active() && server.roundPhase() == phase
                            && server.round() == round;
             ++guard)
            server.timer1Timer();
    }
    // Sends and waits until the server has handled it.
    bool play(TestClient &c, const QByteArray &text)
    {
        const quint64 before = server.messagesTaken();
        c.send(text);
        return QTest::qWaitFor([&] { return server.messagesTaken() > before; }, 3000);
    }
};
