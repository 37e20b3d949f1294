#pragma once
// The rules with their own small word lists and no sockets: slots join, send
// and leave by calling the rules, and what the rules answer is sorted into
// each slot's inbox as a server would send it. The round timer is driven by
// hand (tick), never by the clock.
#include "catalogue.h"
#include "errorreport.h"
#include "gamerules.h"
#include "targetlist.h"
#include "tdictn.h"

#include <algorithm>
#include <array>

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
    GameRules rules;
    std::array<QList<QByteArray>, kMaxSlots + 1> inbox; // what each slot was sent
    QList<Outgoing> notes;                              // everything but messages, in order

    GameTable(const QByteArray &image, const QByteArray &targets)
        : spell(image), words(targets), rules(&spell, &words) {}
    GameTable() : rules(nullptr, nullptr) {}

    // A new connection, logged in under name unless it is empty; its slot.
    int join(const QByteArray &name = {}, const QByteArray &version = vexlo::kGameVersion)
    {
        const int slot = rules.slotForNewcomer();
        if (slot > kMaxSlots)
            return 0;
        inbox[size_t(slot)].clear();
        rules.opened(slot);
        deliver();
        if (!name.isEmpty())
            send(slot, vexlo::msg::logininfo(slot, version, name));
        return slot;
    }
    // A message of slot's connection; one that is abandoned keeps what it answered.
    void send(int slot, const QByteArray &text)
    {
        vexlo::guarded([&] { rules.receive(slot, text); });
        deliver();
    }
    void leave(int slot)
    {
        rules.closed(slot);
        deliver();
    }
    void tick(int n = 1)
    {
        for (int i = 0; i < n; ++i) {
            rules.timer1Timer();
            deliver();
        }
    }
    // Ticks until the current phase is over.
    void finishPhase()
    {
        const int phase = rules.roundPhase();
        const int round = rules.round();
        for (int guard = 0; guard < 10000 && rules.timer1Active() && rules.roundPhase() == phase
                            && rules.round() == round;
             ++guard)
            tick();
    }
    QList<QByteArray> &got(int slot) { return inbox[size_t(slot)]; }
    QList<QByteArray> withPrefix(int slot, const QByteArray &prefix)
    {
        QList<QByteArray> out;
        for (const QByteArray &m : got(slot))
            if (m.startsWith(prefix))
                out << m;
        return out;
    }
    QByteArray pattern(int index) const { return rules.board(std::min(rules.round(), 20), index).pattern; }

private:
    // As the server does: messages to connected slots, a removal closes the
    // connection at once and its answer comes before the rest.
    void deliver()
    {
        for (const Outgoing &o : rules.takeOutbox()) {
            if (o.kind != Outgoing::Kind::Send) {
                notes << o;
                if (o.kind == Outgoing::Kind::Close)
                    leave(o.slot);
                continue;
            }
            for (int s = 1; s <= rules.highestSlot(); ++s)
                if ((o.slot == s || o.slot == Outgoing::kEveryone) && rules.player(s).connected)
                    inbox[size_t(s)] << o.text;
        }
    }
};
