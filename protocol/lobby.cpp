#include "lobby.h"

#include "message.h"

#include <algorithm>

namespace vexlo {

namespace {

// Bounds a client keeps against a damaged or hostile server. A server holds up
// to 10,000 tables; while many open and close at once a number may run past
// that for a moment, until the numbers of ended tables come free.
constexpr int kMostTables = 1000000;
constexpr int kMostSlot = 9;

QByteArray num(int v)
{
    return QByteArray::number(v);
}

QByteArray word(const char *command)
{
    return QByteArray(command) + '+';
}

// A numeric field within [low, high]; false for anything else.
bool readNumber(FieldReader &f, int low, int high, int *out)
{
    int v = 0;
    if (!toNumber(f.field(), &v) || v < low || v > high)
        return false;
    *out = v;
    return true;
}

} // namespace

QByteArray TableInfo::hostName() const
{
    for (const TablePerson &p : people)
        if (p.slot == 1)
            return p.name;
    return {};
}

namespace msg {

QByteArray tables()
{
    return word(cmd::tables);
}
QByteArray sit(int table)
{
    return word(cmd::sit) + num(table);
}
QByteArray watch(int table)
{
    return word(cmd::watch) + num(table);
}
QByteArray newtable()
{
    return word(cmd::newtable);
}
QByteArray tablelist(int count, int most)
{
    return word(cmd::tablelist) + num(count) + '+' + num(most);
}
QList<QByteArray> tableDescription(const TableInfo &t)
{
    QList<QByteArray> out;
    out << word(cmd::table) + num(t.number) + '+' + num(static_cast<int>(t.state)) + '+' + num(t.round) + '+'
               + num(t.rounds) + '+' + num(t.seated) + '+' + num(t.watchers) + '+' + num(t.computers);
    for (const TablePerson &p : t.people)
        out << word(cmd::tableplayer) + num(t.number) + '+' + num(p.slot) + '+' + (p.computer ? "1" : "0") + '+'
                   + p.name;
    return out;
}
QByteArray tableclosed(int table)
{
    return word(cmd::tableclosed) + num(table);
}
QByteArray seated(int table, int slot)
{
    return word(cmd::seated) + num(table) + '+' + num(slot);
}
QByteArray lobbyerror(const QByteArray &text)
{
    return word(cmd::lobbyerror) + text;
}

} // namespace msg

bool TableDirectory::apply(const QByteArray &text)
{
    const Message m = parseMessage(text);
    FieldReader f(m.args + '+'); // every field, the last one too, ends with "+"
    if (m.command == cmd::tablelist) {
        int count = 0;
        int most = 0;
        if (!readNumber(f, 0, kMostTables, &count) || !readNumber(f, 0, kMostTables, &most))
            return false;
        m_tables.clear();
        m_most = most;
        m_listed = true;
        return true;
    }
    if (m.command == cmd::table) {
        TableInfo t;
        int state = 0;
        if (!readNumber(f, 1, kMostTables, &t.number) || !readNumber(f, 0, 2, &state)
            || !readNumber(f, 0, 1 << 20, &t.round) || !readNumber(f, 0, 1 << 20, &t.rounds)
            || !readNumber(f, 0, 6, &t.seated) || !readNumber(f, 0, 3, &t.watchers)
            || !readNumber(f, 0, kMostSlot, &t.computers))
            return false;
        t.state = static_cast<TableInfo::State>(state);
        m_tables.insert(t.number, t);
        return true;
    }
    if (m.command == cmd::tableplayer) {
        FieldReader g(m.args); // the name is the rest, "+" and all
        int number = 0;
        int computer = 0;
        TablePerson p;
        if (!readNumber(g, 1, kMostTables, &number) || !readNumber(g, 1, kMostSlot, &p.slot)
            || !readNumber(g, 0, 1, &computer))
            return false;
        const auto it = m_tables.find(number);
        if (it == m_tables.end())
            return false;
        p.computer = computer == 1;
        p.name = g.rest();
        QList<TablePerson> &people = it->people;
        const auto at = std::find_if(people.begin(), people.end(), [&](const TablePerson &q) { return q.slot >= p.slot; });
        if (at != people.end() && at->slot == p.slot)
            *at = p;
        else
            people.insert(at, p);
        return true;
    }
    if (m.command == cmd::tableclosed) {
        int number = 0;
        if (!readNumber(f, 1, kMostTables, &number))
            return false;
        m_tables.remove(number);
        return true;
    }
    if (m.command == cmd::seated) {
        int table = 0;
        int slot = 0;
        if (!readNumber(f, 1, kMostTables, &table) || !readNumber(f, 1, kMostSlot, &slot))
            return false;
        m_seatedTable = table;
        m_seatedSlot = slot;
        return true;
    }
    if (m.command == cmd::lobbyerror) {
        m_error = m.args;
        return true;
    }
    return false;
}

} // namespace vexlo
