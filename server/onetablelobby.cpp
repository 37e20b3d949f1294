// The lobby messages of a server of one table: its list and the changes pushed
// after it, sitting and watching there, and the refusals of the many-table
// server for anything else.
#include "onetablelobby.h"

#include "catalogue.h"
#include "tablelobby.h"
#include "tserver.h"

using namespace vexlo;

namespace {
constexpr int kTable = 1;
constexpr qint64 kSecondMs = 1000;
} // namespace

OneTableLobby::OneTableLobby(TServer &server) : m_server(server)
{
    m_pushTimer.setSingleShot(true);
    m_pushTimer.setInterval(0);
    connect(&m_pushTimer, &QTimer::timeout, this, &OneTableLobby::push);
    connect(&server, &TServer::gameWon, this, [this] { setGameOver(true); });
    connect(&server, &TServer::gameStarted, this, [this] { setGameOver(false); });
    m_clock.start();
}

OneTableLobby::~OneTableLobby()
{
    // No handler may reach a lobby that is going away.
    for (Looker &l : m_lookers)
        if (l.sock) {
            l.sock->OnRead = nullptr;
            l.sock->OnInfo = nullptr;
            l.sock->OnDisconnect = nullptr;
        }
}

bool OneTableLobby::isRequest(const QByteArray &text)
{
    const QByteArray command = parseMessage(text).command;
    return command == cmd::tables || command == cmd::sit || command == cmd::watch || command == cmd::newtable;
}

// --- what the list says ---

TableInfo OneTableLobby::info() const
{
    TableInfo i;
    i.number = kTable;
    const GameRules &rules = m_server.rules;
    if (rules.gameInProgress()) {
        i.state = TableInfo::State::Playing;
        i.round = rules.round();
        i.rounds = rules.roundsPerGame();
    } else if (m_gameOver) {
        i.state = TableInfo::State::GameOver;
    }
    for (int s = 1; s <= kMaxSlots; ++s) {
        if (!rules.player(s).connected)
            continue;
        ++(s <= kSeatCount ? i.seated : i.watchers);
        if (!m_server.connectionOf(s).loggedIn)
            continue;
        const QByteArray &name = rules.player(s).name;
        const bool computer = name.endsWith(kComputerMark);
        i.computers += computer ? 1 : 0;
        i.people << TablePerson{s, computer, name};
    }
    return i;
}

QByteArray OneTableLobby::listMessages() const
{
    QByteArray out = frame(msg::tablelist(1, 1));
    for (const QByteArray &text : msg::tableDescription(info()))
        out += frame(text);
    return out;
}

void OneTableLobby::setGameOver(bool over)
{
    m_gameOver = over;
    tableMayHaveChanged();
}

void OneTableLobby::tableMayHaveChanged()
{
    if (m_pushTimer.isActive())
        return;
    bool listening = !m_lookers.isEmpty();
    for (int s = 1; s <= kMaxSlots && !listening; ++s)
        listening = m_slots[static_cast<size_t>(s)].listening;
    if (listening)
        m_pushTimer.start();
}

void OneTableLobby::push()
{
    const TableInfo now = info();
    if (now == m_shown)
        return;
    m_shown = now;
    QByteArray out;
    for (const QByteArray &text : msg::tableDescription(now))
        out += frame(text);
    for (const Looker &l : std::as_const(m_lookers))
        if (l.sock && l.sock->hasHandle())
            l.sock->Send(out);
    for (int s = 1; s <= kMaxSlots; ++s) {
        const tconnection &c = m_server.connectionOf(s);
        if (stateOf(s).listening && m_server.rules.player(s).connected && c.connection && c.connection->hasHandle())
            c.connection->Send(out);
    }
}

// --- requests ---

OneTableLobby::SlotState &OneTableLobby::stateOf(int slot)
{
    SlotState &st = m_slots[static_cast<size_t>(slot)];
    const quint64 id = m_server.connectionOf(slot).connectionId;
    if (st.connection != id)
        st = SlotState{id, false, {}};
    return st;
}

bool OneTableLobby::withinRate(Rate &rate, const std::function<void(const QByteArray &)> &say)
{
    const qint64 now = m_clock.elapsed();
    if (now - rate.window >= kSecondMs) {
        rate.window = now;
        rate.requests = 0;
    }
    if (++rate.requests <= RequestsPerSecond)
        return true;
    // Said once a second; the rest of a flood is dropped unanswered.
    if (rate.requests == RequestsPerSecond + 1)
        say(msg::lobbyerror("Too many requests: wait a second."));
    return false;
}

