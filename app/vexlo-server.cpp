// vexlo-server: the game server without a window.
//   vexlo-server [--bind ADDRESS] [--port N] [--seed S] [--quiet]
//                [--bots N [--bot-speed slow|normal|fast]] [--no-announce]
#include "botmanager.h"
#include "errorreport.h"
#include "serverannouncer.h"
#include "targetlist.h"
#include "tdictn.h"
#include "tserver.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QHostAddress>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char c = 1;
    [[maybe_unused]] const auto n = ::write(signalPipe[1], &c, 1);
}

const char kUsage[] =
    "Usage: vexlo-server [--bind ADDRESS] [--port N] [--seed S] [--quiet]\n"
    "                    [--bots N] [--bot-speed SPEED] [--no-announce]\n"
    "\n"
    "Runs the Vexlo game server without a window. It prints one line,\n"
    "\"listening on port N\", once it is ready. The first connection gets slot 1\n"
    "and is the host.\n"
    "\n"
    "  --bind ADDRESS\n"
    "             local IPv4 or IPv6 address to listen on (default: every local\n"
    "             address, IPv4 and IPv6; \"0.0.0.0\" is every IPv4 one, \"::\"\n"
    "             every IPv6 one)\n"
    "  --port N   TCP port to listen on (default 7772; 0 picks a free port)\n"
    "  --seed S   starting seed of the game's random generator, a decimal\n"
    "             number from 0 to 4294967295 (default: the time of day), so\n"
    "             the same seed draws the same boards\n"
    "  --quiet    no log lines\n"
    "  --bots N   N computer players (0 to 5, default 0) join once the host\n"
    "             (slot 1) has logged in, leave when the last person leaves\n"
    "             and come back with the next host\n"
    "  --bot-speed SPEED\n"
    "             slow, normal (the default) or fast\n"
    "  --no-announce\n"
    "             do not announce the game on the local network (by default it\n"
    "             is published as a _vexlo._tcp service through Avahi)\n"
    "  --help     show this text\n"
    "\n"
    "Every arrival, departure, removal by the host, game start and winner is\n"
    "logged as one line on standard error: the time in UTC (ISO 8601, as in\n"
    "2024-06-11T18:30:05Z), the player's address and slot, and what happened;\n"
    "names are quoted, with unprintable bytes written as \\xNN.\n"
    "\n"
    "SIGINT and SIGTERM close every connection and exit 0.\n";

bool parseUnsigned(const char *text, unsigned long long max, unsigned long long *out)
{
    if (!*text)
        return false;
    unsigned long long v = 0;
    for (const char *p = text; *p; ++p) {
        if (*p < '0' || *p > '9')
            return false;
        v = v * 10 + static_cast<unsigned>(*p - '0');
        if (v > max)
            return false;
    }
    *out = v;
    return true;
}

// A name as a log line shows it: quoted, one line, printable.
QByteArray quoted(const QByteArray &name)
{
    QByteArray out = "\"";
    for (const char ch : name) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == 0x7f || c == '"' || c == '\\')
            out += "\\x" + QByteArray::number(c, 16).rightJustified(2, '0');
        else
            out += ch;
    }
    return out + '"';
}

void logLine(const QString &peer, const QByteArray &what)
{
    QByteArray line = QDateTime::currentDateTimeUtc().toString(Qt::ISODate).toLatin1();
    if (!peer.isEmpty())
        line += ' ' + peer.toLatin1();
    line += ' ' + what + '\n';
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stderr);
    std::fflush(stderr);
}

// The operator's log: who came, went or was removed, and how games went.
void logEvents(TServer &server)
{
    auto slotText = [](int slot) { return "slot " + QByteArray::number(slot); };
    QObject::connect(&server, &TServer::playerArrived, [=](int slot, const QByteArray &name, const QString &peer) {
        logLine(peer, slotText(slot) + " arrived: " + quoted(name));
    });
    QObject::connect(&server, &TServer::playerLeft, [=](int slot, const QByteArray &name, const QString &peer) {
        logLine(peer, slotText(slot) + " left: " + quoted(name));
    });
    QObject::connect(&server, &TServer::playerRemoved, [=](int slot, const QByteArray &name, const QString &peer) {
        logLine(peer, slotText(slot) + " removed by the host: " + quoted(name));
    });
    QObject::connect(&server, &TServer::gameStarted, [&server](int rounds, int seconds) {
        logLine(server.peerAddress(1), "game started by slot 1: " + QByteArray::number(rounds) + " rounds of "
                                           + QByteArray::number(seconds) + " seconds");
    });
    QObject::connect(&server, &TServer::gameWon,
                     [](const QByteArray &name) { logLine({}, "game won by " + quoted(name)); });
}

int usageError(const char *what, const char *value)
{
    std::fprintf(stderr, "vexlo-server: %s: '%s'\nTry 'vexlo-server --help'.\n", what, value);
    return 2;
}

} // namespace

