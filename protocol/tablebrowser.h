#pragma once
// TableBrowser: the tables of one game server, as a table model that follows
// the server live. It opens a connection of its own to the address, asks for
// the list (CMD_tables+) and folds what the server says and pushes after it
// through a TableDirectory into rows: number, host, players x/6 with their
// names, watchers y/3, state. A server that says nothing of tables within a few
// seconds (an older or a foreign one), one that is not there and one that is
// full are each said in one line (statusText()). What a server says is shown
// clipped and bounded; it is never trusted for more than display.
#include "framing.h"
#include "lobby.h"

#include <QAbstractTableModel>
#include <QList>
#include <QString>
#include <QTcpSocket>
#include <QTimer>

namespace vexlo {

class TableBrowser : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { TableColumn, HostColumn, PlayersColumn, WatchersColumn, StateColumn, ColumnCount };
    enum Role { TableNumberRole = Qt::UserRole + 1 };
    enum class Status { Idle, Connecting, Listed, NotListing, Failed };
    static constexpr int ConnectSeconds = 10;
    static constexpr int AnswerSeconds = 5;
    // Rows kept at most (a server holds up to 10,000 tables), and the bytes of
    // one message kept (a name is cut there).
    static constexpr int MostTables = 10000;
    static constexpr qsizetype MostMessageBytes = 256;
    static constexpr int MostNameChars = 24;

    explicit TableBrowser(QObject *parent = nullptr);
    ~TableBrowser() override;

    // Lists the tables of the server at the address as typed ("host",
    // "host:port", "[v6]:port"); a bare host goes to defaultPort. The list
    // before is dropped.
    void open(const QString &typed, quint16 defaultPort);
    // How long a connected server may take to list its tables (AnswerSeconds; shorter in tests).
    void setAnswerTime(int ms) { m_answerMs = ms; }
    // Stops following the server; the rows stay.
    void close();

    Status status() const { return m_status; }
    // One line for the player: what is going on, or what went wrong.
    QString statusText() const { return m_text; }
    QString address() const { return m_address; }
    // The host and port the connection went to ("" and 0 before any).
    QString host() const { return m_host; }
    quint16 port() const { return m_port; }
    int most() const { return m_directory.most(); }
    // The table number of a row, and the row of a table (-1 when not listed).
    int tableAt(int row) const;
    int rowOf(int table) const;
    const TableInfo *info(int row) const;

    // What the server sent, message by message (the connection calls this; tests too).
    void receive(const QList<QByteArray> &texts);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Display texts, shared with the list of games on this network.
    static QString stateText(const TableInfo &t);
    static QString shownName(const QByteArray &name);

Q_SIGNALS:
    void statusChanged();

private:
    void setStatus(Status status, const QString &text);
    void connected();
    void failed(QAbstractSocket::SocketError error);
    void timedOut();
    void closedByServer();
    void showRows();
    QString listedText() const;
    QString people(const TableInfo &t, int from, int to) const;
    QString spokenRow(const TableInfo &t) const;

    QTcpSocket m_socket;
    MessageFramer m_framer{MostMessageBytes};
    QTimer m_timer; // the connect, then the first answer
    TableDirectory m_directory;
    QList<TableInfo> m_rows; // by number
    Status m_status = Status::Idle;
    QString m_text;
    QString m_address;
    QString m_host;
    quint16 m_port = 0;
    bool m_full = false;
    int m_answerMs = AnswerSeconds * 1000;
};

} // namespace vexlo
