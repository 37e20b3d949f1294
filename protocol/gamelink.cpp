#include "gamelink.h"

#include "catalogue.h"
#include "errorreport.h"
#include "lobby.h"
#include "message.h"

#include <QTimerEvent>

#include <algorithm>

using namespace vexlo;

GameLink::GameLink(Player player, QObject *parent) : QObject(parent), m_player(player)
{
    m_sock.OnRead = [this](TSock *, int) { onRead(); };
    m_sock.OnInfo = [this](TSock *, TSocketInfo kind, const QString &text) { onInfo(kind, text); };
}

GameLink::~GameLink()
{
    // Handlers must not reach a half-destroyed link.
    m_sock.OnRead = nullptr;
    m_sock.OnInfo = nullptr;
}

void GameLink::addReceiver(std::function<void(const DecodedMessage &)> receiver)
{
    m_receivers.append(std::move(receiver));
}

// --- connecting and closing ---

void GameLink::askForPlace(Place place, int table)
{
    m_placing = true;
    m_place = place;
    m_wantedTable = table;
}

void GameLink::open(const QString &host, const QString &port)
{
    m_sock.setHostName(host);
    m_sock.setPortName(port);
    m_sock.Open();
}

void GameLink::send(const QByteArray &text)
{
    // A computer player's move to a connection already gone is let go; a
    // person's is an error, as the socket says it.
    if (m_player == Player::Computer && !m_sock.Connected())
        return;
    m_sock.Send(frame(text));
}

void GameLink::close()
{
    m_placeTimer.stop();
    m_leaving = true;
    m_sock.Close();
    m_leaving = false;
}

void GameLink::reset()
{
    m_queueTimer.stop();
    if (m_sock.hasHandle())
        close();
    m_placeTimer.stop();
    m_queue.clear();
    m_queueBytes = 0;
    m_framer = MessageFramer(4096);
    m_slot = 0;
    m_loggedIn = false;
    m_placing = false;
    m_table = 0;
    m_loginName.clear();
}

void GameLink::stop()
{
    m_stopped = true;
    m_queueTimer.stop();
    m_queue.clear();
    m_queueBytes = 0;
}

void GameLink::onInfo(TSocketInfo kind, const QString &text)
{
    if (text == QLatin1String("Socket Closed")) {
        m_placeTimer.stop();
        if (!m_leaving)
            Q_EMIT closedByServer();
        return;
    }
    if (kind == TSocketInfo::Connect) {
        if (m_placing) {
            // The place is asked for at once; the server has a while to answer.
            send(m_place == Place::NewTable ? msg::newtable()
                 : m_place == Place::Watch  ? msg::watch(m_wantedTable)
                                            : msg::sit(m_wantedTable));
            m_placeTimer.start(PlaceSeconds * 1000, this);
        }
        Q_EMIT connectedToServer();
    } else if (kind == TSocketInfo::Error && !m_sock.Connected()) {
        Q_EMIT connectFailed(text);
    }
}

// --- receiving ---

void GameLink::onRead()
{
    const QList<QByteArray> messages = m_framer.feed(m_sock.Text());
    if (m_player == Player::Computer) {
        for (const QByteArray &m : messages) {
            if (!m_sock.hasHandle())
                break; // closed by what came before
            dispatch(m);
        }
        return;
    }
    for (const QByteArray &m : messages) {
        m_queueBytes += m.size();
        m_queue.append(m);
    }
    if (m_queue.size() > MaxWaiting || m_queueBytes > MaxWaitingBytes) {
        Q_EMIT overflowed(QStringLiteral("Too many messages from the server are waiting (more than %1, or "
                                         "more than 16 MB); the connection is closed.")
                              .arg(MaxWaiting));
        m_queue.clear();
        m_queueBytes = 0;
        m_sock.Close(); // "Socket Closed": as when the server goes
        return;
    }
    if (!m_queue.isEmpty() && !m_queueTimer.isActive() && !m_stopped)
        m_queueTimer.start(1, this);
}

void GameLink::deliver(const QByteArray &text)
{
    if (m_player == Player::Computer) {
        dispatch(text);
        return;
    }
    m_queueBytes += text.size();
    m_queue.append(text);
    if (!m_queueTimer.isActive() && !m_stopped)
        m_queueTimer.start(1, this);
}

void GameLink::tick()
{
    if (m_queue.isEmpty())
        return;
    const QByteArray text = m_queue.takeFirst();
    m_queueBytes = m_queue.isEmpty() ? 0 : std::max<qint64>(0, m_queueBytes - text.size());
    dispatch(text);
}

void GameLink::timerEvent(QTimerEvent *event)
{
    if (event->timerId() == m_queueTimer.timerId()) {
        tick();
        if (m_queue.isEmpty())
            m_queueTimer.stop();
    } else if (event->timerId() == m_placeTimer.timerId()) {
        m_placeTimer.stop();
        guarded([this] { givePlaceUp(); });
    } else {
        QObject::timerEvent(event);
    }
}

void GameLink::dispatch(const QByteArray &text)
{
    if (m_placing) {
        placing(text);
        return;
    }
    // No command word, or one nobody knows: ignored.
    const DecodedMessage d = decodeServerMessage(text);
    if (!d.message)
        return;
    guarded([&] {
        const ServerMessage &m = *d.message;
        if (const auto *request = std::get_if<msg::SendLoginInfo>(&m)) {
            login(d, request->slot);
        } else if (std::holds_alternative<msg::Full>(m)) {
            Q_EMIT refusedFull();
        } else {
            for (const auto &receive : std::as_const(m_receivers))
                receive(d);
        }
    });
}

void GameLink::login(const DecodedMessage &d, int slot)
{
    if (!d.ok()) {
        if (m_player == Player::Person)
            d.raise();
        return;
    }
    m_slot = slot;
    if (m_player == Player::Computer && (slot < 1 || slot > Seats)) {
        close();
        Q_EMIT noSeat(slot);
        return;
    }
    m_loggedIn = true;
    send(msg::logininfo(m_slot, kGameVersion, m_loginName));
    Q_EMIT loggedInTo(m_slot);
}

// --- a place at a table ---

// Until the place asked for is given, the slot the connection was put in at
// first is not this player's: its login request and whatever reaches it there
// are let go.
void GameLink::placing(const QByteArray &text)
{
    const Message m = parseMessage(text);
    if (m.command == cmd::seated) {
        TableDirectory answer;
        if (!answer.apply(text))
            return;
        m_placing = false;
        m_placeTimer.stop();
        m_table = answer.seatedTable();
        Q_EMIT placed(m_table);
    } else if (m.command == cmd::lobbyerror) {
        constexpr int kMostShown = 200;
        m_placing = false;
        if (m_sock.hasHandle())
            close();
        Q_EMIT placeRefused(QString::fromLatin1(m.args.left(kMostShown)));
    } else if (m.command == "CMD_full") {
        m_placing = false;
        m_placeTimer.stop();
        Q_EMIT refusedFull();
    }
}

void GameLink::givePlaceUp()
{
    if (!m_placing)
        return;
    m_placing = false;
    if (m_sock.hasHandle())
        close();
    Q_EMIT placeRefused(QStringLiteral("the server did not answer the request for a place."));
}
