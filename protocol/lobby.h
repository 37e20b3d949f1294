#pragma once
// The lobby messages of a server that holds many tables, in the game's framing
// (0xFF-ended, "CMD_" names, "+"-separated fields): asking for the list of
// tables (and hearing of every change after it), sitting at a table, watching
// one and opening a new one. A client that never sends them never receives
// them. TableDirectory folds what the server says into the list a client shows.
#include <QByteArray>
#include <QList>
#include <QMap>

namespace vexlo {

namespace cmd {
// Client to server.
inline constexpr char tables[] = "CMD_tables";     // the list, then every change
inline constexpr char sit[] = "CMD_sit";           // +T: the lowest free seat at table T
inline constexpr char watch[] = "CMD_watch";       // +T: the lowest free watcher slot at T
inline constexpr char newtable[] = "CMD_newtable"; // a new table, in slot 1
// Server to client.
inline constexpr char tablelist[] = "CMD_tablelist";     // +COUNT+MOST: a list of COUNT tables follows
inline constexpr char table[] = "CMD_table";             // one table's summary (replaces what was known)
inline constexpr char tableplayer[] = "CMD_tableplayer"; // one logged-in person or computer player there
inline constexpr char tableclosed[] = "CMD_tableclosed"; // +T: the table is gone
inline constexpr char seated[] = "CMD_seated";           // +T+SLOT: the new place; CMD_sendlogininfo follows
inline constexpr char lobbyerror[] = "CMD_lobbyerror";   // +TEXT: a request refused, said for people
} // namespace cmd

// Names of computer players end with this mark.
inline constexpr char kComputerMark[] = " (bot)";

struct TablePerson
{
    int slot = 0; // 1 is the host, 1..6 seats, 7..9 watchers
    bool computer = false;
    QByteArray name;

    bool operator==(const TablePerson &) const = default;
};

struct TableInfo
{
    enum class State { Waiting = 0, Playing = 1, GameOver = 2 };

    int number = 0;
    State state = State::Waiting;
    int round = 0;  // while playing: round r of rounds
    int rounds = 0;
    int seated = 0;   // connections in seats 1..6 (logged in or not yet)
    int watchers = 0; // connections in slots 7..9
    int computers = 0;
    QList<TablePerson> people; // logged in, by slot

    QByteArray hostName() const;
    bool operator==(const TableInfo &) const = default;
};

namespace msg {
QByteArray tables();
QByteArray sit(int table);
QByteArray watch(int table);
QByteArray newtable();

QByteArray tablelist(int count, int most);
// CMD_table+T+STATE+ROUND+ROUNDS+SEATED+WATCHERS+COMPUTERS, then one
// CMD_tableplayer+T+SLOT+COMPUTER+NAME per person (the name is the rest).
QList<QByteArray> tableDescription(const TableInfo &table);
QByteArray tableclosed(int table);
QByteArray seated(int table, int slot);
QByteArray lobbyerror(const QByteArray &text);
} // namespace msg

// What a client knows of a server's tables, built from the lobby messages.
class TableDirectory
{
public:
    // Takes one received message; false when it is not a lobby message (or a
    // damaged one, which changes nothing).
    bool apply(const QByteArray &text);

    const QMap<int, TableInfo> &tables() const { return m_tables; }
    int most() const { return m_most; }        // tables the server may hold
    bool listed() const { return m_listed; }   // a CMD_tablelist arrived
    // The last CMD_seated (table 0 before any) and CMD_lobbyerror text.
    int seatedTable() const { return m_seatedTable; }
    int seatedSlot() const { return m_seatedSlot; }
    QByteArray lastError() const { return m_error; }

private:
    QMap<int, TableInfo> m_tables;
    int m_most = 0;
    bool m_listed = false;
    int m_seatedTable = 0;
    int m_seatedSlot = 0;
    QByteArray m_error;
};

} // namespace vexlo
