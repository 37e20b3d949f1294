#pragma once
// The score panel and the winner panel: views over the board. The score panel
// shows a round's report in six columns (one per seat, in the seats' column
// order) beside the original words; the winner panel shows who won. Their
// widgets are their own; a right click on a score label is reported out.
#include <QWidget>

class QLabel;
class QListWidget;
class SeatsModel;
struct ScoreReport;

class ScorePanel : public QWidget
{
    Q_OBJECT
public:
    // Named "panel_scores"; starts hidden.
    explicit ScorePanel(QWidget *parent);

    // The light sheet the panel lies on, and the marks' pictures.
    void applySheet();
    // A round begins: no marks, scores or words.
    void clearRound();
    // A game begins: no round scores.
    void clearScores();
    // Fills the panel from a report (words only for taken seats); shows nothing.
    void fill(const ScoreReport &report, const SeatsModel &seats, const QString &roundText);
    // The columns of two slots trade their names (the column order).
    void swapColumns(int a, int b);

    QStringList originals() const;
    QString roundText() const;

Q_SIGNALS:
    // A right click on one of the panel's labels, at a global position.
    void labelMenuRequested(QLabel *label, const QPoint &globalPos);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Renames a column's widgets from one slot to another.
    void moveColumn(int from, int to);
    template <typename T>
    T *column(const char *prefix, int slot) const
    {
        return findChild<T *>(QLatin1String(prefix) + QString::number(slot));
    }

    QLabel *label_original = nullptr;
    QListWidget *listbox_original = nullptr;
    QLabel *label_scoreround = nullptr;
};

class WinnerPanel : public QWidget
{
    Q_OBJECT
public:
    // Named "panel_winner"; starts hidden.
    explicit WinnerPanel(QWidget *parent);

    void setText(const QString &text);
    QString text() const;

private:
    QLabel *label_winner1 = nullptr; // the text
    QLabel *label_winner2 = nullptr; // its shadow
};
