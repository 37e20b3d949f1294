// The connection side of the many-table server: the listener, connections and
// their departures, the per-table queues and round seconds, and carrying out
// what each table's rules answer. The lobby requests are in tablerequests.cpp.
#include "tableserver.h"

#include "catalogue.h"
#include "lobby.h"
#include "errorreport.h"
#include "tserver.h"

using namespace vexlo;

namespace {
constexpr qint64 kTickMs = 10;
constexpr double kBurst = 8;
// Round seconds that start anew fall on this grid, so that the seconds of many
// tables share the server's wake-ups (a second starts at most this much late).
constexpr qint64 kSecondGrainMs = 25;
const QString kSocketClosed = QStringLiteral("Socket Closed");
} // namespace

TableServer::TableServer(int mostTables, const TDictn *spell, const TargetList *words, QObject *parent)
    : QObject(parent), m_lobby(mostTables, spell, words),
      m_deadlines([this](Deadlines::Key k) { deadline(k); })
{
    m_listener.OnAccept = [this](TSock *) { accept(); };
}

TableServer::~TableServer()
{
    // No handler may reach a server that is going away.
    for (auto &[id, c] : m_connections) {
        if (c.sock) {
            c.sock->OnInfo = nullptr;
            c.sock->OnDisconnect = nullptr;
            c.sock->OnRead = nullptr;
        }
    }
    m_listener.OnAccept = nullptr;
}

void TableServer::startListening(const QString &port, const QHostAddress &address)
{
    m_listener.setPortName(port);
    m_listener.setBindAddress(address);
    m_listener.setListen(true);
}

void TableServer::shutdown()
{
    QList<quint64> ids;
    for (const auto &[id, c] : m_connections)
        ids << id;
    for (const quint64 id : ids)
        if (const auto it = m_connections.find(id); it != m_connections.end() && it->second.sock)
            it->second.sock->Close();
    if (m_listener.Listen())
        m_listener.Close();
}

qsizetype TableServer::queueLength() const
{
    qsizetype n = 0;
    for (const auto &[table, pace] : m_pace)
        n += pace.queue.size();
    return n;
}

QString TableServer::peerAddress(int table, int slot) const
{
    const LobbyTable *t = m_lobby.table(table);
    if (!t || slot < 1 || slot > kMaxSlots)
        return {};
    const auto it = m_connections.find(t->occupant[static_cast<size_t>(slot)]);
    return it == m_connections.end() ? QString() : it->second.peer;
}

// --- arriving ---

void TableServer::refuse(TSock *sock, const QString &peer, const QByteArray &reason)
{
    sock->OnInfo = nullptr;
    sock->Send(frame(msg::lobbyerror(reason)));
    sock->Close();
    sock->deleteLater();
    Q_EMIT refused(peer, reason);
}

void TableServer::accept()
{
    TSock *sock = m_listener.Accept();
    if (!sock)
        return;
    const QString peer = sock->HostName();
    const QHostAddress from(peer);
    const bool trusted = (m_limits.trustLoopback && from.isLoopback()) || m_limits.trusted.contains(from);
    if (!trusted && m_perAddress.value(peer) >= m_limits.connectionsPerAddress) {
        refuse(sock, peer, "Too many connections from your address.");
        return;
    }
    const quint64 id = ++m_nextId;
    const int before = m_lobby.tableCount();
    const TableLobby::Place place = m_lobby.placeNewcomer(id);
    if (place.table == 0) {
        // Every seat and watcher slot of every table is taken.
        sock->OnInfo = nullptr;
        sock->Send(frame(msg::full()));
        sock->Close();
        sock->deleteLater();
        return;
    }
    Connection &c = m_connections[id];
    c.sock = sock;
    c.peer = peer;
    c.trusted = trusted;
    c.table = place.table;
    c.slot = place.slot;
    if (!trusted)
        ++m_perAddress[peer];
    sock->OnInfo = [this, id](TSock *, TSocketInfo, const QString &text) {
        if (text == kSocketClosed)
            closed(id);
    };
    sock->OnRead = [this, id](TSock *, int) { read(id); };
    if (m_lobby.tableCount() > before)
        Q_EMIT tableOpened(place.table);
    flush(place.table);
}

// --- receiving ---

