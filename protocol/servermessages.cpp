#include "servermessages.h"

#include "message.h"

#include <utility>

namespace vexlo {

namespace {

// Writes a message's fields after its command word and "+", joined by "+".
class Writer
{
public:
    explicit Writer(const char *command) : m_out(QByteArray(command) + '+') {}
    // A group alone, to follow fields written before it.
    Writer() : m_fields(1) {}
    QByteArray bytes() const { return m_out; }

    void number(int v) { text(QByteArray::number(v)); }
    void numberOrEmpty(int v) { number(v); }
    void lenient(int v) { number(v); }
    void key(int v) { number(v); }
    void restNumber(int v) { number(v); }
    void rest(const QByteArray &v) { text(v); }
    void text(const QByteArray &v)
    {
        if (m_fields++ > 0)
            m_out += '+';
        m_out += v;
    }
    void plus() { m_out += '+'; }
    template<class G> void groups(const QList<G> &list)
    {
        for (G g : list)
            g.fields(*this);
    }

private:
    QByteArray m_out;
    int m_fields = 0;
};

// Reads fields from the front of the argument text as every receiver of the
// game does: a field is the text before the next "+"; with no "+" left it is
// empty and nothing is taken. Repeated groups are read after "+@" is appended,
// while the remainder is not exactly "@" and still holds a "+". The first
// field that does not convert stops the reading.
class Reader
{
public:
    explicit Reader(const QByteArray &args) : m_text(args) {}
    int badField() const { return m_bad; }
    QByteArray badText() const { return m_badText; }

    void number(int &v)
    {
        if (!stopped())
            convert(next(), &v);
    }
    void numberOrEmpty(int &v)
    {
        if (stopped())
            return;
        const QByteArray f = next();
        if (f.isEmpty())
            v = 0;
        else
            convert(f, &v);
    }
    void lenient(int &v)
    {
        if (!stopped() && !toNumber(next(), &v))
            v = 0;
    }
    void key(int &v)
    {
        if (!stopped() && !toNumber(next(), &v))
            m_dropGroup = true;
    }
    void text(QByteArray &v)
    {
        if (!stopped())
            v = next();
    }
    void rest(QByteArray &v)
    {
        if (stopped())
            return;
        ++m_field;
        v = remainder().toByteArray();
    }
    void restNumber(int &v)
    {
        if (stopped())
            return;
        ++m_field;
        convert(remainder().toByteArray(), &v);
    }
    void plus() {}
    template<class G> void groups(QList<G> &list)
    {
        if (stopped())
            return;
        m_text += "+@";
        while (!stopped() && moreGroups()) {
            G g;
            m_dropGroup = false;
            g.fields(*this);
            if (!stopped() && !m_dropGroup)
                list.append(std::move(g));
        }
    }

private:
    bool stopped() const { return m_bad >= 0; }
    QByteArrayView remainder() const { return QByteArrayView(m_text).sliced(m_pos); }
    bool moreGroups() const
    {
        const QByteArrayView r = remainder();
        return !(r.size() == 1 && r[0] == '@') && r.contains('+');
    }
    QByteArray next()
    {
        ++m_field;
        const qsizetype plus = m_text.indexOf('+', m_pos);
        if (plus < 0)
            return {};
        const QByteArray f = m_text.mid(m_pos, plus - m_pos);
        m_pos = plus + 1;
        return f;
    }
    // The field just read (m_field - 1) as a number, or the reading stops.
    void convert(const QByteArray &f, int *v)
    {
        if (toNumber(f, v))
            return;
        m_bad = m_field - 1;
        m_badText = f;
    }

    QByteArray m_text;
    qsizetype m_pos = 0;
    int m_field = 0;
    int m_bad = -1;
    QByteArray m_badText;
    bool m_dropGroup = false;
};

template<class M> ServerMessage readAs(Reader &r)
{
    M m;
    m.fields(r);
    return m;
}

template<std::size_t... I>
std::optional<ServerMessage> readKnown(const QByteArray &command, Reader &r, std::index_sequence<I...>)
{
    std::optional<ServerMessage> out;
    (void)((command == std::variant_alternative_t<I, ServerMessage>::command
                ? (out = readAs<std::variant_alternative_t<I, ServerMessage>>(r), true)
                : false)
           || ...);
    return out;
}

template<class G> QByteArray writeGroup(G group)
{
    Writer w;
    group.fields(w);
    return w.bytes();
}

} // namespace

QString DecodedMessage::errorText() const
{
    return ok() ? QString() : QString::fromStdString(EConvertError(badText).what());
}

void DecodedMessage::raise() const
{
    if (!ok())
        throw EConvertError(badText);
}

DecodedMessage decodeServerMessage(const QByteArray &text)
{
    const Message m = parseMessage(text);
    DecodedMessage d;
    d.command = m.command;
    if (m.command.isEmpty())
        return d;
    Reader r(m.args);
    d.message = readKnown(m.command, r, std::make_index_sequence<std::variant_size_v<ServerMessage>>());
    d.badField = r.badField();
    d.badText = r.badText();
    return d;
}

QByteArray encodeServerMessage(const ServerMessage &message)
{
    return std::visit(
        [](auto m) {
            Writer w(m.command);
            m.fields(w);
            return w.bytes();
        },
        message);
}

QByteArray encodeGroup(const msg::ScoreEntry &entry)
{
    return writeGroup(entry);
}

QByteArray encodeGroup(const msg::SeatStats &stats)
{
    return writeGroup(stats);
}

} // namespace vexlo
