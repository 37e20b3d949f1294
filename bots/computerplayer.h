#pragma once
// ComputerPlayer: a computer opponent. It is an ordinary client of the game's
// message catalogue: it connects to a game server through the same GameLink as a
// person's session (the place at a table, the login with the game's version and
// its name, the decoded messages) and plays only through "CMD_myword" and
// "CMD_pass", so a server cannot tell it from a person. For
// each word the server gives it, it thinks, types the five letters at its
// speed, and sends a word it knows that fits; it does not know the target.
// Everything runs on the event loop: one timer, no threads.
#include "botbrain.h"
#include "gamelink.h"
#include "servermessages.h"

#include <QByteArray>
#include <QMap>
#include <QObject>
#include <QSet>
#include <QString>
#include <QTimer>

class ComputerPlayer : public QObject
{
    Q_OBJECT
public:
    enum class State {
        Offline,  // not connected, or the connection closed
        Idle,     // connected, nothing to do (no round, list complete, time up, watching)
        Thinking, // looking for a word for the current pattern
        Typing,   // typing the chosen word
        Waiting,  // the word or the pass went out; waiting for the answer
    };
    Q_ENUM(State)

    ComputerPlayer(const QByteArray &name, BotSpeed speed, quint64 seed,
                   const WordIndex &index = WordIndex::shared(), QObject *parent = nullptr);
    ~ComputerPlayer() override;

    // Connects to a game server; the login follows when the server gives a slot.
    void connectTo(const QString &host, quint16 port);
    // On a server of many tables: the table to sit at (0, the default: wherever
    // the server places it). Set before connectTo.
    void setTable(int table) { m_table = table; }
    int table() const { return m_table; }
    // Closes the connection (the server then frees the seat).
    void leave();

    // Length of one second of the player's clock in milliseconds (1000; shorter
    // to play quick games in tests, as VEXLO_SECOND_MS does for the server).
    void setSecondLength(int ms) { m_secondMs = ms > 0 ? ms : 1000; }
    int secondLength() const { return m_secondMs; }

    QByteArray name() const { return m_name; }
    BotSpeed speed() const { return m_brain.speed(); }
    int slot() const { return m_link.slot(); }
    bool isLoggedIn() const { return m_link.loggedIn() && m_state != State::Offline; }
    State state() const { return m_state; }
    int currentIndex() const { return m_index; }
    QByteArray currentPattern() const { return m_pattern; }
    BotBrain &brain() { return m_brain; }

    // Feeds one received message (without terminator), as the connection does.
    void handleMessage(const QByteArray &text) { m_link.deliver(text); }

Q_SIGNALS:
    void loggedIn(int slot);
    void wordSent(int index, const QByteArray &pattern, const QByteArray &word);
    void passed(int index, const QByteArray &pattern);
    void refused(const QByteArray &word, int reason);
    void chatSent(const QByteArray &text);
    // The connection closed or could not be made (removed by the host, the
    // server went away, no free seat, or leave()).
    void disconnected();

private:
    void receive(const vexlo::DecodedMessage &d);
    void onTimer();
    void gone();
    void send(const QByteArray &text) { m_link.send(text); }
    bool mine(int seat) const { return seat == slot(); }
    bool mayPlay() const { return m_running && !m_watching && slot() >= 1 && slot() <= kSeats; }
    void work(int index, const QByteArray &pattern);
    void think(bool retry);
    void stopPlaying();
    void startTimer(int gameMs);
    bool hopelessLap(int index) const;

    // Server messages.
    void onLoggedIn(int slot);
    void startround();
    void newword(const vexlo::msg::NewWord &m);
    void invalid(const vexlo::msg::Invalid &m);
    void allfilled(int seat);
    void roundOver();
    void loadstats(const vexlo::msg::LoadStats &m);
    void justwatching(const vexlo::msg::JustWatching &m);
    void winner();

    static constexpr int kSeats = 6;

    QByteArray m_name;
    BotBrain m_brain;
    GameLink m_link{GameLink::Player::Computer};
    QTimer m_timer;     // thinking and typing
    QTimer m_chatTimer; // the one "Good game!"
    int m_secondMs = 1000;

    int m_table = 0;
    bool m_goneReported = false;
    State m_state = State::Offline;
    bool m_running = false;  // a round runs and this player may still play in it
    bool m_roundEnded = false; // time-up, all done or scores since the last round start
    bool m_watching = false; // the seat sits out
    bool m_saidGoodGame = false;

    int m_index = 0;             // the word index the server gave
    QByteArray m_pattern;        // and its pattern
    BotBrain::Move m_move;       // what is being thought or typed
    QByteArray m_sentWord;       // the word waiting for an answer
    QMap<int, QByteArray> m_blanks; // word indexes seen this round and not filled
    QSet<int> m_passedHopeless;  // indexes passed with no known word since the last accepted word
};
