#include "framing.h"

namespace vexlo {

QByteArray frame(const QByteArray &text)
{
    QByteArray out;
    out.reserve(text.size() + 1);
    out += text;
    out += kTerminator;
    return out;
}

QList<QByteArray> MessageFramer::feed(const QByteArray &bytes)
{
    QList<QByteArray> messages;
    qsizetype from = 0;
    while (from <= bytes.size()) {
        const qsizetype end = bytes.indexOf(kTerminator, from);
        const qsizetype stop = end < 0 ? bytes.size() : end;
        if (!m_discarding) {
            qsizetype take = stop - from;
            if (m_max > 0 && m_pending.size() + take > m_max) {
                take = m_max - m_pending.size();
                m_discarding = true;
            }
            m_pending.append(bytes.constData() + from, take);
        }
        if (end < 0)
            break;
        messages.append(std::exchange(m_pending, QByteArray()));
        m_discarding = false;
        from = end + 1;
    }
    return messages;
}

} // namespace vexlo