void TableServer::read(quint64 id)
{
    const auto it = m_connections.find(id);
    if (it == m_connections.end() || !it->second.sock || !it->second.sock->hasHandle())
        return;
    for (const QByteArray &text : it->second.framer.feed(it->second.sock->Text()))
        dispatch(id, text);
}

// A message goes into the queue of the connection's table; in the lobby only
// lobby requests mean something, and they are answered at once.
void TableServer::dispatch(quint64 id, const QByteArray &text)
{
    const auto it = m_connections.find(id);
    if (it == m_connections.end())
        return;
    Connection &c = it->second;
    if (c.table == 0) {
        if (isLobbyRequest(text))
            lobbyRequest(id, text);
        return;
    }
    Pace &pace = m_pace[c.table];
    pace.queue.append({id, c.seating, text});
    if (++c.queued > kMaxQueuedPerConnection) {
        // A peer that floods its table's queue is dropped.
        pace.queue.removeIf([&](const Queued &q) { return q.connection == id; });
        c.queued = 0;
        if (c.sock)
            c.sock->Close();
        return;
    }
    const Deadlines::Key key = keyOf(c.table, QueueTick);
    if (!m_deadlines.isScheduled(key))
        m_deadlines.schedule(key, nextTake(pace));
}

// --- leaving ---

void TableServer::leaveTable(quint64 id, QList<QByteArray> *rest)
{
    const auto it = m_connections.find(id);
    if (it == m_connections.end() || it->second.table == 0)
        return;
    Connection &c = it->second;
    const int table = std::exchange(c.table, 0);
    const int slot = std::exchange(c.slot, 0);
    ++c.seating;
    c.queued = 0;
    LobbyTable *t = m_lobby.table(table);
    if (!t)
        return;
    if (const auto p = m_pace.find(table); p != m_pace.end()) {
        if (rest)
            for (const Queued &q : std::as_const(p->second.queue))
                if (q.connection == id)
                    rest->append(q.text);
        p->second.queue.removeIf([&](const Queued &q) { return q.connection == id; });
    }
    const bool wasLoggedIn = t->loggedIn[static_cast<size_t>(slot)];
    const QByteArray name = t->rules.player(slot).name;
    m_lobby.leave(table, slot);
    flush(table);
    if (wasLoggedIn)
        Q_EMIT playerLeft(table, slot, name, c.peer);
    if (t->ended) {
        m_deadlines.cancel(keyOf(table, QueueTick));
        m_deadlines.cancel(keyOf(table, RoundSecond));
        scheduleHousekeeping();
    }
}

void TableServer::closed(quint64 id)
{
    const auto it = m_connections.find(id);
    if (it == m_connections.end())
        return;
    leaveTable(id);
    Connection &c = it->second;
    m_subscribers.remove(id);
    if (!c.trusted) {
        if (--m_perAddress[c.peer] <= 0)
            m_perAddress.remove(c.peer);
    }
    if (c.sock)
        c.sock->deleteLater();
    m_connections.erase(it);
}

// --- the rules' answers ---

void TableServer::sendTo(quint64 id, const QByteArray &text)
{
    const auto it = m_connections.find(id);
    if (it != m_connections.end() && it->second.sock && it->second.sock->hasHandle())
        it->second.sock->Send(frame(text));
}

