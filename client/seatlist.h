#pragma once
// The seat list: a view of the seats model. Each seat shows its player's name
// ("<Waiting>" when free), the total and the words of this round, and the
// eyes of a player who just watches. A right click on a name is reported out.
#include <QWidget>

class QLabel;
class SeatsModel;

class SeatListView : public QWidget
{
    Q_OBJECT
public:
    SeatListView(const SeatsModel &seats, QWidget *parent);


Q_SIGNALS:
    void nameMenuRequested(QLabel *name, const QPoint &globalPos);

private:
    // A player took the seat: the name and the total show.
    void showSeat(int slot);
    // A new session: the totals hide again until their players arrive.
    void hideTotals();

    template <typename T>
    T *seatWidget(const char *prefix, int slot) const
    {
        return findChild<T *>(QLatin1String(prefix) + QString::number(slot));
    }

    const SeatsModel &m_seats;
};