int OneTableLobby::freeSlot(const Message &m, int ownSlot, const std::function<void(const QByteArray &)> &say) const
{
    if (m.command == cmd::newtable) {
        say(msg::lobbyerror(refusalText(TableLobby::Refusal::AllTablesOpen, 0, 1)));
        return 0;
    }
    const bool seat = m.command == cmd::sit;
    const int from = seat ? 1 : kSeatCount + 1;
    const int to = seat ? kSeatCount : kMaxSlots;
    FieldReader f(m.args + '+');
    int number = 0;
    if (!toNumber(f.field(), &number) || number != kTable) {
        say(msg::lobbyerror(refusalText(TableLobby::Refusal::NoSuchTable, number, 1)));
        return 0;
    }
    if (ownSlot >= from && ownSlot <= to)
        return -1; // already there
    for (int s = from; s <= to; ++s)
        if (!m_server.rules.player(s).connected)
            return s;
    say(msg::lobbyerror(refusalText(seat ? TableLobby::Refusal::NoFreeSeat : TableLobby::Refusal::NoFreeWatcherSlot,
                                    kTable, 1)));
    return 0;
}

void OneTableLobby::request(int slot, const QByteArray &text)
{
    if (slot < 1 || slot > kMaxSlots)
        return;
    tconnection &c = m_server.connectionOf(slot);
    SlotState &st = stateOf(slot);
    const auto say = [this, slot](const QByteArray &t) { m_server.sendTo(slot, t); };
    if (!withinRate(st.rate, say))
        return;
    const Message m = parseMessage(text);
    if (m.command == cmd::tables) {
        // Someone who only looks keeps no slot meanwhile.
        QList<QByteArray> rest;
        TSock *sock = c.connection;
        // Those who listen already hear first of what changed since they last
        // heard, so that from here on every listener knows the same.
        push();
        if (!c.loggedIn && sock && setAside(slot, &rest)) {
            sock->Send(listMessages());
            for (const QByteArray &later : std::as_const(rest))
                lookerRequest(sock, later);
            return;
        }
        st.listening = true;
        if (sock && sock->hasHandle())
            sock->Send(listMessages());
        return;
    }
    if (c.loggedIn && m_server.rules.gameInProgress()) {
        say(msg::lobbyerror("Leave the game first: it is still running at your table."));
        return;
    }
    const int to = freeSlot(m, slot, say);
    if (to < 0) {
        // The same place again.
        say(msg::seated(kTable, slot));
        say(msg::sendlogininfo(slot));
        st.listening = false;
        return;
    }
    if (to == 0 || !c.connection)
        return;

    // It leaves its slot, as a departure when it had logged in, for the new one.
    TSock *sock = c.connection;
    const Looker from{sock, c.framer, c.peerAddress, st.rate};
    const QString peer = c.peerAddress;
    const QList<QByteArray> rest = takeQueued(slot);
    const QByteArray name = m_server.rules.player(slot).name;
    if (std::exchange(c.loggedIn, false)) {
        m_server.rules.closed(slot);
        m_server.flush();
        Q_EMIT m_server.playerLeft(slot, name, peer);
    } else {
        m_server.rules.vacate(slot);
    }
    c = tconnection{};
    m_slots[static_cast<size_t>(slot)] = SlotState{};
    place(sock, from, to, rest);
}

QList<QByteArray> OneTableLobby::takeQueued(int slot)
{
    tconnection &c = m_server.connectionOf(slot);
    QList<QByteArray> out;
    for (const TServer::Queued &q : std::as_const(m_server.receivedlist))
        if (q.slot == slot && q.connectionId == c.connectionId)
            out << q.text;
    m_server.dropQueued(slot, c.connectionId);
    return out;
}

