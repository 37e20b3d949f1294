#pragma once
// The round as this window knows it: the round and the rounds of the game, the
// phase, the current word's index and pattern, the letters typed for it, whose
// turn the board is (the input owner), board or chat typing, and the countdown
// (the creation time, the seconds left and the timer bar's step), and what the
// board shows: the tiles of its two rows, the check marks, the word label, the
// praise, the pass and clear buttons and the status line. Qt Core only: the
// round controller writes it, the board view and the status line show it.
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
    // A word to create: ignored without a pattern or an index. The pattern row
    // shows it (the blank tile at its gaps) and the word label its place.
    void setWord(int index, const QByteArray &pattern);
    int wordIndex() const { return m_wordIndex; }
    QByteArray pattern() const { return m_pattern; }
    // Word n (1..10) of this round was accepted; the count starts again with
    // each round.
    void markWordDone(int n);
    int wordsDone() const { return m_wordsDone; }

    // --- the letters typed (tile numbers 1..26) ---
    // The answer row shows what is typed: a letter fills its place, an erased
    // place shows the blank tile, clearing blanks the whole row.
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

    // --- what the board shows ---
    // A place of a row that shows no picture at all.
    static constexpr int NoTile = -1;
    // Tile numbers (0 the blank tile) or NoTile, places 1..5 at 0..4.
    std::array<int, WordLength> patternTiles() const { return m_patternTiles; }
    std::array<int, WordLength> answerTiles() const { return m_answerTiles; }
    // Both rows show nothing.
    void emptyRows();
    // Places that show nothing get the blank tile (a new tile set was drawn).
    void fillEmptyTiles();
    // The word's place shown by the word label (1..10); 0 for none.
    int wordLabel() const { return m_wordLabel; }
    void clearWordLabel();
    // Check mark n (1..10) shows a word done.
    void check(int n);
    bool checked(int n) const { return n >= 1 && n <= 10 && m_checks[size_t(n)]; }
    void clearChecks();
    void setPraise(bool shown);
    bool praised() const { return m_praised; }
    void setButtonsShown(bool shown);
    bool buttonsShown() const { return m_buttonsShown; }
    // The status line under the board.
    void setStatus(const QString &text);
    QString status() const { return m_status; }
    static QString welcome() { return QStringLiteral("Welcome to Vexlo by Quorbit Software"); }

Q_SIGNALS:
    // A round began (setRound).
    void roundChanged();
    void lettersChanged();
    // The tiles of the rows changed.
    void tilesChanged();
    // Check marks, word label, praise or buttons changed.
    void marksChanged();
    void statusChanged(const QString &text);
    // A new session: the countdown as the window starts (a full bar).
    void countdownReset();
    // The letters were cleared (a new word, or the player cleared them).
    void lettersCleared();
    // A word to create was set (setWord).
    void wordChanged();
    void wordDone(int n);
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
    std::array<int, WordLength> m_letters{};
    int m_count = 0;
    int m_inputOwner = 0;
    bool m_chatMode = true;
    int m_secondsLeft = 0;
    bool m_gameRunning = false;
    std::array<int, WordLength> m_patternTiles{NoTile, NoTile, NoTile, NoTile, NoTile};
    std::array<int, WordLength> m_answerTiles{NoTile, NoTile, NoTile, NoTile, NoTile};
    int m_wordLabel = 0;
    std::array<bool, 11> m_checks{};
    bool m_praised = false;
    bool m_buttonsShown = false;
    QString m_status = welcome();
};
