#pragma once
// Cutting a connection's byte stream into messages: every message ends with the
// single byte 0xFF; bytes after the last terminator wait for the next read.
#include <QByteArray>
#include <QList>

namespace vexlo {

constexpr char kTerminator = '\xff';

// The message text with its terminator, ready for TSock::Send.
QByteArray frame(const QByteArray &text);

class MessageFramer
{
public:
    // At most maxMessage bytes of one message are kept; the rest of a longer
    // message, up to its terminator, is dropped. 0 keeps everything.
    explicit MessageFramer(qsizetype maxMessage = 0) : m_max(maxMessage) {}

    // Appends received bytes and returns the messages they completed, in order.
    QList<QByteArray> feed(const QByteArray &bytes);

    qsizetype pendingSize() const { return m_pending.size(); }
    bool discarding() const { return m_discarding; }

private:
    qsizetype m_max;
    QByteArray m_pending;
    bool m_discarding = false; // the pending message already holds m_max bytes
};

} // namespace vexlo
