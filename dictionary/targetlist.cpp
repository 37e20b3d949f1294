#include "targetlist.h"

#include "builtinwords.h"

namespace {

[[noreturn]] void fail(const QString &text)
{
    throw ETargetListException((QStringLiteral("Target word list: ") + text).toStdString());
}

bool isFiveLetters(QByteArrayView line)
{
    if (line.size() != TargetList::WordLength)
        return false;
    for (char c : line) {
        if (c < 'a' || c > 'z')
            return false;
    }
    return true;
}

} // namespace

TargetList::TargetList()
    : TargetList(vexlo::words::targetListText())
{
}

TargetList::TargetList(QByteArrayView text)
{
    if (text.endsWith('\n'))
        text.chop(1);
    if (text.isEmpty())
        fail(QStringLiteral("the list is empty"));
    m_words.reserve(text.count('\n') + 1);
    QByteArrayView previous;
    qsizetype start = 0;
    for (int lineNumber = 1; start <= text.size(); ++lineNumber) {
        qsizetype end = text.indexOf('\n', start);
        if (end < 0)
            end = text.size();
        const QByteArrayView line = text.sliced(start, end - start);
        start = end + 1;
        if (!isFiveLetters(line))
            fail(QStringLiteral("line %1 is not five lower-case letters").arg(lineNumber));
        if (!previous.isNull() && !(previous < line))
            fail(QStringLiteral("line %1 (%2) does not come after %3")
                     .arg(lineNumber)
                     .arg(QLatin1String(line), QLatin1String(previous)));
        previous = line;
        m_words.append(QString::fromLatin1(line));
    }
}

const QString &TargetList::at(int index) const
{
    if (index < 0 || index >= count())
        throw ETargetListException(
            QStringLiteral("Target word list: no word %1 (the list has %2)").arg(index).arg(count()).toStdString());
    return m_words.at(index);
}
