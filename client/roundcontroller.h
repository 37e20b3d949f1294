#pragma once
// RoundController: the rounds as this program plays them, with no widget. It
// takes the round messages (a game's start, each round, the current word, words
// accepted and refused, the list complete, word counts, the end of a round, the
// scores, the winner, the catch-up of a late arrival), the player's keys on the
// board (letters, backspace, clear, pass, Enter, Tab) and the countdown's tick,
// and keeps the round model, which the board view shows.
//
// Implemented in roundcontroller.cpp (the messages) and roundentry.cpp (word
// entry, sending, clearing, passing, the countdown).
#include "servermessages.h"
#include "roundmodel.h"
#include "scorereport.h"

#include <QObject>
#include <QTimer>

class SeatsModel;
class Session;
namespace vexlo {
struct GameSettings;
}

class RoundController : public QObject
{
    Q_OBJECT
public:
    // Key codes as the board knows them (the Windows virtual key codes); letters
    // are 'A'..'Z'.
    enum Key : int {
        KeyBackspace = 8,
        KeyTab = 9,
        KeyEnter = 13,
        KeySpace = 32,
        KeyZero = 48,
        KeyOne = 49,
        KeyEquals = 187, // the key that also carries "+"
    };

    // options: "Auto Erase Invalid Word" and the turn sound (it outlives this).
    RoundController(Session &session, SeatsModel &seats, const vexlo::GameSettings &options,
                    QObject *parent = nullptr);

    RoundModel &model() { return m_model; }
    const RoundModel &model() const { return m_model; }
    // The last round's scores as the server reported them.
    const ScoreReport &lastScores() const { return m_lastScores; }

    // A game message; those of other parts are let go.
    void receive(const vexlo::DecodedMessage &d);

    // --- the player's keys ---
    // True when the board is this player's to type on.
    bool boardOpen() const;
    // The length of the countdown's second in ms (1000; shorter for quick test games).
    void setSecondLength(int ms) { m_countdown.setInterval(ms); }
    // True when a key pressed now goes to the board (none of the menus'
    // shortcuts may take it).
    bool takesKey(int key) const;
    // One key press; true when the board took it.
    bool key(int key);
    void submit();
    void clearWord();
    void pass();
    // "Type In Chat": keys go to the chat instead of the board, or back.
    void toggleTyping();
    // One second of the countdown (its timer calls this).
    void tick();
    bool countingDown() const { return m_countdown.isActive(); }

Q_SIGNALS:
    // One of the game's sounds ("turn", "goodword", ...).
    void sound(const QString &name);
    // A line for the chat in the system colour.
    void line(const QString &text);
    // A game started: no scores, no winner.
    void gameStarted();
    // A round started: the score panel goes.
    void roundStarted();
    // The scores of a round arrived (shown with scoresShown; a damaged report
    // is filled in but not shown).
    void scoresArrived(const ScoreReport &report);
    void scoresShown();
    // The winner is told, with the text the winner panel shows.
    void winnerTold(const QString &text);
    // The tally's record of a finished game ("addtomine" when this player won).
    void gameRecorded(const QString &text);

private:
    // Each takes its message and what the decoder made of it: a field that is no
    // number stops the handler where reading that field would, what it did before
    // that standing.
    void startGame(const vexlo::msg::StartGame &m, const vexlo::DecodedMessage &d);
    void startRound(const vexlo::msg::StartRound &m);
    void nextPlayer(const vexlo::msg::NextPlayer &m, const vexlo::DecodedMessage &d);
    void newWord(const vexlo::msg::NewWord &m, const vexlo::DecodedMessage &d);
    void invalid(const vexlo::msg::Invalid &m, const vexlo::DecodedMessage &d);
    void allFilled(const vexlo::msg::AllFilled &m, const vexlo::DecodedMessage &d);
    void timeUp();
    void allDone();
    void postScores(const vexlo::msg::PostScores &m, const vexlo::DecodedMessage &d);
    void winner(const vexlo::msg::Winner &m);
    void loadStats(const vexlo::msg::LoadStats &m, const vexlo::DecodedMessage &d);
    // The board as a game starts: no praise, buttons, checks or tiles; no scores.
    void clearBoard();
    void emptyAnswer();
    void setWord(int index, const QByteArray &pattern);
    void turnSound();
    void restartCountdown(int seconds);
    bool seated() const;

    Session &m_session;
    SeatsModel &m_seats;
    const vexlo::GameSettings &m_options;
    RoundModel m_model;
    ScoreReport m_lastScores;
    QTimer m_countdown;
};
