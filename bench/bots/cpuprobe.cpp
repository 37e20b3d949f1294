// One person at a vexlo-server with computer players: logs in as the host,
// waits for the computer players, starts a one-round game and reads the
// server's CPU time from /proc at the round's start and at its time-up.
//   bench_bots_cpu --port N --pid P [--bots 5] [--seconds 60]
#include "catalogue.h"
#include "framing.h"
#include "procstats.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTcpSocket>
#include <QTimer>

#include <cstdio>
#include <cstring>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    quint16 port = 0;
    qint64 pid = 0;
    int bots = 5, seconds = 60;
    for (int i = 1; i + 1 < argc; i += 2) {
        if (!std::strcmp(argv[i], "--port"))
            port = static_cast<quint16>(std::atoi(argv[i + 1]));
        else if (!std::strcmp(argv[i], "--pid"))
            pid = std::atoll(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--bots"))
            bots = std::atoi(argv[i + 1]);
        else if (!std::strcmp(argv[i], "--seconds"))
            seconds = std::atoi(argv[i + 1]);
    }
    if (!port || !pid) {
        std::fprintf(stderr, "usage: bench_bots_cpu --port N --pid P [--bots 5] [--seconds 60]\n");
        return 2;
    }

    QTcpSocket sock;
    vexlo::MessageFramer framer;
    int joined = 0, words = 0, chats = 0;
    CpuSample start, end;
    QElapsedTimer wall;
    double wallSeconds = 0;
    auto send = [&](const QByteArray &m) { sock.write(vexlo::frame(m)); };
    QObject::connect(&sock, &QTcpSocket::readyRead, [&] {
        for (const QByteArray &m : framer.feed(sock.readAll())) {
            if (m.startsWith("CMD_sendlogininfo+")) {
                send(vexlo::msg::logininfo(1, vexlo::kGameVersion, "Person"));
            } else if (m.startsWith("CMD_newplayerinfo+") && m.endsWith(" (bot)")) {
                if (++joined == bots)
                    send(vexlo::msg::startgame("Person", "1", QByteArray::number(seconds)));
            } else if (m.startsWith("CMD_startround+")) {
                start = readCpu(pid);
                wall.start();
            } else if (m.startsWith("CMD_hiscount+")) {
                ++words;
            } else if (m.startsWith("CMD_timeup+") || m.startsWith("CMD_alldone+")) {
                if (!wallSeconds) {
                    end = readCpu(pid);
                    wallSeconds = double(wall.nsecsElapsed()) / 1e9;
                }
            } else if (m.startsWith("CMD_chat+")) {
                if (++chats == bots)
                    QTimer::singleShot(200, &app, &QCoreApplication::quit);
            }
        }
    });
    sock.connectToHost(QStringLiteral("127.0.0.1"), port);
    QTimer::singleShot((seconds + 120) * 1000, &app, [&] {
        std::fprintf(stderr, "bench_bots_cpu: the game did not end in time\n");
        app.exit(1);
    });
    if (app.exec() != 0 || !wallSeconds)
        return 1;

    const double cpuTicks = double(end.ticks - start.ticks) / double(clockTicksPerSecond());
    const double onCpu = end.onCpuNs >= 0 ? double(end.onCpuNs - start.onCpuNs) / 1e9 : -1;
    const double share = 100.0 * (onCpu >= 0 ? onCpu : cpuTicks) / wallSeconds;
    std::printf("round of %.1f s with %d computer players and one person: %d words accepted, %d \"Good game!\"\n",
                wallSeconds, bots, words, chats);
    std::printf("server CPU over the round: %.3f s (utime+stime), %.3f s on CPU (schedstat), %d threads\n",
                cpuTicks, onCpu, end.threads);
    std::printf("share of one core: %.2f %%   target < 2 %%: %s\n", share, share < 2 ? "met" : "NOT MET");
    return 0;
}