bool OneTableLobby::setAside(int slot, QList<QByteArray> *rest)
{
    if (m_lookers.size() >= MostLookers)
        return false;
    tconnection &c = m_server.connectionOf(slot);
    Looker l;
    l.sock = c.connection;
    l.framer = c.framer;
    l.peer = c.peerAddress;
    l.rate = stateOf(slot).rate;
    *rest = takeQueued(slot);
    m_server.rules.vacate(slot);
    c = tconnection{};
    m_slots[static_cast<size_t>(slot)] = SlotState{};
    TSock *sock = l.sock;
    sock->Tag = 0;
    sock->OnRead = [this](TSock *s, int) { lookerRead(s); };
    sock->OnInfo = [this](TSock *s, TSocketInfo, const QString &what) {
        if (what == QLatin1String("Socket Closed"))
            lookerClosed(s);
    };
    sock->OnDisconnect = [](TSock *s) { s->Close(); };
    m_lookers.append(l);
    tableMayHaveChanged();
    return true;
}

int OneTableLobby::lookerIndex(TSock *sock) const
{
    for (qsizetype i = 0; i < m_lookers.size(); ++i)
        if (m_lookers[i].sock == sock)
            return static_cast<int>(i);
    return -1;
}

void OneTableLobby::lookerRead(TSock *sock)
{
    const int i = lookerIndex(sock);
    if (i < 0)
        return;
    const QList<QByteArray> texts = m_lookers[i].framer.feed(sock->Text());
    for (qsizetype n = 0; n < texts.size(); ++n) {
        if (lookerIndex(sock) >= 0) {
            lookerRequest(sock, texts[n]);
        } else {
            // Placed meanwhile: the rest goes to its slot's queue.
            enqueue(sock->Tag, texts.mid(n));
            break;
        }
    }
}

void OneTableLobby::lookerRequest(TSock *sock, const QByteArray &text)
{
    const int i = lookerIndex(sock);
    if (i < 0 || !isRequest(text))
        return; // waiting aside, it has no part in the game
    const auto say = [sock](const QByteArray &t) { sock->Send(frame(t)); };
    if (!withinRate(m_lookers[i].rate, say))
        return;
    const Message m = parseMessage(text);
    if (m.command == cmd::tables) {
        push();
        sock->Send(listMessages());
        return;
    }
    const int to = freeSlot(m, 0, say);
    if (to <= 0)
        return;
    const Looker l = m_lookers.takeAt(i);
    place(sock, l, to, {});
}

void OneTableLobby::lookerClosed(TSock *sock)
{
    const int i = lookerIndex(sock);
    if (i < 0)
        return;
    m_lookers.removeAt(i);
    sock->deleteLater();
}

void OneTableLobby::place(TSock *sock, const Looker &from, int slot, const QList<QByteArray> &rest)
{
    tconnection &c = m_server.connectionOf(slot);
    if (c.connection && c.connection != sock)
        c.connection->deleteLater();
    c.connection = sock;
    c.connectionId = ++m_server.m_nextConnectionId;
    c.framer = from.framer;
    c.queued = 0;
    c.peerAddress = from.peer;
    m_slots[static_cast<size_t>(slot)] = SlotState{c.connectionId, false, from.rate};
    c.loggedIn = false;
    sock->Tag = slot;
    sock->OnDisconnect = m_server.tempsock.OnDisconnect;
    sock->OnInfo = m_server.tempsock.OnInfo;
    TServer *server = &m_server;
    sock->OnRead = [server](TSock *s, int n) { server->Sock1Read(s, n); };
    sock->Send(frame(msg::seated(kTable, slot)));
    m_server.rules.opened(slot); // CMD_sendlogininfo+SLOT, as for a newcomer
    m_server.flush();
    enqueue(slot, rest);
}

void OneTableLobby::enqueue(int slot, const QList<QByteArray> &texts)
{
    if (texts.isEmpty() || slot < 1 || slot > kMaxSlots)
        return;
    tconnection &c = m_server.connectionOf(slot);
    for (const QByteArray &text : texts) {
        if (c.queued >= kMaxQueuedPerConnection)
            break; // what a flood sent beyond that is dropped
        m_server.receivedlist.append({slot, c.connectionId, text});
        ++c.queued;
    }
    m_server.scheduleDispatch();
}

void OneTableLobby::shutdown()
{
    m_pushTimer.stop();
    for (const Looker &l : std::exchange(m_lookers, {})) {
        if (!l.sock)
            continue;
        l.sock->OnRead = nullptr;
        l.sock->OnInfo = nullptr;
        l.sock->OnDisconnect = nullptr;
        l.sock->Close();
        l.sock->deleteLater();
    }
    m_slots = {};
    m_shown = {};
    m_gameOver = false;
}
