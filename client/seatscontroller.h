#pragma once
// SeatsController: who sits where, with no widget. It takes arrivals, departures
// and "just watching" marks, keeps the seats model (and the score panel's column
// order in it), asks the server to set a player to watch or to remove one, and
// seats the computer players a host adds.
#include "computerseats.h"
#include "servermessages.h"
#include "seatsmodel.h"

#include <QObject>

class Preferences;
class Session;

class SeatsController : public QObject
{
    Q_OBJECT
public:
    SeatsController(Session &session, Preferences &preferences, QObject *parent = nullptr);

    SeatsModel &model() { return m_seats; }
    const SeatsModel &model() const { return m_seats; }
    ComputerSeats &computerPlayers() { return *m_computers; }

    // A game message; those of other parts are let go.
    void receive(const vexlo::DecodedMessage &d);

    // --- what the player asks for ---
    // Options -> "Just Watch": this player watches, or plays again.
    void toggleJustWatch();
    // The host sets a seat to watch, or back to play.
    void setJustWatch(int slot, bool watching);
    // The host removes the player of a slot (a seat or a watcher).
    void remove(int slot);
    // File -> "Add Computer Player": one more at the chosen speed.
    void addComputerPlayer();
    bool canAddComputerPlayer() const;

    // Someone other than this player is connected.
    bool othersConnected() const;
    // The other players seated now (the tally's check list).
    QStringList opponents() const;

Q_SIGNALS:
    void line(const QString &text);
    void sound(const QString &name);
    // A watcher arrived or left (the spy list shows them).
    void watcherArrived(int slot, const QString &name);
    void watcherLeft(int slot, const QString &name);
    // Whether a computer player can be added may have changed.
    void computerPlayersChanged();

private:
    void arrive(int slot, const QString &name);
    void depart(int slot, const QString &name);
    void watching(const vexlo::msg::JustWatching &m);
    // This player's seat takes the first column of the score panel.
    void swapOwnColumn();

    Session &m_session;
    Preferences &m_preferences;
    SeatsModel m_seats;
    ComputerSeats *m_computers = nullptr;
};
