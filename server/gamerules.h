#pragma once
// GameRules: the game as the server runs it, with no socket in sight. It keeps
// the player table (names, totals, words, watching), the board, the rounds with
// their phases and countdown, judges words, scores rounds and finds the winner.
// It is fed the messages of a slot (receive) and the round timer's ticks
// (timer1Timer), and answers by appending to its outbox: messages for one slot
// or for everyone, a connection to close, and the notes the server passes on
// (an arrival, a game start, a winner). Whoever owns the connections takes the
// outbox after every call and carries it out in order.
//
// Implemented across players.cpp (slots, logins, dispatch, watching, relays),
// roundengine.cpp (board, rounds, phases, passes) and judging.cpp (words,
// scoring, winner).
#include "message.h"
#include "random.h"

#include <QByteArray>
#include <QList>

#include <array>
#include <utility>

class TDictn;
class TargetList;

// Numbers of the table: slots 1..9 are used by connections (1..6 seats, 7..9
// spy slots); slot 10 only ever holds a refused connection.
inline constexpr int kMaxSlots = 9;
inline constexpr int kSeatCount = 6;
inline constexpr int kRoundsOnBoard = 20;
inline constexpr int kWordsPerRound = 10;

struct tplayer
{
    QByteArray name;
    bool connected = false;
    int total = 0;
    int roundpoints = 0;
    bool watching = false;
    QByteArray fallbackname;
    int currentword = 0;
    std::array<QByteArray, kWordsPerRound + 1> words; // word index 1..10
    int filled = 0;

    bool allFilled() const
    {
        for (int i = 1; i <= kWordsPerRound; ++i)
            if (words[static_cast<size_t>(i)].isEmpty())
                return false;
        return true;
    }
};

struct tword
{
    QByteArray target;
    QByteArray pattern;
};

// One answer of the rules, in the order it was given.
struct Outgoing
{
    enum class Kind {
        Send,        // text to slot, or to every connected slot when slot is kEveryone
        Close,       // the host removes slot: close its connection
        Arrived,     // slot logged in under the name in text
        GameStarted, // a game of rounds rounds of seconds seconds began
        GameWon,     // the game is decided; text is the winner's name
    };
    static constexpr int kEveryone = 0;

    Kind kind = Kind::Send;
    int slot = kEveryone;
    QByteArray text;
    int rounds = 0;
    int seconds = 0;

    bool operator==(const Outgoing &) const = default;
};

class GameRules
{
public:
    // The dictionary and target list are borrowed; either may be null (every
    // word is then refused, and no game can be drawn).
    explicit GameRules(const TDictn *spell = nullptr, const TargetList *words = nullptr);

    RandomGenerator &random() { return m_random; }

    // --- connections, as the server reports them ---
    // The slot a new connection gets: the lowest free one, else the next new
    // one; kMaxSlots + 1 when all nine are busy.
    int slotForNewcomer() const;
    // A connection was accepted into slot: it is told its number.
    void opened(int slot);
    // The connection of a connected slot closed: the others are told, the slot is free.
    void closed(int slot);
    // A connection that never logged in moves to another table: its slot is
    // free again and nobody is told (nobody heard of it).
    void vacate(int slot);

    // --- input ---
    // One received message of sender's connection (the dispatcher).
    void receive(int sender, const QByteArray &text);
    // The one-second round tick, while timer1Active().
    void timer1Timer();

    // The answers since the last call, oldest first.
    QList<Outgoing> takeOutbox() { return std::exchange(m_outbox, {}); }

    // --- handlers, with the sender's own slot ---
    void receivedlogininfo(int sender, const QByteArray &args);
    void kickhim(int sender, const QByteArray &args);
    void chat(int sender, const QByteArray &args);
    void action(int sender, const QByteArray &args);
    void justwatch(int sender, const QByteArray &args);
    void playasound(int sender, const QByteArray &args);
    void startgame(int sender, const QByteArray &args);
    void pass(int sender, const QByteArray &args);
    void myword(int sender, const QByteArray &args);

    // --- round engine ---
    void setboards();
    void startround();
    void findplayer();
    int findnextempty(int seat, int index) const;
    bool checkforalldone() const;
    bool checkforfirst(int seat) const;
    int checkforplaying() const;
    // --- judging and scoring ---
    void endround();
    bool checkforwin();
    static QByteArray converttoletter(int letter);

    // --- state ---
    const tplayer &player(int slot) const { return players[static_cast<size_t>(slot)]; }
    tplayer &player(int slot) { return players[static_cast<size_t>(slot)]; }
    const tword &board(int round, int index) const
    {
        return m_board[static_cast<size_t>(round)][static_cast<size_t>(index)];
    }
    int highestSlot() const { return highestslot; }
    bool gameInProgress() const { return gameinprogress; }
    int round() const { return m_round; }
    int roundsPerGame() const { return roundspergame; }
    int secondsPerRound() const { return secondsperround; }
    int countdown() const { return m_countdown; }
    int roundPhase() const { return roundphase; }
    int firstFinisher() const { return firstfinisher; }
    // The round timer: whether it runs, and how often it was (re)started, so
    // that its owner restarts a running timer's second when the rules do.
    bool timer1Active() const { return m_timer1On; }
    quint64 timer1Starts() const { return m_timer1Starts; }

private:
    void sendTo(int slot, const QByteArray &text);
    void sendAll(const QByteArray &text);
    void note(Outgoing::Kind kind, int slot, const QByteArray &text = {}, int rounds = 0, int seconds = 0);
    void startTimer1(int seconds, int phase);
    void stopTimer1() { m_timer1On = false; }
    // Reads the seat field of a word or a pass: true when it names the sender's
    // own seat while a round is running (words and passes count only then).
    bool mayPlay(int sender, vexlo::FieldReader &fields) const;
    const QByteArray &patternOf(int index) const;

    const TDictn *spell;
    const TargetList *listbox_words;
    RandomGenerator m_random;
    QList<Outgoing> m_outbox;

    std::array<tplayer, 12> players; // 1..11; 0 unused
    int highestslot = 0;
    int seatcount = kSeatCount;

    bool m_timer1On = false;
    quint64 m_timer1Starts = 0;
    int roundphase = 0; // the Tag of timer1: 1 running, 2 scores shown, 3 all done
    bool gameinprogress = false;
    int roundspergame = 5;
    int secondsperround = 60;
    int m_round = 0;
    int m_countdown = 0;
    int firstfinisher = 0;
    std::array<std::array<tword, kWordsPerRound + 1>, kRoundsOnBoard + 1> m_board;
};