void TableServer::flush(int table)
{
    LobbyTable *t = m_lobby.table(table);
    if (!t)
        return;
    // A removal closes a connection at once, and the rules' answer to that
    // closing is carried out (by a nested flush) before the rest of this list.
    for (const Outgoing &o : t->rules.takeOutbox()) {
        const quint64 occupant = o.slot >= 1 && o.slot <= kMaxSlots ? t->occupant[static_cast<size_t>(o.slot)] : 0;
        switch (o.kind) {
        case Outgoing::Kind::Send:
            if (o.slot == Outgoing::kEveryone) {
                const QByteArray framed = frame(o.text);
                for (int s = 1; s <= t->rules.highestSlot(); ++s) {
                    const auto it = m_connections.find(t->occupant[static_cast<size_t>(s)]);
                    if (t->rules.player(s).connected && it != m_connections.end() && it->second.sock
                        && it->second.sock->hasHandle())
                        it->second.sock->Send(framed);
                }
            } else if (t->rules.player(o.slot).connected) {
                sendTo(occupant, o.text);
            }
            break;
        case Outgoing::Kind::Close:
            if (const auto it = m_connections.find(occupant); it != m_connections.end() && it->second.sock) {
                if (t->loggedIn[static_cast<size_t>(o.slot)])
                    Q_EMIT playerRemoved(table, o.slot, t->rules.player(o.slot).name, it->second.peer);
                it->second.sock->Close();
            }
            break;
        case Outgoing::Kind::Arrived:
            m_lobby.setLoggedIn(table, o.slot, true);
            Q_EMIT playerArrived(table, o.slot, o.text, peerAddress(table, o.slot));
            break;
        case Outgoing::Kind::GameStarted:
            m_lobby.setGameOver(table, false);
            Q_EMIT gameStarted(table, o.rounds, o.seconds, peerAddress(table, 1));
            break;
        case Outgoing::Kind::GameWon:
            m_lobby.setGameOver(table, true);
            Q_EMIT gameWon(table, o.text);
            break;
        }
    }
    m_lobby.refresh(table);
    syncRoundSecond(table);
    if (!m_subscribers.isEmpty() && m_lobby.hasChanges())
        scheduleHousekeeping();
}

// --- time ---

void TableServer::deadline(Deadlines::Key key)
{
    const int table = static_cast<int>(key / 4);
    switch (key % 4) {
    case Housekeeping: housekeeping(); break;
    case QueueTick: queueTick(table); break;
    case RoundSecond: roundSecond(table); break;
    default: break;
    }
}

// The round second runs while the table's rules say so; a start by the rules
// starts a new second.
void TableServer::syncRoundSecond(int table)
{
    const LobbyTable *t = m_lobby.table(table);
    const Deadlines::Key key = keyOf(table, RoundSecond);
    if (!t || !t->rules.timer1Active()) {
        m_deadlines.cancel(key);
        return;
    }
    Pace &pace = m_pace[table];
    if (t->rules.timer1Starts() != pace.timer1Starts) {
        qint64 due = m_deadlines.now() + m_secondMs;
        if (m_secondMs >= 20 * kSecondGrainMs)
            due += kSecondGrainMs - due % kSecondGrainMs;
        pace.secondDue = due;
        m_deadlines.schedule(key, due);
    } else if (!m_deadlines.isScheduled(key)) {
        pace.secondDue += m_secondMs;
        m_deadlines.schedule(key, pace.secondDue);
    }
    pace.timer1Starts = t->rules.timer1Starts();
}

void TableServer::roundSecond(int table)
{
    LobbyTable *t = m_lobby.table(table);
    if (!t)
        return;
    guarded([&] { t->rules.timer1Timer(); });
    guarded([&] { flush(table); });
}

qint64 TableServer::nextTake(Pace &pace)
{
    const qint64 now = m_deadlines.now();
    pace.credit = std::min(kBurst, pace.credit + double(now - pace.refilledAt) / double(kTickMs));
    pace.refilledAt = now;
    return pace.credit >= 1 ? now : now + static_cast<qint64>((1 - pace.credit) * double(kTickMs)) + 1;
}

// One message of the table's queue: a table takes one per 10 ms on average.
void TableServer::queueTick(int table)
{
    LobbyTable *t = m_lobby.table(table);
    const auto p = m_pace.find(table);
    if (!t || p == m_pace.end())
        return;
    Pace &pace = p->second;
    if (nextTake(pace) > m_deadlines.now()) {
        m_deadlines.schedule(keyOf(table, QueueTick), nextTake(pace));
        return;
    }
    pace.credit -= 1;
    if (!pace.queue.isEmpty()) {
        const Queued q = pace.queue.takeFirst();
        const auto it = m_connections.find(q.connection);
        // Messages of a connection that has since left the table have no sender here.
        if (it != m_connections.end() && it->second.table == table && it->second.seating == q.seating) {
            --it->second.queued;
            if (isLobbyRequest(q.text)) {
                lobbyRequest(q.connection, q.text);
            } else {
                const int slot = it->second.slot;
                guarded([&] { t->rules.receive(slot, q.text); });
                guarded([&] { flush(table); });
            }
        }
    }
    if (m_lobby.table(table) && !pace.queue.isEmpty())
        m_deadlines.schedule(keyOf(table, QueueTick), nextTake(pace));
}
