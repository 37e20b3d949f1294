// Several tables of one server on hostile input: connections placed, moved to
// a table they ask for, watching, opening and leaving tables, and game messages
// to each table's rules, with the round second ticking; every lobby summary
// goes through the lobby messages and back. The input is a list of 0xFF-ended
// steps: an operation byte, a selector byte, then the text of the step.
#include "gamerules.h"
#include "lobby.h"
#include "message.h"
#include "tablelobby.h"

#include <QByteArray>
#include <QList>

#include <cstdint>
#include <cstdlib>
#include <map>
#include <stdexcept>

namespace {

using Place = TableLobby::Place;

void check(bool ok)
{
    if (!ok)
        std::abort();
}

// The slot maps and the rules agree, and a summary survives the wire.
void checkTables(const TableLobby &lobby, const std::map<quint64, Place> &where)
{
    int live = 0;
    for (const auto &[number, t] : lobby.tables()) {
        if (t->ended)
            continue;
        ++live;
        int seated = 0;
        int watchers = 0;
        for (int s = 1; s <= kMaxSlots; ++s) {
            const quint64 c = t->occupant[size_t(s)];
            check((c != 0) == t->rules.player(s).connected);
            if (c == 0)
                continue;
            (s <= kSeatCount ? seated : watchers) += 1;
            const auto it = where.find(c);
            check(it != where.end() && it->second.table == number && it->second.slot == s);
        }
        check(seated == t->seated && watchers == t->watchers && seated + watchers > 0);
        const vexlo::TableInfo info = lobby.info(*t);
        vexlo::TableDirectory directory;
        check(directory.apply(vexlo::msg::tablelist(1, lobby.most())));
        for (const QByteArray &m : vexlo::msg::tableDescription(info))
            check(directory.apply(m));
        check(directory.tables().value(number) == info);
    }
    check(live == lobby.tableCount() && live <= lobby.most());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    TableLobby lobby(4);
    lobby.setSeed(7);
    std::map<quint64, Place> where; // connections with a place
    quint64 next = 0;
    vexlo::TableDirectory client; // a client fed whatever the input says

    auto nth = [&](int k) -> std::map<quint64, Place>::iterator {
        if (where.empty())
            return where.end();
        auto it = where.begin();
        std::advance(it, k % int(where.size()));
        return it;
    };
    // Carries out a table's answers as the server does.
    auto settle = [&](int number) {
        LobbyTable *t = lobby.table(number);
        if (!t)
            return;
        for (const Outgoing &o : t->rules.takeOutbox()) {
            if (o.kind == Outgoing::Kind::Arrived)
                lobby.setLoggedIn(number, o.slot, true);
            else if (o.kind == Outgoing::Kind::GameWon)
                lobby.setGameOver(number, true);
            else if (o.kind == Outgoing::Kind::GameStarted)
                lobby.setGameOver(number, false);
            else if (o.kind == Outgoing::Kind::Close)
                for (auto it = where.begin(); it != where.end(); ++it)
                    if (it->second.table == number && it->second.slot == o.slot) {
                        lobby.leave(number, o.slot);
                        where.erase(it);
                        break;
                    }
        }
        lobby.refresh(number);
    };

    for (const QByteArray &step : input.split('\xff')) {
        if (step.size() < 2)
            continue;
        const int op = quint8(step[0]) % 9;
        const int pick = quint8(step[1]);
        const QByteArray text = step.mid(2);
        TableLobby::Refusal why{};
        int number = 0;
        const bool haveNumber = vexlo::toNumber(text, &number);
        switch (op) {
        case 0: {
            const quint64 c = ++next;
            if (const Place p = lobby.placeNewcomer(c); p.table != 0)
                where[c] = p;
            break;
        }
        case 1:
        case 2:
        case 3: {
            // A lobby request: leave the present place, then sit, watch or open.
            const auto it = nth(pick);
            if (it == where.end())
                break;
            const quint64 c = it->first;
            lobby.leave(it->second.table, it->second.slot);
            settle(it->second.table);
            where.erase(it);
            Place p;
            if (op == 3)
                p = lobby.openTable(c, &why);
            else if (haveNumber)
                p = op == 1 ? lobby.sit(c, number, &why) : lobby.watch(c, number, &why);
            else
                why = TableLobby::Refusal::NoSuchTable; // the server's answer to a number that is none
            check((p.table != 0) == (why == TableLobby::Refusal::None));
            if (p.table != 0)
                where[c] = p;
            break;
        }
        case 4: {
            const auto it = nth(pick);
            if (it == where.end())
                break;
            const Place p = it->second;
            where.erase(it);
            lobby.leave(p.table, p.slot);
            settle(p.table);
            break;
        }
        case 5: {
            const auto it = nth(pick);
            if (it == where.end())
                break;
            const Place p = it->second;
            try {
                lobby.table(p.table)->rules.receive(p.slot, text);
            } catch (const std::exception &) {
                // A damaged field ends the handler, as on the server.
            }
            settle(p.table);
            break;
        }
        case 6:
            if (LobbyTable *t = lobby.table(pick % 5 + 1); t && t->rules.timer1Active()) {
                t->rules.timer1Timer();
                settle(t->number);
            }
            break;
        case 7:
            (void)client.apply(text);
            for (const vexlo::TableInfo &t : client.tables())
                check(t.number >= 1 && t.people.size() <= kMaxSlots);
            break;
        case 8:
            (void)lobby.sweep();
            (void)lobby.takeChanged();
            break;
        }
        checkTables(lobby, where);
    }
    return 0;
}
