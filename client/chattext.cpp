#include "chattext.h"


#include <array>

namespace vexlo {

QByteArray toWireText(const QString &text)
{
    QByteArray out;
    out.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        out += (u < 0xFF) ? char(u) : '?';
    }
    return out;
}

ChatLine splitRelay(const QByteArray &args)
{
    const qsizetype bar = args.indexOf('|');
    if (bar < 0)
        return {QString::fromLatin1(args), clRed};
    ChatLine c{QString::fromLatin1(args.left(bar)), clRed};
    if (const auto colour = textToColor(QByteArrayView(args).sliced(bar + 1)))
        c.colour = *colour;
    return c;
}

qsizetype headLength(const QString &line)
{
    const qsizetype colon = line.indexOf(QLatin1Char(':'));
    return colon < 0 ? 0 : colon + 1;
}

namespace {

bool isBreak(QChar c)
{
    return c == QLatin1Char(' ') || c == QLatin1Char('\r') || c == QLatin1Char('\n')
           || c == QChar::ParagraphSeparator || c == QChar::LineSeparator || c == QLatin1Char('\t');
}

bool endsLink(QChar lower)
{
    return (lower >= QLatin1Char('a') && lower <= QLatin1Char('z'))
           || (lower >= QLatin1Char('0') && lower <= QLatin1Char('9')) || lower == QLatin1Char('/');
}

} // namespace

LinkSpan findLink(const QString &text, qsizetype pos)
{
    if (pos < 0 || pos >= text.size() || isBreak(text[pos]))
        return {};
    qsizetype start = pos;
    while (start > 0 && !isBreak(text[start - 1]))
        --start;
    qsizetype end = pos;
    while (end < text.size() && !isBreak(text[end]))
        ++end;
    const QString word = text.mid(start, end - start).toLower();

    static const std::array<QLatin1String, 8> prefixes{
        QLatin1String("http://"), QLatin1String("ftp://"),    QLatin1String("file://"),
        QLatin1String("gopher://"), QLatin1String("telnet://"), QLatin1String("news:"),
        QLatin1String("mailto:"), QLatin1String("www.")};
    for (const QLatin1String &prefix : prefixes) {
        const qsizetype at = word.indexOf(prefix);
        if (at < 0)
            continue;
        // Another player's text must not make the desktop open a local file.
        if (prefix == QLatin1String("file://"))
            return {};
        qsizetype last = word.size() - 1;
        while (last >= at && !endsLink(word[last]))
            --last;
        const qsizetype length = last - at + 1;
        if (length <= prefix.size())
            return {};
        return {start + at, length};
    }
    return {};
}

} // namespace vexlo
