// The connection side of the server: the listener, slots' sockets, the inbound
// queue and the timers, passing messages to the rules and their answers back.
#include "tserver.h"

#include "catalogue.h"
#include "errorreport.h"
#include "onetablelobby.h"

using namespace vexlo;

namespace {
constexpr int kTickMs = 10;
const QString kSocketClosed = QStringLiteral("Socket Closed");
} // namespace

TServer::TServer(const TDictn *spell, const TargetList *words, QObject *parent)
    : QObject(parent), rules(spell, words), m_spell(spell), m_words(words)
{
    Sock1.setPortName(QStringLiteral("7772"));
    Sock1.OnAccept = [this](TSock *s) { Sock1Accept(s); };
    Sock1.OnRead = [this](TSock *s, int n) { Sock1Read(s, n); };
    tempsock.OnDisconnect = [this](TSock *s) { tempsockDisconnect(s); };
    tempsock.OnInfo = [this](TSock *s, TSocketInfo i, const QString &m) { tempsockInfo(s, i, m); };

    socktimer.setSingleShot(false);
    connect(&socktimer, &QTimer::timeout, this, [this] { socktimerTimer(); });
    m_sinceTick.start();
    timer1.setInterval(1000);
    connect(&timer1, &QTimer::timeout, this, [this] { timer1Timer(); });
    m_lobby = std::make_unique<OneTableLobby>(*this);
}

TServer::~TServer()
{
    // No handler may reach a server that is going away.
    for (tconnection &c : connections) {
        if (c.connection) {
            c.connection->OnInfo = nullptr;
            c.connection->OnDisconnect = nullptr;
            c.connection->OnRead = nullptr;
        }
    }
    Sock1.OnAccept = nullptr;
    Sock1.OnRead = nullptr;
    m_lobby.reset();
}

void TServer::startListening(const QString &port, const QHostAddress &address)
{
    Sock1.setPortName(port);
    Sock1.setBindAddress(address);
    Sock1.setListen(true);
}

void TServer::shutdown()
{
    timer1.stop();
    m_lobby->shutdown();
    for (int s = 1; s <= rules.highestSlot(); ++s)
        disconnectsock(s);
    if (Sock1.Listen())
        Sock1.Close();
}

void TServer::reset()
{
    shutdown();
    socktimer.stop();
    receivedlist.clear();
    for (tconnection &c : connections)
        c = tconnection{};
    acceptingslot = 0;
    rules = GameRules(m_spell, m_words);
    m_timer1Starts = 0;
}

tplayerview TServer::player(int slot) const
{
    tplayerview view;
    static_cast<tplayer &>(view) = rules.player(slot);
    view.connection = connectionOf(slot).connection;
    return view;
}

// --- carrying out the rules' answers ---

void TServer::flush()
{
    // A removal closes a connection at once, and the rules' answer to that
    // closing is carried out before the rest of this list, as it happened.
    for (const Outgoing &o : rules.takeOutbox()) {
        switch (o.kind) {
        case Outgoing::Kind::Send:
            if (o.slot == Outgoing::kEveryone) {
                for (int s = 1; s <= rules.highestSlot(); ++s)
                    sendTo(s, o.text);
            } else {
                sendTo(o.slot, o.text);
            }
            break;
        case Outgoing::Kind::Close:
            if (rules.player(o.slot).connected && connectionOf(o.slot).loggedIn)
                Q_EMIT playerRemoved(o.slot, rules.player(o.slot).name, connectionOf(o.slot).peerAddress);
            disconnectsock(o.slot);
            break;
        case Outgoing::Kind::Arrived:
            connectionOf(o.slot).loggedIn = true;
            Q_EMIT playerArrived(o.slot, o.text, connectionOf(o.slot).peerAddress);
            break;
        case Outgoing::Kind::GameStarted:
            Q_EMIT gameStarted(o.rounds, o.seconds);
            break;
        case Outgoing::Kind::GameWon:
            Q_EMIT gameWon(o.text);
            break;
        }
    }
    syncTimer1();
    m_lobby->tableMayHaveChanged();
}

void TServer::sendTo(int slot, const QByteArray &text)
{
    const TSock *sock = connectionOf(slot).connection;
    if (rules.player(slot).connected && sock && sock->hasHandle())
        connectionOf(slot).connection->Send(frame(text));
}

// timer1 runs while the rules say so; a start by the rules starts a new second.
void TServer::syncTimer1()
{
    if (!rules.timer1Active()) {
        timer1.stop();
    } else if (rules.timer1Starts() != m_timer1Starts || !timer1.isActive()) {
        timer1.start();
    }
    m_timer1Starts = rules.timer1Starts();
}

// --- accepting ---

