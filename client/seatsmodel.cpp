#include "seatsmodel.h"

QString SeatsModel::seatHint(int slot)
{
    static const char *const hints[SeatCount + 1] = {"", "", "Klot", "Klick", "Kling", "Klick", "Krazy"};
    return isSeat(slot) ? QLatin1String(hints[slot]) : QString();
}

void SeatsModel::arrive(int slot, const QString &name)
{
    if (!isSeat(slot))
        return;
    seat(slot).taken = true;
    seat(slot).name = name;
    Q_EMIT seatChanged(slot);
    Q_EMIT arrived(slot);
}

void SeatsModel::leave(int slot)
{
    if (!isSeat(slot))
        return;
    seat(slot).taken = false;
    seat(slot).name.clear();
    Q_EMIT seatChanged(slot);
    setWatching(slot, false);
}

QString SeatsModel::shownName(int slot) const
{
    return taken(slot) ? name(slot) : QStringLiteral("<Waiting>");
}

void SeatsModel::setTotal(int slot, const QString &total)
{
    if (!isSeat(slot))
        return;
    seat(slot).total = total;
    Q_EMIT totalChanged(slot);
}

void SeatsModel::setWords(int slot, const QString &words)
{
    if (!isSeat(slot))
        return;
    seat(slot).words = words;
    Q_EMIT wordsChanged(slot);
}

void SeatsModel::setWatching(int slot, bool watching)
{
    if (!isSeat(slot))
        return;
    seat(slot).watching = watching;
    Q_EMIT watchingChanged(slot, watching);
}

void SeatsModel::resetScores()
{
    for (int slot = 1; slot <= SeatCount; ++slot) {
        setTotal(slot, QStringLiteral("0"));
        setWords(slot, QString());
    }
}

void SeatsModel::setLocalWatching(bool watching)
{
    m_localWatching = watching;
    Q_EMIT localWatchingChanged(watching);
}

bool SeatsModel::removeWatcher(int slot, const QString &name)
{
    const auto it = m_watchers.constFind(slot);
    if (it == m_watchers.cend() || it->compare(name, Qt::CaseInsensitive) != 0)
        return false;
    m_watchers.remove(slot);
    return true;
}

void SeatsModel::reset()
{
    for (int slot = 1; slot <= SeatCount; ++slot) {
        leave(slot);
        setTotal(slot, QStringLiteral("0"));
        setWords(slot, QString());
    }
    m_watchers.clear();
    m_local = 0;
    setLocalWatching(false);
    Q_EMIT cleared();
}

void SeatsModel::swapColumns(int a, int b)
{
    if (!isSeat(a) || !isSeat(b) || a == b)
        return;
    std::swap(m_column[size_t(a)], m_column[size_t(b)]);
    Q_EMIT columnsSwapped(a, b);
}
