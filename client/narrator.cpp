#include "narrator.h"

#include "accessibility.h"
#include "roundmodel.h"
#include "scorereport.h"
#include "seatsmodel.h"
#include "tiles.h"

namespace {

// Status lines that need no saying: the prompts of a word and "Game Over!",
// which the winner's line says better.
bool quietStatus(const QString &text)
{
    static const QStringList quiet{QStringLiteral("Checking Word..."),
                                   QStringLiteral("Type a Word - Press ENTER to submit your word."),
                                   QStringLiteral("Create Another Word"), QStringLiteral("Create A Word"),
                                   QStringLiteral("Game Over!"), RoundModel::welcome()};
    return text.isEmpty() || quiet.contains(text);
}

QString sentence(QString text)
{
    if (!text.isEmpty() && !text.endsWith(u'.') && !text.endsWith(u'!') && !text.endsWith(u'?'))
        text += u'.';
    return text;
}

// "Round 1 of 3.", or "Round 1." while the rounds of the game are not known.
QString roundLine(const RoundModel &r)
{
    if (r.roundTotal().isEmpty())
        return QStringLiteral("Round %1.").arg(r.round());
    return QStringLiteral("Round %1 of %2.").arg(r.round(), r.roundTotal());
}

QString seconds(int n)
{
    return n == 1 ? QStringLiteral("1 second left.") : QStringLiteral("%1 seconds left.").arg(n);
}

} // namespace

Narrator::Narrator(const RoundModel &round, const SeatsModel &seats, QObject *parent)
    : QObject(parent), m_round(round), m_seats(seats)
{
    connect(&round, &RoundModel::roundChanged, this, [this] {
        m_roundLine.clear();
        if (!m_round.round().isEmpty())
            m_roundLine = roundLine(m_round);
    });
    connect(&round, &RoundModel::wordChanged, this, [this] {
        m_wordChanged = true;
        add({});
    });
    connect(&round, &RoundModel::wordDone, this, [this] {
        m_accepted = true;
        add({});
    });
    connect(&round, &RoundModel::lettersCleared, this, [this] {
        if (m_round.phase() == 1 && m_round.wordIndex() > 0) {
            m_cleared = true;
            add({});
        }
    });
    connect(&round, &RoundModel::statusChanged, this, [this](const QString &text) {
        if (!quietStatus(text))
            add(sentence(text));
    });
    connect(&round, &RoundModel::ticked, this, [this](int left) {
        if (m_round.phase() == 1 && (left == 60 || left == 30 || left == 10))
            add(seconds(left));
    });
}

QString Narrator::wordLine(int index, const QByteArray &pattern)
{
    QList<int> tiles;
    for (char c : pattern)
        tiles << vexlo::numofletter(c);
    QString ordinal = vexlo::wordCountText(index).section(u' ', 0, 0);
    if (ordinal == QLatin1String("Eight"))
        ordinal = QStringLiteral("Eighth");
    return QStringLiteral("%1 word: %2.").arg(ordinal, vexlo::access::patternText(tiles));
}

void Narrator::add(const QString &text)
{
    if (!text.isEmpty())
        m_pending << text;
    if (m_queued)
        return;
    m_queued = true;
    QMetaObject::invokeMethod(this, &Narrator::flush, Qt::QueuedConnection);
}

void Narrator::flush()
{
    m_queued = false;
    QStringList said;
    if (m_accepted)
        said << QStringLiteral("Accepted.");
    said << m_pending;
    if (m_wordChanged && m_round.wordIndex() > 0) {
        if (!m_roundLine.isEmpty())
            said.prepend(m_roundLine);
        m_roundLine.clear();
        said << wordLine(m_round.wordIndex(), m_round.pattern());
    } else if (m_cleared) {
        said << QStringLiteral("Cleared.") << wordLine(m_round.wordIndex(), m_round.pattern());
    }
    m_pending.clear();
    m_accepted = m_wordChanged = m_cleared = false;
    if (!said.isEmpty())
        Q_EMIT news(said.join(u' '));
}

void Narrator::scoresPosted(const ScoreReport &report)
{
    QStringList parts;
    for (int slot = 1; slot <= SeatsModel::SeatCount; ++slot) {
        const ScoreReport::Seat &s = report.seats[size_t(slot)];
        if (!m_seats.taken(slot) || !s.roundScore)
            continue;
        QString part = QStringLiteral("%1 %2").arg(m_seats.name(slot), *s.roundScore);
        if (s.total)
            part += QStringLiteral(", total %1").arg(*s.total);
        if (s.bonus)
            part += QStringLiteral(", bonus");
        if (report.fastest == slot)
            part += QStringLiteral(", first to complete the list");
        parts << part;
    }
    if (!parts.isEmpty())
        add(QStringLiteral("Scores of round %1: %2.").arg(m_round.round(), parts.join(QStringLiteral("; "))));
}

void Narrator::winnerTold(const QString &text)
{
    add(sentence(text));
}

QString Narrator::whereAmI() const
{
    if (!m_round.gameRunning() && m_round.round().isEmpty())
        return QStringLiteral("No game is running.");
    QStringList said;
    if (!m_round.round().isEmpty())
        said << roundLine(m_round);
    if (m_round.phase() == 1 && m_round.wordIndex() > 0 && m_round.boardOpenFor(m_seats.localSlot())) {
        said << wordLine(m_round.wordIndex(), m_round.pattern());
        const auto letters = m_round.letters();
        said << QStringLiteral("Your word: %1.")
                    .arg(vexlo::access::typedText(QList<int>(letters.cbegin(), letters.cend())));
    } else if (!m_round.status().isEmpty()) {
        said << sentence(m_round.status());
    }
    said << QStringLiteral("%1 of 10 done.").arg(m_round.wordsDone());
    return said.join(u' ');
}

QString Narrator::timeLeft() const
{
    if (m_round.phase() != 1 || m_round.secondsLeft() <= 0)
        return QStringLiteral("No time is running.");
    return seconds(m_round.secondsLeft());
}

QString Narrator::scores() const
{
    QStringList parts;
    for (int slot = 1; slot <= SeatsModel::SeatCount; ++slot) {
        if (!m_seats.taken(slot))
            continue;
        QString part = QStringLiteral("%1 %2").arg(m_seats.name(slot), m_seats.total(slot));
        if (const QString words = m_seats.words(slot); !words.isEmpty())
            part += words == QLatin1String("1") ? QStringLiteral(", 1 word this round")
                                                : QStringLiteral(", %1 words this round").arg(words);
        if (m_seats.watching(slot))
            part += QStringLiteral(", watching");
        parts << part;
    }
    if (parts.isEmpty())
        return QStringLiteral("No players.");
    return QStringLiteral("Scores: %1.").arg(parts.join(QStringLiteral("; ")));
}
