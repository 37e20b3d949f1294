#include "probeclient.h"

#include "catalogue.h"

#include <QEventLoop>
#include <QHostAddress>
#include <QTimer>

using namespace vexlo;

ProbeClient::ProbeClient(QObject *parent) : QObject(parent)
{
    connect(&sock, &QTcpSocket::connected, this,
            [this] { sock.setSocketOption(QAbstractSocket::LowDelayOption, 1); });
    connect(&sock, &QTcpSocket::readyRead, this, [this] { readMessages(); });
    connect(&sock, &QTcpSocket::disconnected, this, [this] {
        closed = true;
        EventWait::wake();
    });
}

void ProbeClient::connectTo(quint16 port, bool logIn)
{
    m_logIn = logIn;
    sock.connectToHost(QHostAddress::LocalHost, port);
}

ProbeClock::time_point ProbeClient::send(const QByteArray &text)
{
    const QByteArray bytes = frame(text);
    const auto at = ProbeClock::now();
    sock.write(bytes);
    sock.flush();
    return at;
}

void ProbeClient::readMessages()
{
    const auto at = ProbeClock::now();
    for (const QByteArray &m : m_framer.feed(sock.readAll())) {
        if (m_logIn && m.startsWith("CMD_sendlogininfo+")) {
            slot = m.mid(18).toInt();
            name = "Probe" + QByteArray::number(slot);
            send(msg::logininfo(slot, kGameVersion, name));
        } else if (slot > 0 && m == msg::newplayerinfo(slot, name)) {
            loggedIn = true;
        } else if (m == msg::full()) {
            refused = true;
        }
        if (onMessage)
            onMessage(*this, m, at);
        EventWait::wake();
    }
}

namespace EventWait {

namespace {
std::function<void()> g_check;
}

bool until(const std::function<bool()> &done, int timeoutMs)
{
    if (done())
        return true;
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    timer.setTimerType(Qt::PreciseTimer);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    g_check = [&] {
        if (done())
            loop.quit();
    };
    timer.start(timeoutMs);
    loop.exec();
    g_check = nullptr;
    return done();
}

void sleep(int ms)
{
    until([] { return false; }, ms);
}

void wake()
{
    if (g_check)
        g_check();
}

} // namespace EventWait
