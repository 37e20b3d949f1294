#pragma once
// TableLobby: the tables of a server that holds many, with no socket in sight.
// A table is a GameRules with its slot map (which connection holds which slot);
// the lobby opens tables, places connections in them (a newcomer that says
// nothing, a request to sit, to watch or to open a table), frees their slots
// and ends a table once its last connection has gone. It keeps the tables that
// can take a newcomer sorted, so placement costs the same with ten thousand
// tables as with ten, and it remembers which tables changed since the list
// was last pushed.
#include "gamerules.h"
#include "lobby.h"

#include <QByteArray>
#include <QList>

#include <array>
#include <map>
#include <memory>
#include <set>
#include <tuple>

inline constexpr int kMostTables = 10000;

struct LobbyTable
{
    LobbyTable(int n, quint64 a, const TDictn *spell, const TargetList *words)
        : number(n), age(a), rules(spell, words) {}

    int number;
    quint64 age; // opened as the age-th table of the server
    GameRules rules;
    std::array<quint64, kMaxSlots + 1> occupant{}; // connection per slot (0: free)
    std::array<bool, kMaxSlots + 1> loggedIn{};
    int seated = 0;   // connections in seats 1..6
    int watchers = 0; // connections in slots 7..9
    bool gameOver = false;
    bool ended = false; // the last connection left; gone at the next sweep
    int shownRound = 0; // the round and game the list last showed
    bool shownPlaying = false;
    // Where placement has it filed: (-connections, age, number).
    std::tuple<int, quint64, int> filed{};
    bool filedSeatable = false;
    bool filedWatchable = false;

    int connections() const { return seated + watchers; }
    int lowestFree(int from, int to) const;
};

class TableLobby
{
public:
    struct Place
    {
        int table = 0; // 0: no place
        int slot = 0;
    };
    enum class Refusal { None, NoSuchTable, NoFreeSeat, NoFreeWatcherSlot, AllTablesOpen };

    TableLobby(int most, const TDictn *spell = nullptr, const TargetList *words = nullptr);

    // Tables opened from now on draw from seed, seed + 1, ... in the order they open.
    void setSeed(quint32 seed);

    // A connection that says nothing about tables: the fullest table without a
    // game and with a free seat (ties: the oldest), in its lowest free seat;
    // else a new table, while fewer than most are open; else the lowest free
    // watcher slot of the fullest table that has one. No place when none is left.
    Place placeNewcomer(quint64 connection);
    Place sit(quint64 connection, int table, Refusal *why);
    Place watch(quint64 connection, int table, Refusal *why);
    Place openTable(quint64 connection, Refusal *why);
    // The connection in the slot leaves it: the others hear of it when it had
    // logged in. The table ends when it was the last.
    void leave(int table, int slot);
    // Forgets the tables that ended; returns their numbers.
    QList<int> sweep();

    // The table with that number, open and not ended; null otherwise.
    LobbyTable *table(int number);
    const LobbyTable *table(int number) const;
    int tableCount() const { return m_live; }
    int most() const { return m_most; }
    // Every table, ended ones too, by number.
    const std::map<int, std::unique_ptr<LobbyTable>> &tables() const { return m_tables; }

    // A slot's connection logged in (or not, any more).
    void setLoggedIn(int table, int slot, bool on);
    // The table's game state may have changed: it is sorted anew and, when the
    // list would show something new, marked changed.
    void refresh(int table);
    // A game was won (true) or a new one began (false).
    void setGameOver(int table, bool over);
    vexlo::TableInfo info(const LobbyTable &t) const;
    // Tables whose summary changed since the last call (ended ones included).
    QList<int> takeChanged();
    bool hasChanges() const { return !m_changed.empty(); }

private:
    using Key = std::tuple<int, quint64, int>; // (-connections, age, number)
    void occupy(LobbyTable &t, int slot, quint64 connection);
    void reindex(LobbyTable &t);
    void markChanged(int number) { m_changed.insert(number); }

    int m_most;
    const TDictn *m_spell;
    const TargetList *m_words;
    bool m_seeded = false;
    quint32 m_seed = 0;
    quint64 m_opened = 0;
    int m_live = 0; // open and not ended
    std::map<int, std::unique_ptr<LobbyTable>> m_tables;
    std::set<int> m_freeNumbers; // below the highest number used
    int m_nextNumber = 1;
    std::set<Key> m_seatable;  // no game, a free seat
    std::set<Key> m_watchable; // a free watcher slot
    std::set<int> m_changed;
};

// A refused lobby request in words for people: "There is no table T.", "Table T
// has no free seat.", "All N tables of this server are in use." and the like.
QByteArray refusalText(TableLobby::Refusal why, int table, int most);
