#pragma once
// What a blind player hears of the round, as sentences: the round and the word
// with its pattern when a round starts, that a word was accepted and the next
// pattern, a refused word's reason, a pass or a clear, the time left at 60, 30
// and 10 seconds, the end of the round, the points of each seat and the winner.
// It follows the round and seats models; the few moments they do not hold (the
// scores posted, the winner) are told to it. What happens during one turn of the
// event loop is said once, as one sentence group. Qt Core only.
#include <QObject>
#include <QString>
#include <QStringList>

class RoundModel;
class SeatsModel;
struct ScoreReport;

class Narrator : public QObject
{
    Q_OBJECT
public:
    Narrator(const RoundModel &round, const SeatsModel &seats, QObject *parent = nullptr);

    // The end of a round as the server reported it.
    void scoresPosted(const ScoreReport &report);
    // The winner's line ("You have Won the Game!").
    void winnerTold(const QString &text);

    // --- on demand ---
    // The round, the word with its pattern, the letters typed and the words done.
    QString whereAmI() const;
    QString timeLeft() const;
    // Each seat's total and words this round.
    QString scores() const;

    // "Second word: G, blank, blank, blank, Y."
    static QString wordLine(int index, const QByteArray &pattern);

Q_SIGNALS:
    // Something new to say.
    void news(const QString &text);

private:
    void add(const QString &sentence);
    void flush();

    const RoundModel &m_round;
    const SeatsModel &m_seats;
    QStringList m_pending;
    QString m_roundLine;    // "Round 1 of 3.", said with the round's first word
    bool m_accepted = false;
    bool m_wordChanged = false;
    bool m_cleared = false;
    bool m_queued = false;
};
