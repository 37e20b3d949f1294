#include "hostaddress.h"

#include <QHostAddress>

namespace vexlo {

namespace {

constexpr int kMaxNameLength = 253;
constexpr int kMaxLabelLength = 63;

HostAddressText failed(const QString &why)
{
    HostAddressText r;
    r.error = why;
    return r;
}

bool readPort(const QString &text, quint16 *port)
{
    if (text.isEmpty() || text.size() > 5)
        return false;
    for (QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    const uint n = text.toUInt();
    if (n < 1 || n > 65535)
        return false;
    *port = static_cast<quint16>(n);
    return true;
}

bool isIPv6(const QString &text)
{
    QHostAddress a;
    return a.setAddress(text) && a.protocol() == QAbstractSocket::IPv6Protocol;
}

bool isHostName(const QString &text)
{
    if (text.isEmpty() || text.size() > kMaxNameLength)
        return false;
    for (const QString &label : text.split(QLatin1Char('.'))) {
        if (label.isEmpty() || label.size() > kMaxLabelLength || label.startsWith(QLatin1Char('-')))
            return false;
        for (QChar c : label)
            if (!(c.isLetterOrNumber() && c.unicode() < 128) && c != QLatin1Char('-') && c != QLatin1Char('_'))
                return false;
    }
    return true;
}

bool digitsAndDots(const QString &text)
{
    for (QChar c : text)
        if (c != QLatin1Char('.') && (c < QLatin1Char('0') || c > QLatin1Char('9')))
            return false;
    return true;
}

const QString kBadPort = QStringLiteral("The port must be a number from 1 to 65535.");

} // namespace

HostAddressText parseHostAddress(const QString &typed)
{
    const QString text = typed.trimmed();
    if (text.isEmpty())
        return failed(QStringLiteral("Type the host's name or address."));

    HostAddressText r;
    if (text.startsWith(QLatin1Char('['))) {
        const qsizetype close = text.indexOf(QLatin1Char(']'));
        if (close < 0)
            return failed(QStringLiteral("An address in brackets needs its closing \"]\"."));
        r.host = text.mid(1, close - 1);
        if (!isIPv6(r.host))
            return failed(QStringLiteral("%1 is not an IPv6 address.").arg(r.host));
        const QString rest = text.mid(close + 1);
        if (!rest.isEmpty() && (!rest.startsWith(QLatin1Char(':')) || !readPort(rest.mid(1), &r.port)))
            return failed(rest.startsWith(QLatin1Char(':')) ? kBadPort
                                                             : QStringLiteral("Only \":port\" may follow the \"]\"."));
        return r;
    }
    const qsizetype colons = text.count(QLatin1Char(':'));
    if (colons >= 2) {
        // A bare IPv6 address; with a port it would be ambiguous, so a port needs brackets.
        if (!isIPv6(text))
            return failed(QStringLiteral("%1 is not an IPv6 address (with a port, write [address]:port).").arg(text));
        r.host = text;
        return r;
    }
    r.host = text.section(QLatin1Char(':'), 0, 0);
    if (colons == 1 && !readPort(text.section(QLatin1Char(':'), 1), &r.port))
        return failed(kBadPort);
    if (r.host.isEmpty())
        return failed(QStringLiteral("Type the host's name or address before the \":\"."));
    if (digitsAndDots(r.host) || r.host.front().isDigit()) {
        QHostAddress a;
        if (!a.setAddress(r.host) || a.protocol() != QAbstractSocket::IPv4Protocol || r.host.count(QLatin1Char('.')) != 3)
            return failed(QStringLiteral("%1 is not an IPv4 address.").arg(r.host));
        return r;
    }
    if (!isHostName(r.host))
        return failed(QStringLiteral("%1 is not a host name or address.").arg(r.host));
    return r;
}

bool needsNameLookup(const QString &host)
{
    return !host.isEmpty() && !host.front().isDigit() && !host.contains(QLatin1Char(':'));
}

QString connectFailureReason(const QString &errorInfo)
{
    // "Error #10061 (WSAECONNREFUSED)"
    const int code = errorInfo.section(QLatin1Char('#'), 1).section(QLatin1Char(' '), 0, 0).toInt();
    switch (code) {
    case 10061: return QStringLiteral("the host refused the connection.");
    case 11001: return hostNotFoundReason();
    case 10060: return QStringLiteral("no answer.");
    case 10051: return QStringLiteral("the network cannot be reached.");
    case 10065: return QStringLiteral("the host cannot be reached.");
    default: return QStringLiteral("the connection failed (%1).").arg(errorInfo);
    }
}

QString hostNotFoundReason()
{
    return QStringLiteral("the host name was not found.");
}

QString noAnswerReason(int seconds)
{
    return QStringLiteral("no answer within %1 seconds.").arg(seconds);
}

} // namespace vexlo
