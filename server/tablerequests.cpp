// The lobby requests of the many-table server: the list of tables and the
// changes pushed after it, sitting, watching and opening a table, within the
// limits against abuse.
#include "tableserver.h"

#include "catalogue.h"
#include "message.h"

using namespace vexlo;

namespace {
constexpr qint64 kMinuteMs = 60000;
constexpr qint64 kSecondMs = 1000;
} // namespace

bool TableServer::isLobbyRequest(const QByteArray &text) const
{
    const QByteArray command = parseMessage(text).command;
    return command == cmd::tables || command == cmd::sit || command == cmd::watch || command == cmd::newtable;
}

bool TableServer::mayOpenTable(const Connection &c)
{
    if (c.trusted)
        return true;
    QList<qint64> &times = m_tablesOpenedBy[c.peer];
    const qint64 now = m_deadlines.now();
    times.removeIf([&](qint64 t) { return now - t >= kMinuteMs; });
    if (times.isEmpty())
        m_tablesOpenedBy.remove(c.peer);
    return times.size() < m_limits.newTablesPerMinute;
}

void TableServer::lobbyRequest(quint64 id, const QByteArray &text)
{
    const auto it = m_connections.find(id);
    if (it == m_connections.end())
        return;
    Connection &c = it->second;
    const qint64 now = m_deadlines.now();
    if (now - c.requestWindow >= kSecondMs) {
        c.requestWindow = now;
        c.requests = 0;
    }
    if (++c.requests > m_limits.lobbyRequestsPerSecond) {
        // Said once a second; the rest of a flood is dropped unanswered.
        if (c.requests == m_limits.lobbyRequestsPerSecond + 1)
            sendTo(id, msg::lobbyerror("Too many requests: wait a second."));
        return;
    }

    const Message m = parseMessage(text);
    const LobbyTable *own = m_lobby.table(c.table);
    const bool loggedIn = own && own->loggedIn[static_cast<size_t>(c.slot)];
    if (m.command == cmd::tables) {
        // Someone who only looks keeps no place at a table meanwhile.
        QList<QByteArray> rest;
        if (own && !loggedIn)
            leaveTable(id, &rest);
        m_subscribers.insert(id);
        sendList(id);
        for (const QByteArray &later : std::as_const(rest))
            dispatch(id, later);
        return;
    }
    if (loggedIn && own->rules.gameInProgress()) {
        sendTo(id, msg::lobbyerror("Leave the game first: it is still running at your table."));
        return;
    }

    int number = 0;
    TableLobby::Refusal why = TableLobby::Refusal::None;
    if (m.command == cmd::newtable) {
        if (!mayOpenTable(c)) {
            sendTo(id, msg::lobbyerror("Too many new tables from your address: wait a minute."));
            return;
        }
        // One alone at its table ends it by leaving, which makes room.
        const bool alone = own && own->connections() == 1;
        if (m_lobby.tableCount() - (alone ? 1 : 0) >= m_lobby.most())
            why = TableLobby::Refusal::AllTablesOpen;
    } else {
        const bool seat = m.command == cmd::sit;
        const int from = seat ? 1 : kSeatCount + 1;
        const int to = seat ? kSeatCount : kMaxSlots;
        FieldReader f(m.args + '+');
        const LobbyTable *t = toNumber(f.field(), &number) ? m_lobby.table(number) : nullptr;
        if (!t) {
            why = TableLobby::Refusal::NoSuchTable;
        } else if (c.table == number && c.slot >= from && c.slot <= to) {
            // Already there: the same place again.
            sendTo(id, msg::seated(number, c.slot));
            sendTo(id, msg::sendlogininfo(c.slot));
            return;
        } else if (t->lowestFree(from, to) == 0) {
            why = seat ? TableLobby::Refusal::NoFreeSeat : TableLobby::Refusal::NoFreeWatcherSlot;
        }
    }
    if (why != TableLobby::Refusal::None) {
        sendTo(id, msg::lobbyerror(refusalText(why, number, m_lobby.most())));
        return;
    }

    // Leaving first may end the table this connection was alone at: a new
    // table then still finds room, and a seat elsewhere is not affected.
    QList<QByteArray> rest;
    leaveTable(id, &rest);
    TableLobby::Place place;
    if (m.command == cmd::newtable)
        place = m_lobby.openTable(id, &why);
    else if (m.command == cmd::sit)
        place = m_lobby.sit(id, number, &why);
    else
        place = m_lobby.watch(id, number, &why);
    if (place.table == 0) {
        sendTo(id, msg::lobbyerror(refusalText(why, number, m_lobby.most())));
    } else {
        seat(id, place, m.command == cmd::newtable);
    }
    // What the connection sent after this request follows it to its new place.
    for (const QByteArray &later : std::as_const(rest))
        dispatch(id, later);
}

void TableServer::seat(quint64 id, const TableLobby::Place &place, bool opened)
{
    const auto it = m_connections.find(id);
    if (it == m_connections.end())
        return;
    Connection &c = it->second;
    if (opened && !c.trusted)
        m_tablesOpenedBy[c.peer].append(m_deadlines.now());
    c.table = place.table;
    c.slot = place.slot;
    ++c.seating;
    c.queued = 0;
    // A seat taken ends the list's news; asking again starts it anew.
    m_subscribers.remove(id);
    sendTo(id, msg::seated(place.table, place.slot));
    if (opened)
        Q_EMIT tableOpened(place.table);
    flush(place.table);
    scheduleHousekeeping();
}

void TableServer::sendList(quint64 id)
{
    const auto it = m_connections.find(id);
    if (it == m_connections.end() || !it->second.sock || !it->second.sock->hasHandle())
        return;
    // One write for the whole list.
    QByteArray out = frame(msg::tablelist(m_lobby.tableCount(), m_lobby.most()));
    for (const auto &[number, t] : m_lobby.tables())
        if (!t->ended)
            for (const QByteArray &text : msg::tableDescription(m_lobby.info(*t)))
                out += frame(text);
    it->second.sock->Send(out);
}

void TableServer::scheduleHousekeeping()
{
    const Deadlines::Key key = keyOf(0, Housekeeping);
    if (!m_deadlines.isScheduled(key))
        m_deadlines.schedule(key, m_deadlines.now());
}

// After the events of one pass: the changed tables are told to everyone who
// asked for the list, and the tables that ended are forgotten.
void TableServer::housekeeping()
{
    const QList<int> changed = m_lobby.takeChanged();
    if (!m_subscribers.isEmpty() && !changed.isEmpty()) {
        QByteArray out;
        for (const int number : changed) {
            if (const LobbyTable *t = m_lobby.table(number)) {
                for (const QByteArray &text : msg::tableDescription(m_lobby.info(*t)))
                    out += frame(text);
            } else {
                out += frame(msg::tableclosed(number));
            }
        }
        for (const quint64 id : std::as_const(m_subscribers))
            if (const auto it = m_connections.find(id); it != m_connections.end() && it->second.sock
                                                          && it->second.sock->hasHandle())
                it->second.sock->Send(out);
    }
    for (const int number : m_lobby.sweep()) {
        m_pace.erase(number);
        m_deadlines.cancel(keyOf(number, QueueTick));
        m_deadlines.cancel(keyOf(number, RoundSecond));
        Q_EMIT tableClosed(number);
    }
}
