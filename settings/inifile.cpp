#include "inifile.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

#include <climits>

namespace {

const QByteArray kBom("\xEF\xBB\xBF");

// The file cut into lines, each keeping its own terminator ("\n" or "\r\n", or
// none for a last line without one).
QList<QByteArray> splitLines(const QByteArray &data)
{
    QList<QByteArray> lines;
    qsizetype start = 0;
    while (start < data.size()) {
        qsizetype end = data.indexOf('\n', start);
        end = end < 0 ? data.size() : end + 1;
        lines.append(data.mid(start, end - start));
        start = end;
    }
    return lines;
}

qsizetype contentLength(const QByteArray &line)
{
    qsizetype n = line.size();
    if (n > 0 && line[n - 1] == '\n') {
        --n;
        if (n > 0 && line[n - 1] == '\r')
            --n;
    }
    return n;
}

QString decode(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return QString::fromLatin1(bytes);
    return text;
}

bool sameName(const QString &a, const QString &b)
{
    return QString::compare(a, b, Qt::CaseInsensitive) == 0;
}

enum class Kind { Other, Section, Key };

struct LineInfo
{
    Kind kind = Kind::Other;
    QString name;          // section or key name, trimmed
    qsizetype equals = -1; // byte offset of the "=" of a key line
};

// lineIndex 0 may start with a byte-order mark, which is not part of the text.
LineInfo classify(const QByteArray &line, qsizetype lineIndex)
{
    QByteArrayView content(line.constData(), contentLength(line));
    if (lineIndex == 0 && content.startsWith(kBom))
        content = content.sliced(kBom.size());
    LineInfo info;
    const QByteArrayView trimmed = content.trimmed();
    if (trimmed.startsWith('[')) {
        qsizetype close = trimmed.indexOf(']');
        if (close < 0)
            close = trimmed.size();
        info.kind = Kind::Section;
        info.name = decode(trimmed.sliced(1, close - 1)).trimmed();
        return info;
    }
    const qsizetype eq = content.indexOf('=');
    if (eq < 0)
        return info;
    info.kind = Kind::Key;
    info.name = decode(content.first(eq)).trimmed();
    info.equals = (content.data() - line.constData()) + eq;
    return info;
}

bool isBlank(const QByteArray &line)
{
    return QByteArrayView(line).trimmed().isEmpty();
}

// Where a key sits: its section's header line, its own line, and the last line
// of the section that is not blank. -1 for what is missing. Only the first
// section of the name counts.
struct Where
{
    qsizetype section = -1;
    qsizetype key = -1;
    qsizetype last = -1;
};

Where locate(const QList<QByteArray> &lines, const QString &section, const QString &key)
{
    Where w;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const LineInfo info = classify(lines[i], i);
        if (info.kind == Kind::Section) {
            if (w.section >= 0)
                break;
            if (sameName(info.name, section))
                w.section = w.last = i;
            continue;
        }
        if (w.section < 0)
            continue;
        if (!isBlank(lines[i]))
            w.last = i;
        if (info.kind == Kind::Key && w.key < 0 && !info.name.isEmpty() && sameName(info.name, key))
            w.key = i;
    }
    return w;
}

QString valueOf(const QByteArray &line, qsizetype lineIndex)
{
    const LineInfo info = classify(line, lineIndex);
    const qsizetype from = info.equals + 1;
    return decode(QByteArrayView(line).sliced(from, contentLength(line) - from)).trimmed();
}

QByteArray readAll(const QString &fileName, bool *ok)
{
    *ok = true;
    QFileInfo fi(fileName);
    if (!fi.exists())
        return {};
    QFile f(fileName);
    if (!fi.isFile() || !f.open(QIODevice::ReadOnly)) {
        *ok = false;
        return {};
    }
    QByteArray data = f.readAll();
    if (f.error() != QFileDevice::NoError)
        *ok = false;
    return data;
}

QByteArray lineEnding(const QList<QByteArray> &lines)
{
    for (const QByteArray &line : lines) {
        if (line.endsWith("\r\n"))
            return QByteArrayLiteral("\r\n");
        if (line.endsWith('\n'))
            return QByteArrayLiteral("\n");
    }
    return QByteArrayLiteral("\n");
}

void terminate(QByteArray &line, const QByteArray &eol)
{
    if (!line.endsWith('\n'))
        line += eol;
}

void checkNames(const QString &section, const QString &key)
{
    auto bad = [](const QString &s, QChar extra) {
        return s.trimmed().isEmpty() || s.contains(u'\n') || s.contains(u'\r') || s.contains(extra);
    };
    if (bad(section, u']') || bad(key, u'=') || key.trimmed().startsWith(u'['))
        throw std::invalid_argument("settings file: unusable section or key name");
}

