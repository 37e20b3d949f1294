#pragma once
// The seats as this window knows them: its own slot, the six seats (who sits
// there, the total and the words of this round shown for them, the "just
// watching" mark), the watchers beyond the seats, and the score panel's column
// order. Qt Core only: the session and the round flow write it, the seat list
// and the score panel show it.
#include <QMap>
#include <QObject>
#include <QString>

#include <array>

class SeatsModel : public QObject
{
    Q_OBJECT
public:
    static constexpr int SeatCount = 6;

    using QObject::QObject;

    void setLocalSlot(int slot) { m_local = slot; }
    int localSlot() const { return m_local; }
    // True for the slots 1..6; higher slots watch.
    static bool isSeat(int slot) { return slot >= 1 && slot <= SeatCount; }
    // The caption a seat's label was designed with, kept as its hint. A player
    // bearing it leaves without a line.
    static QString seatHint(int slot);

    // --- who sits where ---
    void arrive(int slot, const QString &name);
    void leave(int slot);
    bool taken(int slot) const { return isSeat(slot) && seat(slot).taken; }
    // The player's name; empty for a free seat.
    QString name(int slot) const { return isSeat(slot) ? seat(slot).name : QString(); }
    // What the seat list shows: the name, or "<Waiting>" for a free seat.
    QString shownName(int slot) const;

    // --- what the seat list shows beside the name (as the server sent it) ---
    void setTotal(int slot, const QString &total);
    QString total(int slot) const { return isSeat(slot) ? seat(slot).total : QString(); }
    void setWords(int slot, const QString &words);
    QString words(int slot) const { return isSeat(slot) ? seat(slot).words : QString(); }
    void setWatching(int slot, bool watching);
    bool watching(int slot) const { return isSeat(slot) && seat(slot).watching; }
    // A game starts: every total 0 and no words.
    void resetScores();
    // The "Just Watch" mark of this window's player, as the server last set it.
    void setLocalWatching(bool watching);
    bool localWatching() const { return m_localWatching; }

    // --- watchers (slots above the seats), "slot: name" in the spy list ---
    void addWatcher(int slot, const QString &name) { m_watchers[slot] = name; }
    // False when no watcher of that slot has that name (in any letter case).
    bool removeWatcher(int slot, const QString &name);
    QMap<int, QString> watchers() const { return m_watchers; }

    // A new session in the same window: every seat free, no watchers, no slot of
    // this window's own. The columns are put back in slot order beforehand.
    void reset();

    // --- the score panel's columns: column(slot) shows that slot ---
    void swapColumns(int a, int b);
    int column(int slot) const { return isSeat(slot) ? m_column[size_t(slot)] : slot; }

Q_SIGNALS:
    void seatChanged(int slot);
    // A player took a seat (after seatChanged).
    void arrived(int slot);
    // A new session: every seat free (after the seats' own signals).
    void cleared();
    // The score panel's columns of two slots traded places.
    void columnsSwapped(int a, int b);
    void totalChanged(int slot);
    void wordsChanged(int slot);
    void watchingChanged(int slot, bool watching);
    void localWatchingChanged(bool watching);

private:
    struct Seat
    {
        bool taken = false;
        QString name;
        QString total = QStringLiteral("0");
        QString words;
        bool watching = false;
    };
    const Seat &seat(int slot) const { return m_seats[size_t(slot)]; }
    Seat &seat(int slot) { return m_seats[size_t(slot)]; }

    int m_local = 0;
    bool m_localWatching = false;
    std::array<Seat, SeatCount + 1> m_seats{};
    std::array<int, SeatCount + 1> m_column{0, 1, 2, 3, 4, 5, 6};
    QMap<int, QString> m_watchers;
};
