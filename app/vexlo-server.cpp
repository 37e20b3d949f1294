// vexlo-server: the game server without a window. Its options are described in
// app/usage/vexlo-server.txt, which makes --help and the man page.
#include "botmanager.h"
#include "epolldispatcher.h"
#include "errorreport.h"
#include "manytables.h"
#include "serverannouncer.h"
#include "targetlist.h"
#include "tdictn.h"
#include "tablelobby.h"
#include "tserver.h"
#include "vexlo-server-usage.h"

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
    unsigned long long tables = 1;
    for (int i = 1; i < argc; ++i) {
        const char *a = argv[i];
        if (!std::strcmp(a, "--help") || !std::strcmp(a, "-h")) {
            std::fputs(usage::kHelp, stdout);
            return 0;
        }
        if (!std::strcmp(a, "--version")) {
            std::fputs(usage::kVersion, stdout);
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
        const bool isTables = !std::strcmp(a, "--tables");
        if (!isPort && !isSeed && !isBind && !isBots && !isBotSpeed && !isTables)
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
        if (isTables && (!parseUnsigned(v, kMostTables, &tables) || tables == 0))
            return usageError("--tables takes a number from 1 to 10000, not", v);
        if (isPort && !parseUnsigned(v, 65535, &port))
            return usageError("--port takes a number from 0 to 65535, not", v);
        if (isBind && !bind.setAddress(QString::fromLocal8Bit(v)))
            return usageError("--bind takes an IPv4 or IPv6 address, not", v);
        if (isSeed && !parseUnsigned(v, 0xFFFFFFFFull, &seed))
            return usageError("--seed takes a number from 0 to 4294967295, not", v);
        haveSeed = haveSeed || isSeed;
    }

    // Many tables: an event loop whose passes cost what happened, not the number of sockets.
    if (tables > 1)
        QCoreApplication::setEventDispatcher(new EpollDispatcher);
    QCoreApplication app(argc, argv);
    const TDictn spell;
    const TargetList words;
    TServer server(&spell, &words);
    if (haveSeed)
        server.random().setSeed(static_cast<quint32>(seed));
    if (!spell.loadError().isEmpty())
        std::fprintf(stderr, "%s\n", qPrintable(spell.loadError()));
    int botSecondMs = 1000;
    int secondMs = 1000;
    // Quick games for tests: VEXLO_SECOND_MS shortens the game's second.
    if (const QByteArray ms = qgetenv("VEXLO_SECOND_MS"); !ms.isEmpty()) {
        unsigned long long v = 0;
        if (!parseUnsigned(ms.constData(), 1000, &v) || v == 0)
            return usageError("VEXLO_SECOND_MS takes a number from 1 to 1000, not", ms.constData());
        server.setSecondLength(static_cast<int>(v));
        botSecondMs = secondMs = static_cast<int>(v);
    }
    // The computer players' second follows the game's, or VEXLO_BOT_SECOND_MS.
    if (const QByteArray ms = qgetenv("VEXLO_BOT_SECOND_MS"); !ms.isEmpty()) {
        unsigned long long v = 0;
        if (!parseUnsigned(ms.constData(), 1000, &v) || v == 0)
            return usageError("VEXLO_BOT_SECOND_MS takes a number from 1 to 1000, not", ms.constData());
        botSecondMs = static_cast<int>(v);
    }

    if (tables > 1)
        return runManyTables(app, {static_cast<int>(tables), static_cast<quint16>(port), bind, haveSeed,
                                   static_cast<quint32>(seed), quiet, static_cast<int>(bots), botSpeed, secondMs,
                                   botSecondMs, announce, &spell, &words});

    if (!quiet)
        logEvents(server);
    try {
        server.startListening(QString::number(port), bind);
    } catch (const ESockException &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }

    if (!quitOnSignals(app, [&server] { server.shutdown(); }))
        return 1;

    // Computer players are clients like any other: on the loopback address,
    // or on the one address the server is bound to.
    BotManager hosted;
    if (bots > 0) {
        (void)WordIndex::shared(); // built now rather than when the host arrives
        const QString botHost = botHostFor(bind);
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