void setValue(QList<QByteArray> &lines, const QString &section, const QString &key, const QString &value,
              const QByteArray &eol)
{
    QString flat = value;
    flat.replace(u'\r', u' ').replace(u'\n', u' ');
    const QByteArray encoded = flat.toUtf8();
    const Where w = locate(lines, section, key);
    if (w.key >= 0) {
        QByteArray &line = lines[w.key];
        const qsizetype from = classify(line, w.key).equals + 1;
        line = line.left(from) + encoded + line.mid(contentLength(line));
        return;
    }
    const QByteArray entry = key.toUtf8() + '=' + encoded + eol;
    if (w.section >= 0) {
        terminate(lines[w.last], eol);
        lines.insert(w.last + 1, entry);
        return;
    }
    if (!lines.isEmpty()) {
        terminate(lines.last(), eol);
        if (!isBlank(lines.last()))
            lines.append(eol);
    }
    lines.append('[' + section.toUtf8() + ']' + eol);
    lines.append(entry);
}

} // namespace

IniFile::IniFile(QString fileName) : m_fileName(std::move(fileName)) {}

QString IniFile::readString(const QString &section, const QString &key, const QString &def) const
{
    bool ok = false;
    const QList<QByteArray> lines = splitLines(readAll(m_fileName, &ok));
    const Where w = locate(lines, section, key);
    if (w.key < 0)
        return def;
    return valueOf(lines[w.key], w.key).left(MaxValueLength);
}

int IniFile::readInteger(const QString &section, const QString &key, int def) const
{
    return parseInteger(readString(section, key, QString())).value_or(def);
}

bool IniFile::valueExists(const QString &section, const QString &key) const
{
    bool ok = false;
    return locate(splitLines(readAll(m_fileName, &ok)), section, key).key >= 0;
}

void IniFile::writeString(const QString &section, const QString &key, const QString &value)
{
    writeStrings(section, {{key, value}});
}

void IniFile::writeInteger(const QString &section, const QString &key, int value)
{
    writeString(section, key, QString::number(value));
}

void IniFile::writeStrings(const QString &section, const QList<std::pair<QString, QString>> &values)
{
    for (const auto &[key, value] : values)
        checkNames(section, key);
    const EIniFileException failed(QStringLiteral("Unable to write to %1").arg(m_fileName));

    // Read back what is there now, so keys written by others since are kept; a
    // file that exists but cannot be read is never replaced.
    bool ok = false;
    QList<QByteArray> lines = splitLines(readAll(m_fileName, &ok));
    const QFileInfo fi(m_fileName);
    if (!ok || (fi.exists() && !fi.isWritable()))
        throw failed;

    const QByteArray eol = lineEnding(lines);
    for (const auto &[key, value] : values)
        setValue(lines, section, key, value, eol);

    QSaveFile out(m_fileName);
    if (!out.open(QIODevice::WriteOnly))
        throw failed;
    for (const QByteArray &line : lines) {
        if (out.write(line) != line.size()) {
            out.cancelWriting();
            throw failed;
        }
    }
    if (!out.commit())
        throw failed;
}

std::optional<int> IniFile::parseInteger(QStringView text)
{
    text = text.trimmed();
    bool negative = false;
    if (text.startsWith(u'-') || text.startsWith(u'+')) {
        negative = text.front() == u'-';
        text = text.sliced(1);
    }
    int base = 10;
    if (text.startsWith(u'$')) {
        base = 16;
        text = text.sliced(1);
    } else if (text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        base = 16;
        text = text.sliced(2);
    }
    if (text.isEmpty())
        return std::nullopt;
    qint64 magnitude = 0;
    for (QChar c : text) {
        const int digit = c.isDigit() && c.unicode() < 128 ? c.unicode() - '0'
                        : base == 16 && c.toLower() >= u'a' && c.toLower() <= u'f' ? c.toLower().unicode() - 'a' + 10
                                                                                   : -1;
        if (digit < 0)
            return std::nullopt;
        magnitude = magnitude * base + digit;
        if (magnitude > 0xFFFFFFFFLL)
            return std::nullopt;
    }
    qint64 value;
    if (base == 16) {
        // Hexadecimal names all 32 bits: $FFFFFFFF is -1.
        value = static_cast<qint32>(static_cast<quint32>(magnitude));
    } else {
        value = magnitude;
        if (value > (negative ? 2147483648LL : 2147483647LL))
            return std::nullopt;
    }
    if (negative)
        value = -value;
    if (value < INT_MIN || value > INT_MAX)
        return std::nullopt;
    return static_cast<int>(value);
}
