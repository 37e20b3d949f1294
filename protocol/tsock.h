#pragma once
// TSock: the event-driven TCP socket every game connection uses, over
// QTcpSocket / QTcpServer. Every notification arrives on the event loop and is
// turned into the socket's events (OnRead, OnInfo, ...). Only non-blocking
// stream sockets exist here.
#include <QByteArray>
#include <QHostAddress>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTcpServer>
#include <QTcpSocket>
#include <functional>
#include <stdexcept>

class ESockException : public std::runtime_error
{
public:
    explicit ESockException(const QString &message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    QString message() const { return m_message; }

private:
    QString m_message;
};

enum class TSocketInfo { Lookup, Connect, Close, Listen, Receive, Send, Accept, Error };

// The name the component keeps for an info kind ("Lookup", "Connect", ...).
QString socketInfoName(TSocketInfo kind);
// "Error #10061 (WSAECONNREFUSED)"; names of the standard Windows Sockets codes,
// "UNKNOWN ERROR" for any other.
QString socketErrorText(int code);

class TSock : public QObject
{
    Q_OBJECT
public:
    using NotifyEvent = std::function<void(TSock *sender)>;
    using NotifyReadEvent = std::function<void(TSock *sender, int count)>;
    using NotifyInfoEvent = std::function<void(TSock *sender, TSocketInfo info, const QString &msg)>;

    explicit TSock(QObject *parent = nullptr);
    ~TSock() override;

    // Properties.
    QString HostName() const { return m_hostName; }
    void setHostName(const QString &name);
    QString PortName() const { return m_portName; }
    void setPortName(const QString &name);
    bool Listen() const { return m_listen; }
    void setListen(bool on);
    // The local address a listener binds: every one, IPv4 and IPv6, unless set.
    QHostAddress bindAddress() const { return m_bindAddress; }
    void setBindAddress(const QHostAddress &address) { m_bindAddress = address; }
    bool Connected() const { return m_connected; }
    bool hasHandle() const { return m_socket || m_server; }
    int Tag = 0;

    // The port actually bound by a listener (useful when PortName is "0").
    quint16 localPort() const;
    // The descriptor of the connection's socket, or -1 without one.
    qintptr socketDescriptor() const { return m_socket ? m_socket->socketDescriptor() : -1; }

    // Operations.
    bool Open();
    bool Close();
    bool Send(const QByteArray &text);
    QByteArray Text(); // Receive: the whole receive buffer, emptied
    QByteArray ReceiveCount(int count);
    TSock *Accept(); // nullptr when nothing could be accepted

    // Bytes handed to Send and not yet taken by the network layer.
    qsizetype pendingSendBytes() const { return m_sendBuffer.size(); }

    // Events.
    NotifyReadEvent OnRead;
    NotifyInfoEvent OnInfo;
    NotifyEvent OnDisconnect;
    NotifyEvent OnAccept;
    NotifyEvent OnConnect;
    NotifyEvent OnWrite;

    // The process-wide host cache (name -> address); entries live until exit.
    static void clearHostCache();
    static int hostCacheSize();

private:
    void info(TSocketInfo kind, const QString &msg);
    void attach(QTcpSocket *socket);
    void flushSendBuffer();
    void onConnected();
    void onReadyRead();
    void onBytesWritten();
    void onDisconnected();
    void onError(int qtError);
    void onNewConnection();
    void releaseSocket(bool graceful);
    quint16 resolvePort();
    QHostAddress resolveHost();

    QString m_hostName;
    QString m_portName;
    QHostAddress m_bindAddress{QHostAddress::Any};
    bool m_listen = false;
    bool m_connected = false;
    QPointer<QTcpSocket> m_socket;
    QPointer<QTcpServer> m_server;
    QByteArray m_sendBuffer;
    QByteArray m_receiveBuffer;
};
