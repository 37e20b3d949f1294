// Slots, logins, the inbound queue and its dispatcher, removals and relays.
#include "catalogue.h"
#include "errorreport.h"
#include "message.h"
#include "tserver.h"

using namespace vexlo;

namespace {
constexpr int kTickMs = 10;
const QString kSocketClosed = QStringLiteral("Socket Closed");
} // namespace

TServer::TServer(const TDictn *spellDictionary, const TargetList *words, QObject *parent)
    : QObject(parent), spell(spellDictionary), listbox_words(words),
      m_random(RandomGenerator::timeOfDaySeed())
{
    static const char *const fallbacks[] = {"", "", "Klot", "Klock", "Kling", "Klick", "Krazy"};
    for (int seat = 1; seat <= kSeatCount; ++seat)
        players[static_cast<size_t>(seat)].fallbackname = fallbacks[seat];

    Sock1.setPortName(QStringLiteral("7772"));
    Sock1.OnAccept = [this](TSock *s) { Sock1Accept(s); };
    Sock1.OnRead = [this](TSock *s, int n) { Sock1Read(s, n); };
    tempsock.OnDisconnect = [this](TSock *s) { tempsockDisconnect(s); };
    tempsock.OnInfo = [this](TSock *s, TSocketInfo i, const QString &m) { tempsockInfo(s, i, m); };

    socktimer.setSingleShot(false);
    connect(&socktimer, &QTimer::timeout, this, [this] { socktimerTimer(); });
    m_sinceTick.start();
    timer1.setInterval(1000);
    connect(&timer1, &QTimer::timeout, this, [this] { guarded([&] { timer1Timer(); }); });
}

TServer::~TServer()
{
    // No handler may reach a server that is going away.
    for (tplayer &p : players) {
        if (p.connection) {
            p.connection->OnInfo = nullptr;
            p.connection->OnDisconnect = nullptr;
            p.connection->OnRead = nullptr;
        }
    }
    Sock1.OnAccept = nullptr;
    Sock1.OnRead = nullptr;
}

void TServer::startListening(const QString &port)
{
    Sock1.setPortName(port);
    Sock1.setListen(true);
}

void TServer::shutdown()
{
    timer1.stop();
    for (int s = 1; s <= highestslot; ++s)
        disconnectsock(s);
    if (Sock1.Listen())
        Sock1.Close();
}

// --- sending ---

void TServer::sendTo(int slot, const QByteArray &text)
{
    const tplayer &p = player(slot);
    if (p.connected && p.connection && p.connection->hasHandle())
        p.connection->Send(frame(text));
}

void TServer::sendAll(const QByteArray &text)
{
    for (int s = 1; s <= highestslot; ++s)
        sendTo(s, text);
}

// --- accepting ---

void TServer::Sock1Accept(TSock * /*sender*/)
{
    int slot = 0;
    if (highestslot == 0) {
        slot = 1;
    } else {
        slot = highestslot;
        for (int s = 1; s <= highestslot; ++s) {
            if (!player(s).connected) {
                slot = s;
                break;
            }
        }
        if (player(slot).connected) {
            if (slot >= kMaxSlots) {
                // All nine slots are busy: the newcomer is told and let go.
                acceptingslot = kMaxSlots + 1;
                TSock *refused = Sock1.Accept();
                if (!refused)
                    return;
                refused->OnInfo = nullptr;
                refused->Send(frame(msg::full()));
                refused->Close();
                refused->deleteLater();
                return;
            }
            slot = highestslot + 1;
        }
    }
    acceptingslot = slot;
    TSock *sock = Sock1.Accept();
    if (!sock)
        return;
    highestslot = std::max(highestslot, slot);

    tplayer &p = player(slot);
    if (p.connection && p.connection != sock)
        p.connection->deleteLater();
    p.connection = sock;
    p.connected = true;
    p.connectionId = ++m_nextConnectionId;
    p.framer = MessageFramer(kMaxMessageBytes);
    p.queued = 0;
    sock->Tag = slot;
    sock->OnDisconnect = tempsock.OnDisconnect;
    sock->OnInfo = tempsock.OnInfo;
    sock->OnRead = [this](TSock *s, int n) { Sock1Read(s, n); };
    sendTo(slot, msg::sendlogininfo(slot));
}

// --- receiving and the queue ---

