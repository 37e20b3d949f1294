#pragma once
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <functional>

class Narrator;
class RoundModel;
class SeatsModel;

namespace vexlo::access {

// Gives the board its voice: a narrator over the models and a BoardReader on
// the board that speaks it, with F2, F3 and F4 on the window saying the word,
// the time left and the scores again. chatEntry takes the focus when the player
// switches to chat mode. The narrator belongs to the board.
Narrator *giveVoice(QWidget *board, const RoundModel &round, const SeatsModel &seats, QWidget *chatEntry);

} // namespace vexlo::access

// The board's voice to a screen reader: while the player creates words the
// focus sits on one of its two voices, each an element whose name is the news.
// A screen reader says the element the focus comes to, so each piece of news
// is given to the voice without the focus, which then takes it (a change of the
// focused element's name or description is not told rightly by Qt 6.4). Keys
// a voice gets in chat mode go on to the chat entry.
class BoardReader : public QWidget
{
    Q_OBJECT
public:
    BoardReader(const RoundModel &round, QWidget *chatEntry, QWidget *parent);

    // Says text now when the board or the chat entry has the focus, or take is
    // true (the focus comes to the board); else when the focus comes to the
    // board in this turn of the event loop.
    void say(const QString &text, bool take = false);
    // What the board says when the focus comes to it with no news.
    std::function<QString()> summary;
    // The voice that has the focus or had it last.
    QWidget *voice() const;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void follow(bool chat);
    bool focused() const;
    // Moves the news waiting to the other voice and the focus with it.
    void deliver();

    // A screen reader drops a focus change that a newer one overtakes while it
    // is busy: news within this time of the last goes out together after it.
    static constexpr int kPaceMs = 1500;

    const RoundModel &m_round;
    QWidget *m_chatEntry;
    QWidget *m_voices[2] = {};
    int m_current = 0;
    bool m_fresh = false; // news came in this turn
    QStringList m_backlog;
    QTimer m_pace;
};
