#pragma once
// The text rules of the chat, kept apart from the widgets: what goes on the
// wire, how a received line splits into its line and colour, where the bold
// head of a line ends, and where a link lies in the chat text.
#include "colortext.h"

#include <QByteArray>
#include <QString>

namespace vexlo {

// Outgoing text is single-byte Latin-1: a character outside Latin-1, and the
// byte 0xFF ("ÿ") that would end the message early, go out as "?".
QByteArray toWireText(const QString &text);

struct ChatLine
{
    QString line;
    TColor colour = clRed;
};
// A relayed chat or action ("name chats: text|colour"): the line before the
// first "|" and its colour; red when there is no "|" or the colour is unreadable.
ChatLine splitRelay(const QByteArray &args);

// The bold head of a chat line: everything up to and including its first ":"
// (empty when there is none).
qsizetype headLength(const QString &line);

struct LinkSpan
{
    qsizetype start = -1;
    qsizetype length = 0;
    bool valid() const { return start >= 0; }
};
// The link under character position pos of text, if any. The word around the
// position (delimited by blanks and line breaks) is searched for the first of
// "http://", "ftp://", "file://", "gopher://", "telnet://", "news:", "mailto:",
// "www." that occurs in it; the link runs from there to the word's last letter,
// digit or "/". "file://" words are never links.
LinkSpan findLink(const QString &text, qsizetype pos);

} // namespace vexlo
