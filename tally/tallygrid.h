#pragma once
// The tally table: 9 columns of text cells. Row 0 holds the local player's own
// totals (column 1 games finished, column 2 games won); every further row is one
// tallied opponent: column 0 the name, 1 games together, 2 the opponent's wins,
// 3 the local player's wins, 4 neither won, and 5 to 8 the same for this session.
//
// The dump (SaveGrid / LoadGrid) is the column count, the row count, then every
// cell column by column, one a line, lines ended by CR LF, single-byte Latin-1.
#include <QByteArray>
#include <QList>
#include <QString>

#include <stdexcept>

// A dump that cannot be a tally; carries the message.
class ETallyException : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

class TallyGrid
{
public:
    static constexpr int Columns = 9;
    // Beyond this a dump is taken as damaged rather than believed.
    static constexpr int MaxRows = 100000;

    TallyGrid(); // row 0 only, every cell "0"

    int rowCount() const { return static_cast<int>(m_rows.size()); }
    QString cell(int column, int row) const;
    void setCell(int column, int row, const QString &text);

    // The cell as a number plus one, stored back; returns the new value. A cell
    // that is empty or not a number counts as 0.
    int addit(int column, int row);
    // Removes row (1 <= row < rowCount()); later rows move up.
    void moverow(int row);
    // A new opponent row: the name, then "0" in columns 1 to 8. Line breaks in a
    // name become spaces, so the dump keeps one cell a line.
    void appendRow(const QString &name);
    // The row (1 upward) of the opponent named name, compared without regard to
    // letter case; -1 when there is none.
    int findName(const QString &name) const;
    // Back to row 0 alone, every cell "0".
    void reset();
    // Session columns 5 to 8 of every opponent to "0".
    void clearSession();

    QByteArray SaveGrid() const;
    // Throws ETallyException when the text is not a tally dump: a column count
    // other than 9, a row count below 1 or above MaxRows, lines that run out,
    // or a count cell that is neither empty nor a number.
    static TallyGrid LoadGrid(const QByteArray &dump);

private:
    using Row = QList<QString>;
    static Row zeroRow();
    QList<Row> m_rows;
};
