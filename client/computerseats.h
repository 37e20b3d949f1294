#pragma once
// ComputerSeats: the computer players a hosting window seats in its own game.
// They join the game server of this process over 127.0.0.1 and its port like
// any other player, at the speed of the "Bot Speed" menu, in a running game as
// late arrivals; the host removes one as any player. In a solo game their
// number is kept (the window stores it), so the next solo start brings them
// back. When the session ends they all leave. No widgets: the window shows
// what this reports.
#include "botmanager.h"
#include "computerplayer.h"

#include <QList>
#include <QObject>
#include <QPointer>

class TServer;

class ComputerSeats : public QObject
{
    Q_OBJECT
public:
    static constexpr int kSeats = 6;

    explicit ComputerSeats(QObject *parent = nullptr);

    // The window hosts the game of this server (it listens already).
    void hosting(TServer *server);
    // A solo game keeps the number of its computer players.
    void setSolo(bool solo) { m_solo = solo; }
    bool solo() const { return m_solo; }
    bool isHosting() const { return !m_server.isNull(); }
    // The session is over: every computer player leaves; the kept number stays.
    void endSession();

    // A seat is free for one more computer player: no connection holds it, and
    // no computer player still on its way will take it.
    bool seatFree() const;
    // A new computer player at the speed; null when nothing is hosted or no seat is free.
    ComputerPlayer *add(BotSpeed speed);

    // The number kept from the last solo game (from the settings file).
    void setKept(int count) { m_kept = count; }
    int kept() const { return m_kept; }
    // At a solo start: brings back the kept number, as far as seats are free.
    // Once per session; nothing outside a solo game.
    void restore(BotSpeed speed);

    BotManager &manager() { return m_bots; }
    // The computer players of this session (those still leaving an ended one not counted).
    int count() const { return static_cast<int>(m_session.size()); }

Q_SIGNALS:
    // Seats or computer players changed: whether one can be added may differ.
    void changed();
    // The number of computer players in a solo game changed (not while the
    // kept ones come back, not when the session ends): it is to be kept.
    void keptChanged(int count);

private:
    void countChanged();

    BotManager m_bots;
    QList<QPointer<ComputerPlayer>> m_session;
    QPointer<TServer> m_server;
    bool m_solo = false;
    bool m_restored = false;
    bool m_restoring = false;
    int m_kept = 0;
};