void TServer::Sock1Accept(TSock * /*sender*/)
{
    const int slot = rules.slotForNewcomer();
    if (slot > kMaxSlots) {
        // All nine slots are busy: the newcomer is told and let go.
        acceptingslot = slot;
        TSock *refused = Sock1.Accept();
        if (!refused)
            return;
        refused->OnInfo = nullptr;
        refused->Send(frame(msg::full()));
        refused->Close();
        refused->deleteLater();
        return;
    }
    acceptingslot = slot;
    TSock *sock = Sock1.Accept();
    if (!sock)
        return;

    tconnection &c = connectionOf(slot);
    if (c.connection && c.connection != sock)
        c.connection->deleteLater();
    c.connection = sock;
    c.connectionId = ++m_nextConnectionId;
    c.framer = MessageFramer(kMaxMessageBytes);
    c.queued = 0;
    c.peerAddress = sock->HostName();
    c.loggedIn = false;
    sock->Tag = slot;
    sock->OnDisconnect = tempsock.OnDisconnect;
    sock->OnInfo = tempsock.OnInfo;
    sock->OnRead = [this](TSock *s, int n) { Sock1Read(s, n); };
    rules.opened(slot);
    flush();
}

// --- receiving and the queue ---

void TServer::Sock1Read(TSock *sender, int /*count*/)
{
    const int slot = sender->Tag;
    if (slot < 1 || slot > kMaxSlots || connectionOf(slot).connection != sender)
        return;
    tconnection &c = connectionOf(slot);
    const quint64 id = c.connectionId;
    for (QByteArray &text : c.framer.feed(sender->Text())) {
        receivedlist.append({slot, id, std::move(text)});
        if (++c.queued > kMaxQueuedPerConnection) {
            // A peer that floods the queue is dropped like a removed player.
            dropQueued(slot, id);
            disconnectsock(slot);
            break;
        }
    }
    scheduleDispatch();
}

void TServer::dropQueued(int slot, quint64 connectionId)
{
    receivedlist.removeIf([&](const Queued &q) { return q.slot == slot && q.connectionId == connectionId; });
    if (connectionOf(slot).connectionId == connectionId)
        connectionOf(slot).queued = 0;
}

// The queue timer runs only while messages wait. A message that reaches an
// idle queue is handled on the next pass of the event loop, or as soon as
// 10 ms have gone by since the last tick.
void TServer::scheduleDispatch()
{
    if (receivedlist.isEmpty() || socktimer.isActive())
        return;
    const qint64 since = m_sinceTick.elapsed();
    socktimer.start(since >= kTickMs ? 0 : static_cast<int>(kTickMs - since));
}

void TServer::socktimerTimer()
{
    m_sinceTick.restart();
    if (!receivedlist.isEmpty()) {
        const Queued q = receivedlist.takeFirst();
        ++m_taken;
        tconnection &c = connectionOf(q.slot);
        // Messages of a connection that has since closed have no sender any more.
        if (c.connectionId == q.connectionId) {
            --c.queued;
            if (rules.player(q.slot).connected && OneTableLobby::isRequest(q.text)) {
                guarded([&] { m_lobby->request(q.slot, q.text); });
            } else if (rules.player(q.slot).connected) {
                // A message abandoned half-way keeps what it already answered.
                guarded([&] { rules.receive(q.slot, q.text); });
                guarded([&] { flush(); });
            }
        }
    }
    if (receivedlist.isEmpty())
        socktimer.stop();
    else if (!socktimer.isActive() || socktimer.interval() != kTickMs)
        socktimer.start(kTickMs);
}

void TServer::timer1Timer()
{
    guarded([&] { rules.timer1Timer(); });
    guarded([&] { flush(); });
}

// --- closing ---

void TServer::disconnectsock(int slot)
{
    if (slot < 1 || slot > kMaxSlots)
        return;
    if (rules.player(slot).connected && connectionOf(slot).connection)
        connectionOf(slot).connection->Close();
}

void TServer::tempsockDisconnect(TSock *sender)
{
    disconnectsock(sender->Tag);
}

void TServer::tempsockInfo(TSock *sender, TSocketInfo /*info*/, const QString &msgText)
{
    if (msgText != kSocketClosed)
        return;
    const int slot = sender->Tag;
    if (slot < 1 || slot > kMaxSlots || connectionOf(slot).connection != sender)
        return;
    // The second report after a peer close finds the slot already free.
    if (!rules.player(slot).connected)
        return;
    tconnection &c = connectionOf(slot);
    const QByteArray name = rules.player(slot).name;
    const bool wasLoggedIn = std::exchange(c.loggedIn, false);
    rules.closed(slot);
    flush();
    dropQueued(slot, c.connectionId);
    if (c.connection)
        c.connection->deleteLater();
    if (wasLoggedIn)
        Q_EMIT playerLeft(slot, name, c.peerAddress);
}
