#pragma once
// The round as this window knows it: the round and the rounds of the game, the
// phase, the current word's index and pattern, the letters typed for it, whose
// turn the board is (the input owner), board or chat typing, and the countdown
// (the creation time, the seconds left and the timer bar's step). Qt Core only:
// the round flow writes it, the board shows it.
#include <QByteArray>
#include <QObject>
#include <QString>

#include <array>

class RoundModel : public QObject
{
    Q_OBJECT
public:
    static constexpr int WordLength = 5;
    // The timer bar's full width in pixels; it shrinks by barStep a second.
    static constexpr int BarWidth = 258;

    using QObject::QObject;

    // --- the game and the round ---
    // A game starts (or a late window catches up): the rounds of the game and the
    // seconds a round lasts, which give the bar's step.
    void startGame(const QString &roundTotal, int creationTime);
    QString roundTotal() const { return m_roundTotal; }
    // A game is on from its start (or the catch-up) until its winner is told.
    bool gameRunning() const { return m_gameRunning; }
    void endGame() { m_gameRunning = false; }
    // A new session in the same window: everything as the window starts.
    void reset();
    int creationTime() const { return m_creationTime; }
    int barStep() const { return m_barStep; }
    // The round as the server wrote it (shown as it stands), and the line the
    // board shows for it: "Round: 2 of 5", with the rounds of the game as they
    // were when the round began.
    void setRound(const QString &round);
    QString round() const { return m_round; }
    QString roundText() const { return m_roundText; }
    // 1 while the players create words, 2 while they look at the scores.
    void setPhase(int phase) { m_phase = phase; }
    int phase() const { return m_phase; }

    // --- the current word ---
    // A word to create: ignored without a pattern or an index.
    void setWord(int index, const QByteArray &pattern);
    int wordIndex() const { return m_wordIndex; }
    QByteArray pattern() const { return m_pattern; }
    // Word n (1..10) of this round was accepted; the count starts again with
    // each round.
    void markWordDone(int n);
    int wordsDone() const { return m_wordsDone; }

    // --- the status line ("Invalid Word", "Time is Up.") ---
    // Told each time it is set, also when the text is the same again.
    void setStatus(const QString &text);
    QString status() const { return m_status; }

    // --- the letters typed (tile numbers 1..26) ---
    // False when the word is full already.
    bool typeLetter(int tile);
    // False when nothing was typed.
    bool eraseLetter();
    void clearLetters();
    int letterCount() const { return m_count; }
    // Tile numbers of the five places, 0 where nothing is typed.
    std::array<int, WordLength> letters() const { return m_letters; }
    bool wordComplete() const { return m_count == WordLength; }

    // --- whose turn, and where typing goes ---
    // The slot whose board takes keys; 0 for nobody.
    void setInputOwner(int slot) { m_inputOwner = slot; }
    int inputOwner() const { return m_inputOwner; }
    bool boardOpenFor(int slot) const { return m_inputOwner != 0 && m_inputOwner == slot; }
    void setChatMode(bool chat);
    bool chatMode() const { return m_chatMode; }

    // --- the countdown ---
    // The seconds a countdown starts from; shown from its first tick.
    void startCountdown(int seconds) { m_secondsLeft = seconds; }
    // One second less; never below 0.
    void tick();
    int secondsLeft() const { return m_secondsLeft; }

Q_SIGNALS:
    // A round began (setRound).
    void roundChanged();
    void lettersChanged();
    // The letters were cleared (a new word, or the player cleared them).
    void lettersCleared();
    // A word to create was set (setWord).
    void wordChanged();
    void wordDone(int n);
    void statusChanged(const QString &text);
    void chatModeChanged(bool chat);
    // A second passed (startCountdown alone shows nothing new).
    void ticked(int secondsLeft);

private:
    QString m_roundTotal;
    QString m_round;
    QString m_roundText = QStringLiteral("Round: 0 of 0");
    int m_phase = 0;
    int m_creationTime = 0;
    int m_barStep = 0;
    int m_wordIndex = 0;
    QByteArray m_pattern;
    int m_wordsDone = 0;
    QString m_status;
    std::array<int, WordLength> m_letters{};
    int m_count = 0;
    int m_inputOwner = 0;
    bool m_chatMode = true;
    int m_secondsLeft = 0;
    bool m_gameRunning = false;
};
