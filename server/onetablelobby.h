#pragma once
// OneTableLobby: the lobby messages as a server of one table answers them (the
// headless server without --tables, and the window that hosts), so that a
// client looking for tables finds its one table, number 1. A client that never
// sends them never hears of them.
//
// CMD_tables+ gives the list and pushes every change of the table after it. A
// connection that has not logged in gives up its slot to look (nobody at the
// table heard of it) and waits aside, without a slot, until it asks for a
// place. CMD_sit+1 and CMD_watch+1 place a connection, waiting aside or in a
// slot, in the lowest free seat or watcher slot: CMD_seated+1+SLOT, then
// CMD_sendlogininfo+SLOT as for a newcomer. CMD_newtable+ and other tables are
// refused with the many-table server's words.
#include "framing.h"
#include "lobby.h"
#include "message.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <array>
#include <functional>

class TServer;
class TSock;

class OneTableLobby : public QObject
{
    Q_OBJECT
public:
    // Connections waiting aside, at most; a further one looks from its slot.
    static constexpr int MostLookers = 32;
    static constexpr int RequestsPerSecond = 5;

    explicit OneTableLobby(TServer &server);
    ~OneTableLobby() override;

    static bool isRequest(const QByteArray &text);
    // A lobby request of a slot's connection, in its turn in the queue.
    void request(int slot, const QByteArray &text);
    // The table may have changed: the listeners hear of it once this pass of
    // the event loop is over.
    void tableMayHaveChanged();
    void setGameOver(bool over);
    // Closes every connection waiting aside and forgets the listeners.
    void shutdown();

    int lookers() const { return static_cast<int>(m_lookers.size()); }
    vexlo::TableInfo info() const;

private:
    // A connection's lobby requests in the second they are counted in.
    struct Rate
    {
        qint64 window = -1000;
        int requests = 0;
    };
    struct Looker
    {
        QPointer<TSock> sock;
        vexlo::MessageFramer framer{4096};
        QString peer;
        Rate rate;
    };
    struct SlotState
    {
        quint64 connection = 0; // the slot's connection these belong to
        bool listening = false;
        Rate rate;
    };

    int lookerIndex(TSock *sock) const;
    SlotState &stateOf(int slot);
    bool withinRate(Rate &rate, const std::function<void(const QByteArray &)> &say);
    void lookerRequest(TSock *sock, const QByteArray &text);
    void lookerRead(TSock *sock);
    void lookerClosed(TSock *sock);
    // The slot's connection leaves its slot to wait aside, with what it sent
    // after; false when too many wait already.
    bool setAside(int slot, QList<QByteArray> *rest);
    // The messages of the slot's connection still in the queue, taken out.
    QList<QByteArray> takeQueued(int slot);
    // The lowest free slot of a sit (seats) or watch (watcher slots) request;
    // -1 when ownSlot is such a slot already; 0 with the refusal said.
    int freeSlot(const vexlo::Message &m, int ownSlot, const std::function<void(const QByteArray &)> &say) const;
    // Puts the socket in the free slot, as a newcomer, with what it sent after.
    void place(TSock *sock, const Looker &from, int slot, const QList<QByteArray> &rest);
    void enqueue(int slot, const QList<QByteArray> &texts);
    QByteArray listMessages() const;
    void push();

    TServer &m_server;
    QList<Looker> m_lookers;
    std::array<SlotState, 12> m_slots{};
    QTimer m_pushTimer;
    vexlo::TableInfo m_shown; // what the listeners last heard
    bool m_gameOver = false;
    QElapsedTimer m_clock;
};
