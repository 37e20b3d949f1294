#pragma once
// IniFile: reads and writes single keys of a sections-and-keys text file, the
// form of the game's settings file:
//
//     [Section]
//     Key=value
//
// Section and key names match without regard to letter case; the first match
// counts. Reading trims blanks around names and values and cuts a value at
// MaxValueLength characters. Writing changes only the bytes of the keys written
// (an existing key keeps everything up to its "="; a new key goes after the last
// line of its section; a new section goes at the end), so unknown keys, other
// sections, comments, blank lines and line endings stay exactly as they were.
// Every write reads the file afresh and replaces it whole through a temporary
// file beside it, so another program's keys are kept and a crash never leaves
// half a file.
//
// The file is UTF-8; a line that is not valid UTF-8 is read as Latin-1, so files
// written by single-byte programs still read. A missing or unreadable file reads
// as empty: every key gives its default.
#include <QList>
#include <QString>
#include <QStringView>

#include <optional>
#include <stdexcept>
#include <utility>

// A settings file that could not be written; carries the finished message.
class EIniFileException : public std::runtime_error
{
public:
    explicit EIniFileException(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    QString message() const { return m_message; }

private:
    QString m_message;
};

class IniFile
{
public:
    static constexpr int MaxValueLength = 2047;

    explicit IniFile(QString fileName);
    QString fileName() const { return m_fileName; }

    // The value of key in section, cut at MaxValueLength characters; def when
    // the file, the section or the key is missing. A key present with an empty
    // value gives the empty text, not def.
    QString readString(const QString &section, const QString &key, const QString &def) const;
    // The value as an integer (see parseInteger); def when missing or not an integer.
    int readInteger(const QString &section, const QString &key, int def) const;
    bool valueExists(const QString &section, const QString &key) const;

    // Sets key in section to value as given (a line break inside the value, which
    // the file form cannot hold, is written as a blank). Creates the file and the
    // section when missing. Throws EIniFileException("Unable to write to <path>")
    // when the file cannot be read back or replaced; the file is then unchanged.
    void writeString(const QString &section, const QString &key, const QString &value);
    void writeInteger(const QString &section, const QString &key, int value);
    // Several keys of one section in one replacement of the file, in the given
    // order: either all of them are written or, on failure, none.
    void writeStrings(const QString &section, const QList<std::pair<QString, QString>> &values);

    // Decimal, or hexadecimal after "$" or "0x", with an optional sign; the
    // hexadecimal form takes up to 32 bits ("$FFFFFFFF" is -1). Blanks around the
    // number are allowed; anything else, or a number outside 32 bits, is nullopt.
    static std::optional<int> parseInteger(QStringView text);

private:
    QString m_fileName;
};
