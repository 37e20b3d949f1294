#include "tallygrid.h"

namespace {

bool isCount(const QString &s)
{
    if (s.isEmpty())
        return true;
    bool ok = false;
    s.toInt(&ok);
    return ok && !s.startsWith(QLatin1Char(' '));
}

QString oneLine(QString s)
{
    s.replace(QLatin1Char('\r'), QLatin1Char(' '));
    s.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return s;
}

} // namespace

TallyGrid::TallyGrid()
{
    m_rows.append(zeroRow());
}

TallyGrid::Row TallyGrid::zeroRow()
{
    return Row(Columns, QStringLiteral("0"));
}

QString TallyGrid::cell(int column, int row) const
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= Columns)
        return {};
    return m_rows[row][column];
}

void TallyGrid::setCell(int column, int row, const QString &text)
{
    if (row < 0 || row >= rowCount() || column < 0 || column >= Columns)
        return;
    m_rows[row][column] = oneLine(text);
}

int TallyGrid::addit(int column, int row)
{
    const int value = cell(column, row).toInt() + 1; // empty or not a number: 0
    setCell(column, row, QString::number(value));
    return value;
}

void TallyGrid::moverow(int row)
{
    if (row >= 1 && row < rowCount())
        m_rows.removeAt(row);
}

void TallyGrid::appendRow(const QString &name)
{
    Row r = zeroRow();
    r[0] = oneLine(name);
    m_rows.append(r);
}

int TallyGrid::findName(const QString &name) const
{
    for (int row = 1; row < rowCount(); ++row)
        if (m_rows[row][0].compare(name, Qt::CaseInsensitive) == 0)
            return row;
    return -1;
}

void TallyGrid::reset()
{
    m_rows = {zeroRow()};
}

void TallyGrid::clearSession()
{
    for (int row = 1; row < rowCount(); ++row)
        for (int column = 5; column < Columns; ++column)
            m_rows[row][column] = QStringLiteral("0");
}

QByteArray TallyGrid::SaveGrid() const
{
    QByteArray out;
    out += QByteArray::number(Columns) + "\r\n";
    out += QByteArray::number(rowCount()) + "\r\n";
    for (int column = 0; column < Columns; ++column)
        for (int row = 0; row < rowCount(); ++row)
            out += m_rows[row][column].toLatin1() + "\r\n";
    return out;
}

TallyGrid TallyGrid::LoadGrid(const QByteArray &dump)
{
    // Lines end with CR LF; a bare LF is taken too.
    QList<QByteArray> lines = dump.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QByteArray &l : lines)
        if (l.endsWith('\r'))
            l.chop(1);

    bool ok = false;
    const int columns = lines.value(0).toInt(&ok);
    if (!ok || columns != Columns)
        throw ETallyException("Tally : the file does not hold a tally (column count)");
    const int rows = lines.value(1).toInt(&ok);
    if (!ok || rows < 1 || rows > MaxRows)
        throw ETallyException("Tally : the file does not hold a tally (row count)");
    if (lines.size() < 2 + qsizetype(columns) * rows)
        throw ETallyException("Tally : the file is cut short");

    TallyGrid g;
    g.m_rows = QList<Row>(rows, Row(Columns));
    qsizetype line = 2;
    for (int column = 0; column < Columns; ++column) {
        for (int row = 0; row < rows; ++row) {
            const QString text = QString::fromLatin1(lines[line++]);
            if (column > 0 && !isCount(text))
                throw ETallyException("Tally : the file does not hold a tally (count cell)");
            g.m_rows[row][column] = text;
        }
    }
    return g;
}
