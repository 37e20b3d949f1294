#pragma once
// TServer: the game server every copy of the program carries. It comes to life
// when the host makes its listening socket listen: it accepts connections into
// numbered slots, logs players in, relays chat, actions and sounds, and runs the
// rounds of a game. Everything runs on the event loop; received messages wait in
// `receivedlist` and are handled one per `socktimer` tick.
//
// Implemented across session.cpp (slots, logins, dispatch, relays),
// roundengine.cpp (board, rounds, phases, passes) and judging.cpp (words,
// scoring, winner).
#include "framing.h"
#include "message.h"
#include "random.h"
#include "tsock.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <array>
#include <functional>

class TDictn;
class TargetList;

// Numbers of the table: slots 1..9 are used by connections (1..6 seats, 7..9
// spy slots); slot 10 only ever holds a refused connection.
inline constexpr int kMaxSlots = 9;
inline constexpr int kSeatCount = 6;
inline constexpr int kRoundsOnBoard = 20;
inline constexpr int kWordsPerRound = 10;
// Bounds against a hostile peer: bytes kept of one message, and messages one
// connection may have waiting before it is dropped.
inline constexpr qsizetype kMaxMessageBytes = 4096;
inline constexpr int kMaxQueuedPerConnection = 100;

struct tplayer
{
    QByteArray name;
    bool connected = false;
    QPointer<TSock> connection;
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

    // Per connection: which accept this is, its unfinished bytes, and how many of
    // its messages wait in the queue.
    quint64 connectionId = 0;
    vexlo::MessageFramer framer{kMaxMessageBytes};
    int queued = 0;
};

struct tword
{
    QByteArray target;
    QByteArray pattern;
};

class TServer : public QObject
{
    Q_OBJECT
public:
    // The dictionary and target list are borrowed; either may be null (every
    // word is then refused, and no game can be drawn).
    explicit TServer(const TDictn *spell = nullptr, const TargetList *words = nullptr,
                     QObject *parent = nullptr);
    ~TServer() override;

    // Makes Sock1 listen on the port (decimal text; "0" picks a free one).
    // Throws ESockException ("Listen - Error Binding Socket", ...).
    void startListening(const QString &port);
    quint16 listeningPort() const { return Sock1.localPort(); }
    // Closes every connection and the listener.
    void shutdown();

    RandomGenerator &random() { return m_random; }
    // Length of one game second in milliseconds (1000; shorter for quick test games).
    void setSecondLength(int ms) { timer1.setInterval(ms); }

    // --- socket events ---
    void Sock1Accept(TSock *sender);
    void Sock1Read(TSock *sender, int count);
    void tempsockDisconnect(TSock *sender);
    void tempsockInfo(TSock *sender, TSocketInfo info, const QString &msg);
    void disconnectsock(int slot);

    // --- timers (tests call these directly instead of waiting) ---
    void socktimerTimer();
    void timer1Timer();

    // --- handlers, with the sender's own slot (its connection's Tag) ---
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

    // --- state, readable by tests ---
    const tplayer &player(int slot) const { return players[static_cast<size_t>(slot)]; }
    tplayer &player(int slot) { return players[static_cast<size_t>(slot)]; }
    const tword &board(int round, int index) const
    {
        return m_board[static_cast<size_t>(round)][static_cast<size_t>(index)];
    }
    int highestSlot() const { return highestslot; }
    qsizetype queueLength() const { return receivedlist.size(); }
    // Messages taken out of the queue so far.
    quint64 messagesTaken() const { return m_taken; }
    bool gameInProgress() const { return gameinprogress; }
    int round() const { return m_round; }
    int roundsPerGame() const { return roundspergame; }
    int secondsPerRound() const { return secondsperround; }
    int countdown() const { return m_countdown; }
    int roundPhase() const { return roundphase; }
    int firstFinisher() const { return firstfinisher; }
    bool timer1Active() const { return timer1.isActive(); }
    bool socktimerActive() const { return socktimer.isActive(); }

    TSock Sock1;
    TSock tempsock;

Q_SIGNALS:
    void playerArrived(int slot, const QByteArray &name, const QString &peerAddress);
    void playerLeft(int slot, const QByteArray &name, const QString &peerAddress);

private:
    struct Queued
    {
        int slot;
        quint64 connectionId;
        QByteArray text;
    };

    void sendTo(int slot, const QByteArray &text);
    void sendAll(const QByteArray &text);
    void scheduleDispatch();
    void dispatch(int sender, const QByteArray &text);
    void freeSlot(int slot);
    void dropQueued(int slot, quint64 connectionId);
    void startTimer1(int seconds, int phase);
    // Reads the seat field of a word or a pass: true when it names the sender's
    // own seat while a round is running (words and passes count only then).
    bool mayPlay(int sender, vexlo::FieldReader &fields) const;
    const QByteArray &patternOf(int index) const;

    const TDictn *spell;
    const TargetList *listbox_words;
    RandomGenerator m_random;

    std::array<tplayer, 12> players; // 1..11; 0 unused
    int highestslot = 0;
    int acceptingslot = 0;
    int seatcount = kSeatCount;
    quint64 m_nextConnectionId = 0;

    QList<Queued> receivedlist;
    quint64 m_taken = 0;
    QTimer socktimer;
    QElapsedTimer m_sinceTick;

    QTimer timer1;
    int roundphase = 0; // the Tag of timer1: 1 running, 2 scores shown, 3 all done
    bool gameinprogress = false;
    int roundspergame = 5;
    int secondsperround = 60;
    int m_round = 0;
    int m_countdown = 0;
    int firstfinisher = 0;
    std::array<std::array<tword, kWordsPerRound + 1>, kRoundsOnBoard + 1> m_board;
};
