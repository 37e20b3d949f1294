#pragma once
// What a player types as a host's address, read into a host and a port, and the
// words for a connection that did not come about.
#include <QString>
#include <QtGlobal>

namespace vexlo {

struct HostAddressText
{
    QString host;   // a host name, an IPv4 address or an IPv6 address (no brackets)
    quint16 port = 0; // 0 when the text named none
    QString error;  // why the text is not an address; empty when it is one
    bool ok() const { return error.isEmpty(); }
};

// Reads "name", "name:port", "192.0.2.7", "192.0.2.7:port", "2001:db8::7" and
// "[2001:db8::7]:port" (an IPv6 address with a port goes in brackets, as in a
// web address). Blanks around the text are ignored. A text of digits and dots
// must be an IPv4 address, a port a number from 1 to 65535, and a name is made
// of letters, digits, "-", "_" and dots.
HostAddressText parseHostAddress(const QString &text);

// Whether a host must be looked up by name: not when it is written as an
// address (it begins with a digit, or holds a ":"), as the connection reads it.
bool needsNameLookup(const QString &host);

// The end of "Could not connect to ADDRESS: ..." for a socket's error info
// ("Error #10061 (WSAECONNREFUSED)"): "the host refused the connection." and the like.
QString connectFailureReason(const QString &errorInfo);
// The same when the name lookup found nothing, and when nobody answered in time.
QString hostNotFoundReason();
QString noAnswerReason(int seconds);

} // namespace vexlo
