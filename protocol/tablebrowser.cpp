#include "tablebrowser.h"

#include "hostaddress.h"
#include "message.h"

namespace vexlo {

namespace {

QString clipped(QString text, int most)
{
    for (QChar &c : text)
        if (c.unicode() < 0x20 || c.unicode() == 0x7f)
            c = QLatin1Char('?');
    if (text.size() > most)
        text = text.left(most - 1) + QChar(0x2026);
    return text;
}

} // namespace

TableBrowser::TableBrowser(QObject *parent) : QAbstractTableModel(parent)
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &TableBrowser::timedOut);
    connect(&m_socket, &QTcpSocket::connected, this, &TableBrowser::connected);
    connect(&m_socket, &QTcpSocket::errorOccurred, this, &TableBrowser::failed);
    connect(&m_socket, &QTcpSocket::disconnected, this, &TableBrowser::closedByServer);
    connect(&m_socket, &QTcpSocket::readyRead, this, [this] { receive(m_framer.feed(m_socket.readAll())); });
}

TableBrowser::~TableBrowser()
{
    m_socket.disconnect(this);
    m_socket.abort();
}

void TableBrowser::open(const QString &typed, quint16 defaultPort)
{
    close();
    m_directory = TableDirectory();
    m_framer = MessageFramer(MostMessageBytes);
    m_full = false;
    showRows();
    m_address = typed.trimmed();
    const HostAddressText a = parseHostAddress(m_address);
    if (!a.ok()) {
        setStatus(Status::Failed, a.error);
        return;
    }
    m_host = a.host;
    m_port = a.port ? a.port : defaultPort;
    setStatus(Status::Connecting, tr("Asking %1 for its tables...").arg(m_address));
    m_timer.start(ConnectSeconds * 1000);
    m_socket.connectToHost(m_host, m_port);
}

void TableBrowser::close()
{
    m_timer.stop();
    m_socket.blockSignals(true);
    m_socket.abort();
    m_socket.blockSignals(false);
    if (m_status == Status::Connecting)
        setStatus(Status::Idle, QString());
}

void TableBrowser::setStatus(Status status, const QString &text)
{
    if (m_status == status && m_text == text)
        return;
    m_status = status;
    m_text = text;
    Q_EMIT statusChanged();
}

void TableBrowser::connected()
{
    m_socket.write(frame(msg::tables()));
    m_timer.start(m_answerMs);
}

void TableBrowser::failed(QAbstractSocket::SocketError error)
{
    if (m_status != Status::Connecting)
        return; // a listed server that goes is said by closedByServer
    m_timer.stop();
    QString why;
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError: why = tr("the host refused the connection."); break;
    case QAbstractSocket::HostNotFoundError: why = hostNotFoundReason(); break;
    case QAbstractSocket::RemoteHostClosedError: closedByServer(); return;
    default: why = m_socket.errorString() + QLatin1Char('.'); break;
    }
    m_socket.abort();
    setStatus(Status::Failed, tr("Could not connect to %1: %2").arg(m_address, why));
}

void TableBrowser::timedOut()
{
    const bool answered = m_socket.state() == QAbstractSocket::ConnectedState;
    close();
    if (answered)
        setStatus(Status::NotListing, tr("This server does not list its tables; you can still join it directly."));
    else
        setStatus(Status::Failed, tr("Could not connect to %1: %2").arg(m_address, noAnswerReason(ConnectSeconds)));
}

void TableBrowser::closedByServer()
{
    m_timer.stop();
    if (m_status == Status::Failed || m_status == Status::NotListing)
        return;
    if (m_full)
        setStatus(Status::Failed, tr("The game at %1 is full.").arg(m_address));
    else if (m_status == Status::Connecting && m_socket.state() != QAbstractSocket::ConnectedState
             && !m_directory.listed())
        setStatus(Status::NotListing, tr("This server does not list its tables; you can still join it directly."));
    else
        setStatus(Status::Failed, tr("%1 closed the connection; the list shows the tables as they were.").arg(m_address));
}

// --- what the server says ---

void TableBrowser::receive(const QList<QByteArray> &texts)
{
    for (const QByteArray &text : texts) {
        const Message m = parseMessage(text);
        if (m.command == "CMD_full") {
            m_full = true;
            continue;
        }
        if (m.command == cmd::table) {
            // A server that would list more tables than any holds is not followed past that.
            FieldReader f(m.args + '+');
            int number = 0;
            if (toNumber(f.field(), &number) && !m_directory.tables().contains(number)
                && m_directory.tables().size() >= MostTables)
                continue;
        }
        m_directory.apply(text);
    }
    if (!m_directory.listed())
        return;
    showRows();
    if (m_status == Status::Connecting || m_status == Status::Listed) {
        m_timer.stop();
        setStatus(Status::Listed, listedText());
    }
}

