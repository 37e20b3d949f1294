#include "message.h"

#include <limits>

namespace vexlo {

namespace {

// The bad field as the error quotes it: it comes from the network, so a long
// one is cut to its first 60 characters.
std::string quoted(const QByteArray &field)
{
    constexpr qsizetype kShown = 60;
    if (field.size() <= kShown)
        return field.toStdString();
    return field.left(kShown).toStdString() + "...";
}

} // namespace

EConvertError::EConvertError(const QByteArray &field)
    : std::runtime_error("'" + quoted(field) + "' is not a valid integer value")
{
}

Message parseMessage(const QByteArray &text)
{
    const qsizetype plus = text.indexOf('+');
    if (plus < 0)
        return {};
    return {text.left(plus), text.mid(plus + 1)};
}

bool toNumber(const QByteArray &text, int *value)
{
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    if (i == text.size())
        return false;
    long long v = 0;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c < '0' || c > '9')
            return false;
        v = v * 10 + (c - '0');
        if (v > static_cast<long long>(std::numeric_limits<int>::max()) + 1)
            return false;
    }
    if (negative)
        v = -v;
    if (v > std::numeric_limits<int>::max() || v < std::numeric_limits<int>::min())
        return false;
    *value = static_cast<int>(v);
    return true;
}

int number(const QByteArray &text)
{
    int v = 0;
    if (!toNumber(text, &v))
        throw EConvertError(text);
    return v;
}

QByteArray FieldReader::field()
{
    const qsizetype plus = m_text.indexOf('+');
    if (plus < 0)
        return {};
    QByteArray f = m_text.left(plus);
    m_text.remove(0, plus + 1);
    return f;
}

int FieldReader::numberField()
{
    return number(field());
}

} // namespace vexlo
