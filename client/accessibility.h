#pragma once
// What a screen reader finds on the main window beyond what the widgets tell of
// themselves: each row of letter tiles as one element whose description reads
// the letters, the word label with the count of words done, each seat of the
// seat list read out with its total, its words and its watching mark, the
// typing box as a check box, and the winner's shadow text left out.
#include <QLabel>
#include <QList>
#include <QString>
#include <QWidget>


namespace vexlo::access {

// The pattern row read out, tile numbers left to right: a letter in capitals,
// 0 as "blank", separated by ", " ("G, blank, blank, blank, Y").
QString patternText(const QList<int> &tiles);
// The typed row read out: the letters typed so far ("S, T, O"), "empty" when none.
QString typedText(const QList<int> &tiles);
// The word label with its check marks: "Fifth Word, 4 of 10 done".
QString wordSummary(const QString &word, int done);
// The rest of a seat's line: "total 25, 3 words this round, watching".
QString seatSummary(const QString &total, const QString &words, bool watching);

// Registers the interfaces with Qt's accessibility; once is enough.
void install();
// Names the board's picture buttons and pictures by what they show, and lets
// the word label follow the check marks.
void describe(QWidget *board);

// Tells a screen reader that the word label's reading changed whenever one of
// the check marks shows or hides.
void followChecks(QLabel *wordLabel, const QList<QLabel *> &checks);

} // namespace vexlo::access

// A row of five letter tiles, its children from left to right. A screen reader
// sees the row as one element, "Pattern" or "Your word", whose description reads
// the letters; the tiles themselves stay out of its way.
class TileRow : public QWidget
{
    Q_OBJECT
public:
    enum Kind { Pattern, Typed };
    TileRow(Kind kind, QWidget *parent);

    // A tile that shows nothing at all (not even the blank face).
    static constexpr int kNothing = -1;

    Kind kind() const { return m_kind; }
    // The row read out, as the description.
    QString description() const;
    // What the tiles show now, left to right: tile numbers, kNothing for a tile
    // without a picture. A changed reading is told to the screen reader once the
    // window is back in its event loop, so a new word is told once, not per tile.
    void setTiles(const QList<int> &tiles);
    const QList<int> &tiles() const { return m_tiles; }

private:
    Kind m_kind;
    QList<int> m_tiles;
    QString m_told;
    bool m_pending = false;
};

// A check box drawn as a picture ("Type In Chat"): a screen reader sees a check
// box with that name, its state, and a toggle action that works as a click.
class PictureCheckBox : public QLabel
{
    Q_OBJECT
public:
    PictureCheckBox(const QString &name, QWidget *parent);

    bool isChecked() const { return m_checked; }
    // Draws the box checked or not; a screen reader is told of the change.
    void setChecked(bool checked);

private:
    bool m_checked = false;
};
