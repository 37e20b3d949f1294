#pragma once
// A bare game client for loopback tests: a QTcpSocket that frames what it sends
// and collects every message it receives.
#include "catalogue.h"
#include "framing.h"

#include <QTcpSocket>
#include <QTest>

class TestClient : public QObject
{
public:
    explicit TestClient(quint16 port, const QHostAddress &address = QHostAddress::LocalHost,
                        QObject *parent = nullptr)
        : QObject(parent)
    {
        connect(&sock, &QTcpSocket::readyRead, this, [this] {
            for (QByteArray &m : framer.feed(sock.readAll()))
                got.append(std::move(m));
        });
        connect(&sock, &QTcpSocket::disconnected, this, [this] { closed = true; });
        sock.connectToHost(address, port);
    }

    void send(const QByteArray &text) { sendRaw(vexlo::frame(text)); }
    void sendRaw(const QByteArray &bytes)
    {
        sock.write(bytes);
        sock.flush();
    }

    // Waits until a message equal to text has arrived; true when it did.
    bool waitFor(const QByteArray &text, int ms = 3000)
    {
        return QTest::qWaitFor([&] { return got.contains(text); }, ms);
    }
    // Waits for the first message starting with prefix and returns it (empty on time-out).
    QByteArray waitForPrefix(const QByteArray &prefix, int ms = 3000)
    {
        QByteArray found;
        (void)QTest::qWaitFor(
            [&] {
                for (const QByteArray &m : got)
                    if (m.startsWith(prefix)) {
                        found = m;
                        return true;
                    }
                return false;
            },
            ms);
        return found;
    }
    // The slot the server gave us (0 until "CMD_sendlogininfo" arrived).
    int waitForSlot()
    {
        const QByteArray m = waitForPrefix("CMD_sendlogininfo+");
        slot = m.isEmpty() ? 0 : m.mid(18).toInt();
        return slot;
    }
    // Connects, takes the slot and logs in under name.
    int login(const QByteArray &name, const QByteArray &version = vexlo::kGameVersion)
    {
        const int given = waitForSlot();
        if (given > 0)
            send(vexlo::msg::logininfo(given, version, name));
        return given;
    }
    int count(const QByteArray &text) const { return static_cast<int>(got.count(text)); }
    QList<QByteArray> withPrefix(const QByteArray &prefix) const
    {
        QList<QByteArray> out;
        for (const QByteArray &m : got)
            if (m.startsWith(prefix))
                out << m;
        return out;
    }

    QTcpSocket sock;
    vexlo::MessageFramer framer;
    QList<QByteArray> got;
    bool closed = false;
    int slot = 0;
};
