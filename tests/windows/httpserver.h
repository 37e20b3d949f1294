#pragma once
// A small HTTP/1.0 server on 127.0.0.1 for the downloader's tests. It answers
// every GET with the body it was given, with a 404, or, in stall mode, with the
// headers only, then sends the body a piece at a time when the test asks. A GET
// of a path ending in ".sha256" gets the digest text it was given (404 without).
#include <QHash>
#include <QList>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

class HttpServer : public QObject
{
public:
    enum Mode { Serve, NotFound, Stall };

    explicit HttpServer(QObject *parent = nullptr) : QObject(parent)
    {
        server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = server.nextPendingConnection()) {
                QObject::connect(s, &QTcpSocket::disconnected, this, [this, s] {
                    pending.remove(s);
                    s->deleteLater();
                });
                QObject::connect(s, &QTcpSocket::readyRead, this, [this, s] { readRequest(s); });
            }
        });
    }

    QString url(const QString &path = QStringLiteral("/lobby/qslsetup.exe")) const
    {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(server.serverPort()).arg(path);
    }

    Mode mode = Serve;
    QByteArray body;
    QByteArray digest;
    QList<QByteArray> requests; // each request's head, as received

    // Stall mode: sends the next count bytes of the body on the waiting connection.
    void sendPart(qsizetype count)
    {
        if (!stalled)
            return;
        stalled->write(body.mid(sent, count));
        sent += count;
        if (sent >= body.size())
            stalled->disconnectFromHost();
    }
    bool stalling() const { return stalled && stalled->state() == QAbstractSocket::ConnectedState; }

private:
    void readRequest(QTcpSocket *s)
    {
        QByteArray &head = pending[s];
        head += s->readAll();
        if (!head.contains("\r\n\r\n"))
            return;
        requests.append(head);
        pending.remove(s);
        const bool digestWanted = head.left(head.indexOf(" HTTP/")).endsWith(".sha256");
        if (mode == NotFound || (digestWanted && digest.isEmpty())) {
            s->write("HTTP/1.0 404 Not Found\r\nContent-Type: text/html\r\nContent-Length: 9\r\n\r\nnot found");
            s->disconnectFromHost();
            return;
        }
        if (digestWanted) {
            s->write("HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\nContent-Length: "
                     + QByteArray::number(digest.size()) + "\r\n\r\n" + digest);
            s->disconnectFromHost();
            return;
        }
        s->write("HTTP/1.0 200 OK\r\nContent-Type: application/octet-stream\r\nContent-Length: "
                 + QByteArray::number(body.size()) + "\r\n\r\n");
        if (mode == Stall) {
            stalled = s;
            sent = 0;
            return;
        }
        s->write(body);
        s->disconnectFromHost();
    }

    QTcpServer server;
    QHash<QTcpSocket *, QByteArray> pending;
    QPointer<QTcpSocket> stalled;
    qsizetype sent = 0;
};
