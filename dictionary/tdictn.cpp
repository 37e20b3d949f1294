#include "tdictn.h"

#include "builtinwords.h"

#include <QtEndian>

#include <cstring>
#include <limits>

namespace {

bool isUpperLetter(char c)
{
    return c >= 'A' && c <= 'Z';
}

// Brings a key to the form the records are stored in: bytes 0x00 count as spaces,
// leading and trailing spaces go, letters are upper-cased and the rest padded with
// spaces to 14 characters. Returns the number of letters, or 0 when the key cannot
// equal any record: empty, longer than 14, or holding anything but letters (every
// record is checked to hold only letters and trailing padding).
template <typename UnitAt>
qsizetype normaliseKey(qsizetype size, UnitAt unitAt, char (&out)[TDictn::WordLength])
{
    auto blank = [&](qsizetype i) {
        const char32_t c = unitAt(i);
        return c == 0 || c == ' ';
    };
    qsizetype begin = 0;
    qsizetype end = size;
    while (begin < end && blank(begin))
        ++begin;
    while (end > begin && blank(end - 1))
        --end;
    const qsizetype length = end - begin;
    if (length == 0 || length > TDictn::WordLength)
        return 0;
    for (qsizetype i = 0; i < length; ++i) {
        char32_t c = unitAt(begin + i);
        if (c >= 'a' && c <= 'z')
            c -= 'a' - 'A';
        else if (c < 'A' || c > 'Z')
            return 0;
        out[i] = static_cast<char>(c);
    }
    std::memset(out + length, ' ', static_cast<std::size_t>(TDictn::WordLength - length));
    return length;
}

int groupOf(char first, char second)
{
    return (first - 'A') * 26 + (second - 'A');
}

} // namespace

TDictn::TDictn()
    : TDictn(vexlo::words::dictionaryImage())
{
}

TDictn::TDictn(QByteArray image)
    : m_image(std::move(image))
{
    m_open = check();
    if (!m_open)
        m_image.clear();
}

QString TDictn::loadError() const
{
    return m_open ? QString() : QStringLiteral("English.dic dictionary not found!");
}

QByteArray TDictn::recordWord(qsizetype index) const
{
    if (index < 0 || index >= recordCount())
        return {};
    QByteArray word = m_image.mid(index * RecordSize + 1, WordLength);
    while (word.endsWith(' '))
        word.chop(1);
    return word;
}

// Checks the whole image once, so that the search may rely on it: a whole number
// of records, each the marker, 2 to 14 letters and padding, in ascending order with
// only 14-letter keys repeating. Fills in where each two-letter group starts.
bool TDictn::check()
{
    const qsizetype size = m_image.size();
    if (size == 0) {
        m_fault = QStringLiteral("the dictionary data is missing");
        return false;
    }
    if (size % RecordSize != 0) {
        m_fault = QStringLiteral("the dictionary data is %1 bytes, not a whole number of %2-byte records")
                      .arg(size)
                      .arg(RecordSize);
        return false;
    }
    const qsizetype count = size / RecordSize;
    if (count > std::numeric_limits<int>::max()) {
        m_fault = QStringLiteral("the dictionary data holds too many records");
        return false;
    }

    const char *data = m_image.constData();
    int nextGroup = 0;
    for (qsizetype index = 0; index < count; ++index) {
        const char *record = data + index * RecordSize;
        const char *word = record + 1;
        qsizetype letters = 0;
        while (letters < WordLength && isUpperLetter(word[letters]))
            ++letters;
        qsizetype padding = letters;
        while (padding < WordLength && word[padding] == ' ')
            ++padding;
        if (record[0] != RecordMarker || letters < 2 || padding != WordLength) {
            m_fault = QStringLiteral("dictionary record %1 is not a word of 2 to 14 letters").arg(index);
            return false;
        }
        if (index > 0) {
            const int order = std::memcmp(word - RecordSize, word, WordLength);
            if (order > 0 || (order == 0 && letters < WordLength)) {
                m_fault = QStringLiteral("dictionary record %1 is out of order").arg(index);
                return false;
            }
        }
        const int group = groupOf(word[0], word[1]);
        while (nextGroup <= group)
            m_groupStart[nextGroup++] = static_cast<int>(index);
    }
    while (nextGroup <= GroupCount)
        m_groupStart[nextGroup++] = static_cast<int>(count);
    return true;
}

int TDictn::FindWord(QByteArrayView key) const
{
    if (!m_open)
        return -1;
    char normal[WordLength];
    const qsizetype length =
        normaliseKey(key.size(), [&](qsizetype i) { return char32_t(static_cast<unsigned char>(key[i])); }, normal);
    return search(normal, length);
}

int TDictn::FindWord(QStringView key) const
{
    if (!m_open)
        return -1;
    char normal[WordLength];
    const qsizetype length = normaliseKey(key.size(), [&](qsizetype i) { return char32_t(key[i].unicode()); }, normal);
    return search(normal, length);
}

// Binary search for the first record equal to the normalised key, within the
// records that share its first two letters; the rest of the 14 characters are
// compared as one 8-byte and one 4-byte big-endian number.
int TDictn::search(const char *key, qsizetype length) const
{
    if (length < 2)
        return -1;
    const int group = groupOf(key[0], key[1]);
    int first = m_groupStart[group];
    int count = m_groupStart[group + 1] - first;

    const quint64 keyHigh = qFromBigEndian<quint64>(key + 2);
    const quint32 keyLow = qFromBigEndian<quint32>(key + 10);
    const char *tails = m_image.constData() + 3; // the letters after the first two
    auto recordHigh = [&](int index) { return qFromBigEndian<quint64>(tails + index * RecordSize); };
    auto recordLow = [&](int index) { return qFromBigEndian<quint32>(tails + index * RecordSize + 8); };

    while (count > 0) {
        const int step = count / 2;
        const int middle = first + step;
        const quint64 high = recordHigh(middle);
        if (high < keyHigh || (high == keyHigh && recordLow(middle) < keyLow)) {
            first = middle + 1;
            count -= step + 1;
        } else {
            count = step;
        }
    }
    if (first < m_groupStart[group + 1] && recordHigh(first) == keyHigh && recordLow(first) == keyLow)
        return first;
    return -1;
}
