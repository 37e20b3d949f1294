#pragma once
// Taking a message apart: the command word before the first "+", the argument
// text after it, and fields read from the front of the argument text.
#include <QByteArray>
#include <stdexcept>

namespace vexlo {

// A numeric field that is not a number; the handler reading it stops there.
class EConvertError : public std::runtime_error
{
public:
    explicit EConvertError(const QByteArray &field);
};

struct Message
{
    QByteArray command; // empty when the text holds no "+"
    QByteArray args;
};

Message parseMessage(const QByteArray &text);

// Strict decimal conversion: an optional sign and at least one digit, nothing
// else, within 32 bits. Returns false when the text is not such a number.
bool toNumber(const QByteArray &text, int *value);
// The same, throwing EConvertError.
int number(const QByteArray &text);

class FieldReader
{
public:
    explicit FieldReader(QByteArray args) : m_text(std::move(args)) {}

    // The text before the next "+", removed with that "+". With no "+" left the
    // field is empty and the text stays as it is.
    QByteArray field();
    // field(), converted strictly; throws EConvertError.
    int numberField();
    // All remaining text, "+" included.
    QByteArray rest() const { return m_text; }

    // Repeated groups: "+@" is appended once, then groups are read while
    // moreGroups() holds (the remainder is not yet exactly "@").
    void beginGroups() { m_text += "+@"; }
    bool moreGroups() const { return m_text != "@" && m_text.contains('+'); }

private:
    QByteArray m_text;
};

} // namespace vexlo
