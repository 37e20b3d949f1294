#pragma once
// One connection of the probe: a QTcpSocket that frames what it sends, logs in
// when the server asks, and hands every received message, stamped with the
// moment its read began, to the handler of the phase being measured.
#include "framing.h"

#include <QTcpSocket>

#include <chrono>
#include <functional>

using ProbeClock = std::chrono::steady_clock;

inline double msBetween(ProbeClock::time_point from, ProbeClock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

class ProbeClient : public QObject
{
public:
    using Handler = std::function<void(ProbeClient &, const QByteArray &, ProbeClock::time_point)>;

    explicit ProbeClient(QObject *parent = nullptr);

    // Connects to 127.0.0.1:port; when the server sends "CMD_sendlogininfo" the
    // client logs in as "Probe" followed by its slot number.
    void connectTo(quint16 port, bool logIn = true);
    // Writes one framed message at once (no Nagle delay, no event-loop pass) and
    // returns the moment just before the write.
    ProbeClock::time_point send(const QByteArray &text);

    Handler onMessage;
    int slot = 0;
    QByteArray name;
    bool loggedIn = false;
    bool refused = false; // the server answered "CMD_full"
    bool closed = false;
    QTcpSocket sock;

private:
    void readMessages();

    vexlo::MessageFramer m_framer;
    bool m_logIn = true;
};

// Runs the event loop until a condition holds or the time runs out. The
// condition is looked at again after every message a probe connection receives.
namespace EventWait {
bool until(const std::function<bool()> &done, int timeoutMs);
void sleep(int ms);
// Called after each received message.
void wake();
} // namespace EventWait