QString TableBrowser::listedText() const
{
    const int open = static_cast<int>(m_rows.size());
    if (open == 0)
        return tr("%1 has no table open; New Table opens one.").arg(m_address);
    if (m_directory.most() <= 1)
        return tr("The table of %1.").arg(m_address);
    return tr("Tables at %1: %2 open of at most %3.").arg(m_address).arg(open).arg(m_directory.most());
}

// The rows follow the directory: gone tables removed, new ones inserted in
// order, changed ones redrawn, so a chosen row stays chosen.
void TableBrowser::showRows()
{
    const QList<TableInfo> next = m_directory.tables().values();
    qsizetype row = 0;
    qsizetype j = 0;
    while (row < m_rows.size() || j < next.size()) {
        if (j >= next.size() || (row < m_rows.size() && m_rows[row].number < next[j].number)) {
            const int r = static_cast<int>(row);
            beginRemoveRows({}, r, r);
            m_rows.removeAt(row);
            endRemoveRows();
        } else if (row >= m_rows.size() || next[j].number < m_rows[row].number) {
            const int r = static_cast<int>(row);
            beginInsertRows({}, r, r);
            m_rows.insert(row, next[j]);
            endInsertRows();
            ++row;
            ++j;
        } else {
            if (!(m_rows[row] == next[j])) {
                m_rows[row] = next[j];
                const int r = static_cast<int>(row);
                Q_EMIT dataChanged(index(r, 0), index(r, ColumnCount - 1));
            }
            ++row;
            ++j;
        }
    }
}

int TableBrowser::tableAt(int row) const
{
    return row >= 0 && row < m_rows.size() ? m_rows[row].number : 0;
}

int TableBrowser::rowOf(int table) const
{
    for (qsizetype i = 0; i < m_rows.size(); ++i)
        if (m_rows[i].number == table)
            return static_cast<int>(i);
    return -1;
}

const TableInfo *TableBrowser::info(int row) const
{
    return row >= 0 && row < m_rows.size() ? &m_rows[row] : nullptr;
}

// --- the model ---

int TableBrowser::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_rows.size());
}

int TableBrowser::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QString TableBrowser::shownName(const QByteArray &name)
{
    return clipped(QString::fromLatin1(name), MostNameChars);
}

QString TableBrowser::stateText(const TableInfo &t)
{
    switch (t.state) {
    case TableInfo::State::Playing: return tr("Round %1 of %2").arg(t.round).arg(t.rounds);
    case TableInfo::State::GameOver: return tr("Game over");
    case TableInfo::State::Waiting: break;
    }
    return tr("Waiting");
}

QString TableBrowser::people(const TableInfo &t, int from, int to) const
{
    QStringList names;
    for (const TablePerson &p : t.people) {
        if (p.slot < from || p.slot > to)
            continue;
        QString name = shownName(p.name);
        // Computer players are marked, whatever name they came with.
        if (p.computer && !p.name.endsWith(kComputerMark))
            name += QLatin1String(kComputerMark);
        names << name;
    }
    return names.join(QLatin1String(", "));
}

QString TableBrowser::spokenRow(const TableInfo &t) const
{
    const QString host = shownName(t.hostName());
    QString s = tr("Table %1").arg(t.number);
    if (!host.isEmpty())
        s += tr(", host %1").arg(host);
    const QString players = people(t, 1, 6);
    s += tr(", %1 of 6 players").arg(t.seated) + (players.isEmpty() ? QString() : QLatin1String(": ") + players);
    const QString watchers = people(t, 7, 9);
    s += tr("; %1 of 3 watchers").arg(t.watchers) + (watchers.isEmpty() ? QString() : QLatin1String(": ") + watchers);
    return s + QLatin1String("; ") + stateText(t) + QLatin1Char('.');
}

QVariant TableBrowser::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const TableInfo &t = m_rows[index.row()];
    if (role == TableNumberRole)
        return t.number;
    if (role == Qt::AccessibleTextRole || role == Qt::ToolTipRole)
        return index.column() == TableColumn || role == Qt::ToolTipRole ? spokenRow(t)
                                                                          : data(index, Qt::DisplayRole);
    if (role != Qt::DisplayRole)
        return {};
    const auto count = [](int n, int of, const QString &names) {
        return QStringLiteral("%1/%2").arg(n).arg(of) + (names.isEmpty() ? QString() : QLatin1String(": ") + names);
    };
    switch (index.column()) {
    case TableColumn: return t.number;
    case HostColumn: return shownName(t.hostName());
    case PlayersColumn: return count(t.seated, 6, people(t, 1, 6));
    case WatchersColumn: return count(t.watchers, 3, people(t, 7, 9));
    case StateColumn: return stateText(t);
    default: return {};
    }
}

QVariant TableBrowser::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case TableColumn: return tr("Table");
    case HostColumn: return tr("Host");
    case PlayersColumn: return tr("Players");
    case WatchersColumn: return tr("Watchers");
    case StateColumn: return tr("State");
    default: return {};
    }
}

} // namespace vexlo