void TServer::Sock1Read(TSock *sender, int /*count*/)
{
    const int slot = sender->Tag;
    if (slot < 1 || slot > kMaxSlots || player(slot).connection != sender)
        return;
    tplayer &p = player(slot);
    const quint64 id = p.connectionId;
    for (QByteArray &text : p.framer.feed(sender->Text())) {
        receivedlist.append({slot, id, std::move(text)});
        if (++p.queued > kMaxQueuedPerConnection) {
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
    if (player(slot).connectionId == connectionId)
        player(slot).queued = 0;
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
        tplayer &p = player(q.slot);
        // Messages of a connection that has since closed have no sender any more.
        if (p.connectionId == q.connectionId) {
            --p.queued;
            if (p.connected)
                guarded([&] { dispatch(q.slot, q.text); });
        }
    }
    if (receivedlist.isEmpty())
        socktimer.stop();
    else if (!socktimer.isActive() || socktimer.interval() != kTickMs)
        socktimer.start(kTickMs);
}

void TServer::dispatch(int sender, const QByteArray &text)
{
    const Message m = parseMessage(text);
    if (m.command.isEmpty())
        return;
    using Handler = void (TServer::*)(int, const QByteArray &);
    static const std::pair<const char *, Handler> table[] = {
        {cmd::logininfo, &TServer::receivedlogininfo},
        {cmd::kickhim, &TServer::kickhim},
        {cmd::chat, &TServer::chat},
        {cmd::action, &TServer::action},
        {cmd::startgame, &TServer::startgame},
        {cmd::justwatch, &TServer::justwatch},
        {cmd::myword, &TServer::myword},
        {cmd::pass, &TServer::pass},
        {cmd::playasound, &TServer::playasound},
    };
    for (const auto &[word, handler] : table) {
        if (m.command == word) {
            (this->*handler)(sender, m.args);
            return;
        }
    }
}

// --- login ---

void TServer::receivedlogininfo(int sender, const QByteArray &args)
{
    FieldReader f(args);
    const int slot = f.numberField();
    const QByteArray version = f.field();
    const QByteArray name = f.rest();
    if (slot != sender)
        return; // a connection logs in only itself

    tplayer &p = player(slot);
    p.name = name;
    p.connected = true;
    Q_EMIT playerArrived(slot, name, p.connection ? p.connection->HostName() : QString());

    for (int s = 1; s <= highestslot; ++s)
        sendTo(s, msg::newplayerinfo(slot, name));
    for (int s = 1; s <= highestslot; ++s)
        if (s != slot && player(s).connected)
            sendTo(slot, msg::existingplayers(s, player(s).name));

    if (version != kGameVersion) {
        sendTo(1, msg::havewrongversion(name));
        sendTo(slot, msg::wrongversion());
    }

    if (!gameinprogress)
        return;
    if (roundphase == 1 && slot <= seatcount)
        sendTo(slot, msg::newword(slot, 0, p.currentword, patternOf(p.currentword)));
    QByteArray seats;
    for (int s = 1; s <= seatcount; ++s)
        if (player(s).connected || s == 2)
            seats += msg::statsTriple(s, player(s).total, player(s).filled);
    sendTo(slot, msg::loadstats(slot, secondsperround, m_countdown - 4, roundspergame, m_round,
                                roundphase, seats));
}

// --- removal and closing ---

void TServer::kickhim(int sender, const QByteArray &args)
{
    FieldReader f(args);
    const int from = f.numberField();
    const int target = f.numberField();
    if (sender != 1 || from != 1 || target < 1 || target > kMaxSlots)
        return;
    disconnectsock(target);
}

void TServer::disconnectsock(int slot)
{
    if (slot < 1 || slot > kMaxSlots)
        return;
    tplayer &p = player(slot);
    if (p.connected && p.connection)
        p.connection->Close();
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
    if (slot < 1 || slot > kMaxSlots || player(slot).connection != sender)
        return;
    // The second report after a peer close finds the slot already free.
    if (player(slot).connected)
        freeSlot(slot);
}

void TServer::freeSlot(int slot)
{
    tplayer &p = player(slot);
    for (int s = 1; s <= highestslot; ++s)
        if (s != slot)
            sendTo(s, msg::playerdisconnected(slot, p.name));
    if (!p.name.isEmpty())
        Q_EMIT playerLeft(slot, p.name, p.connection ? p.connection->HostName() : QString());
    p.connected = false;
    p.name.clear();
    p.watching = false;
    dropQueued(slot, p.connectionId);
    if (p.connection)
        p.connection->deleteLater();
}

// --- watching and relays ---

void TServer::justwatch(int sender, const QByteArray &args)
{
    FieldReader f(args);
    const int seat = f.numberField();
    const QByteArray mode = f.rest();
    if (seat < 1 || seat > seatcount)
        return;
    if (seat != sender && sender != 1)
        return; // only the host may set another seat to watch
    if (mode == "2") {
        player(seat).watching = false;
        sendAll(msg::justwatching(seat, mode));
    } else if (mode == "1" && gameinprogress) {
        player(seat).watching = true;
        sendAll(msg::justwatching(seat, mode));
    }
}

void TServer::chat(int sender, const QByteArray &args)
{
    FieldReader f(args);
    if (f.numberField() != sender)
        return;
    sendAll(msg::chatRelay(player(sender).name, f.rest()));
}

void TServer::action(int sender, const QByteArray &args)
{
    FieldReader f(args);
    if (f.numberField() != sender)
        return;
    sendAll(msg::actionRelay(player(sender).name, f.rest()));
}

void TServer::playasound(int sender, const QByteArray &args)
{
    FieldReader f(args);
    if (f.numberField() != sender)
        return;
    sendAll(msg::playasoundRelay(sender, f.rest()));
}