int main(int argc, char *argv[])
{
    unsigned long long port = 7772;
    unsigned long long seed = 0;
    bool haveSeed = false;
    bool quiet = false;
    bool announce = true;
    QHostAddress bind(QHostAddress::Any);
    unsigned long long bots = 0;
    BotSpeed botSpeed = BotSpeed::Normal;
    for (int i = 1; i < argc; ++i) {
        const char *a = argv[i];
        if (!std::strcmp(a, "--help") || !std::strcmp(a, "-h")) {
            std::fputs(kUsage, stdout);
            return 0;
        }
        if (!std::strcmp(a, "--quiet")) {
            quiet = true;
            continue;
        }
        if (!std::strcmp(a, "--no-announce")) {
            announce = false;
            continue;
        }
        const bool isPort = !std::strcmp(a, "--port");
        const bool isSeed = !std::strcmp(a, "--seed");
        const bool isBind = !std::strcmp(a, "--bind");
        const bool isBots = !std::strcmp(a, "--bots");
        const bool isBotSpeed = !std::strcmp(a, "--bot-speed");
        if (!isPort && !isSeed && !isBind && !isBots && !isBotSpeed)
            return usageError("unknown argument", a);
        if (i + 1 >= argc)
            return usageError("missing value after", a);
        const char *v = argv[++i];
        if (isBots && !parseUnsigned(v, BotManager::kMaxHostedBots, &bots))
            return usageError("--bots takes a number from 0 to 5, not", v);
        if (isBotSpeed) {
            const auto speed = parseBotSpeed(QString::fromLocal8Bit(v));
            if (!speed)
                return usageError("--bot-speed takes slow, normal or fast, not", v);
            botSpeed = *speed;
        }
        if (isPort && !parseUnsigned(v, 65535, &port))
            return usageError("--port takes a number from 0 to 65535, not", v);
        if (isBind && !bind.setAddress(QString::fromLocal8Bit(v)))
            return usageError("--bind takes an IPv4 or IPv6 address, not", v);
        if (isSeed && !parseUnsigned(v, 0xFFFFFFFFull, &seed))
            return usageError("--seed takes a number from 0 to 4294967295, not", v);
        haveSeed = haveSeed || isSeed;
    }

    QCoreApplication app(argc, argv);
    const TDictn spell;
    const TargetList words;
    TServer server(&spell, &words);
    if (haveSeed)
        server.random().setSeed(static_cast<quint32>(seed));
    if (!spell.loadError().isEmpty())
        std::fprintf(stderr, "%s\n", qPrintable(spell.loadError()));
    int botSecondMs = 1000;
    // Quick games for tests: VEXLO_SECOND_MS shortens the game's second.
    if (const QByteArray ms = qgetenv("VEXLO_SECOND_MS"); !ms.isEmpty()) {
        unsigned long long v = 0;
        if (!parseUnsigned(ms.constData(), 1000, &v) || v == 0)
            return usageError("VEXLO_SECOND_MS takes a number from 1 to 1000, not", ms.constData());
        server.setSecondLength(static_cast<int>(v));
        botSecondMs = static_cast<int>(v);
    }
    // The computer players' second follows the game's, or VEXLO_BOT_SECOND_MS.
    if (const QByteArray ms = qgetenv("VEXLO_BOT_SECOND_MS"); !ms.isEmpty()) {
        unsigned long long v = 0;
        if (!parseUnsigned(ms.constData(), 1000, &v) || v == 0)
            return usageError("VEXLO_BOT_SECOND_MS takes a number from 1 to 1000, not", ms.constData());
        botSecondMs = static_cast<int>(v);
    }

    if (!quiet)
        logEvents(server);
    try {
        server.startListening(QString::number(port), bind);
    } catch (const ESockException &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }

    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0) {
        std::perror("vexlo-server: socketpair");
        return 1;
    }
    QSocketNotifier notifier(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, &app, [&] {
        char c;
        [[maybe_unused]] const auto n = ::read(signalPipe[0], &c, 1);
        server.shutdown();
        app.quit();
    });
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);

    // Computer players are clients like any other: on the loopback address,
    // or on the one address the server is bound to.
    BotManager hosted;
    if (bots > 0) {
        (void)WordIndex::shared(); // built now rather than when the host arrives
        QString botHost = QStringLiteral("127.0.0.1");
        if (bind == QHostAddress(QHostAddress::AnyIPv6))
            botHost = QStringLiteral("::1");
        else if (bind != QHostAddress(QHostAddress::Any) && bind != QHostAddress(QHostAddress::AnyIPv4))
            botHost = bind.toString();
        hosted.setServer(botHost, server.listeningPort());
        hosted.setSecondLength(botSecondMs);
        if (haveSeed)
            hosted.setSeed(seed);
        hosted.setHostedBots(static_cast<int>(bots), botSpeed);
        QObject::connect(&server, &TServer::playerArrived, &hosted, &BotManager::playerArrived);
        QObject::connect(&server, &TServer::playerLeft, &hosted, &BotManager::playerLeft);
    }

    vexlo::discovery::ServerAnnouncer announcer; // no Avahi daemon: nothing happens, nothing is said
    announcer.setEnabled(announce);
    announcer.hosting(&server);

    std::printf("listening on port %u\n", static_cast<unsigned>(server.listeningPort()));
    std::fflush(stdout);
    return app.exec();
}
