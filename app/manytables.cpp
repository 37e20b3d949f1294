#include "manytables.h"

#include "catalogue.h"
#include "servicepublisher.h"
#include "tablebots.h"
#include "tableserver.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QSocketNotifier>

#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char c = 1;
    [[maybe_unused]] const auto n = ::write(signalPipe[1], &c, 1);
}

void logLine(const QString &peer, int table, const QByteArray &what)
{
    QByteArray line = QDateTime::currentDateTimeUtc().toString(Qt::ISODate).toLatin1();
    if (!peer.isEmpty())
        line += ' ' + peer.toLatin1();
    line += " table " + QByteArray::number(table) + ' ' + what + '\n';
    std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stderr);
    std::fflush(stderr);
}

// The operator's log: as a single table's, with the table named on every line.
void logEvents(TableServer &server)
{
    auto slotText = [](int slot) { return "slot " + QByteArray::number(slot); };
    QObject::connect(&server, &TableServer::playerArrived,
                     [=](int table, int slot, const QByteArray &name, const QString &peer) {
                         logLine(peer, table, slotText(slot) + " arrived: " + quoted(name));
                     });
    QObject::connect(&server, &TableServer::playerLeft,
                     [=](int table, int slot, const QByteArray &name, const QString &peer) {
                         logLine(peer, table, slotText(slot) + " left: " + quoted(name));
                     });
    QObject::connect(&server, &TableServer::playerRemoved,
                     [=](int table, int slot, const QByteArray &name, const QString &peer) {
                         logLine(peer, table, slotText(slot) + " removed by the host: " + quoted(name));
                     });
    QObject::connect(&server, &TableServer::gameStarted, [](int table, int rounds, int seconds, const QString &peer) {
        logLine(peer, table, "game started by slot 1: " + QByteArray::number(rounds) + " rounds of "
                                 + QByteArray::number(seconds) + " seconds");
    });
    QObject::connect(&server, &TableServer::gameWon,
                     [](int table, const QByteArray &name) { logLine({}, table, "game won by " + quoted(name)); });
    QObject::connect(&server, &TableServer::tableOpened, [](int table) { logLine({}, table, "opened"); });
    QObject::connect(&server, &TableServer::tableClosed, [](int table) { logLine({}, table, "closed"); });
    QObject::connect(&server, &TableServer::refused, [](const QString &peer, const QByteArray &reason) {
        QByteArray line = QDateTime::currentDateTimeUtc().toString(Qt::ISODate).toLatin1() + ' '
                          + peer.toLatin1() + " refused: " + reason + '\n';
        std::fwrite(line.constData(), 1, static_cast<size_t>(line.size()), stderr);
    });
}

} // namespace

// What the local network is told of a server of many tables: how many it holds
// and how many seats are free, counting those of the tables not yet opened.
vexlo::discovery::GameAnnouncement describe(const TableServer &server)
{
    const TableLobby &lobby = server.lobby();
    vexlo::discovery::GameAnnouncement a;
    a.version = QString::fromLatin1(vexlo::kGameVersion);
    a.tables = lobby.most();
    int freeSeats = (lobby.most() - lobby.tableCount()) * vexlo::discovery::GameAnnouncement::kSeats;
    for (const auto &[number, table] : lobby.tables())
        if (!table->ended)
            freeSeats += vexlo::discovery::GameAnnouncement::kSeats - table->seated;
    a.freeSeats = freeSeats;
    return a;
}

bool quitOnSignals(QCoreApplication &app, std::function<void()> stop)
{
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0) {
        std::perror("vexlo-server: socketpair");
        return false;
    }
    auto *notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &app);
    QObject::connect(notifier, &QSocketNotifier::activated, &app, [&app, stop = std::move(stop)] {
        char c;
        [[maybe_unused]] const auto n = ::read(signalPipe[0], &c, 1);
        stop();
        app.quit();
    });
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGINT, &sa, nullptr);
    sigaction(SIGTERM, &sa, nullptr);
    return true;
}

QString botHostFor(const QHostAddress &bind)
{
    if (bind == QHostAddress(QHostAddress::AnyIPv6))
        return QStringLiteral("::1");
    if (bind != QHostAddress(QHostAddress::Any) && bind != QHostAddress(QHostAddress::AnyIPv4))
        return bind.toString();
    return QStringLiteral("127.0.0.1");
}

int runManyTables(QCoreApplication &app, const ManyTablesSetup &setup)
{
    TableServer server(setup.tables, setup.spell, setup.words);
    if (setup.haveSeed)
        server.setSeed(setup.seed);
    server.setSecondLength(setup.secondMs);
    if (!setup.quiet)
        logEvents(server);
    try {
        server.startListening(QString::number(setup.port), setup.bind);
    } catch (const ESockException &e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }

    if (!quitOnSignals(app, [&server] { server.shutdown(); }))
        return 1;

    // Computer players connect like anyone, on the loopback address or on the
    // one address the server is bound to, and ask for a seat at their table.
    TableBots hosted;
    if (setup.bots > 0) {
        (void)WordIndex::shared();
        const QString botHost = botHostFor(setup.bind);
        if (!QHostAddress(botHost).isLoopback())
            server.limits().trusted << QHostAddress(botHost);
        hosted.setServer(botHost, server.listeningPort());
        hosted.setSecondLength(setup.botSecondMs);
        if (setup.haveSeed)
            hosted.setSeed(setup.seed);
        hosted.setHostedBots(setup.bots, setup.botSpeed);
        QObject::connect(&server, &TableServer::playerArrived, &hosted, &TableBots::playerArrived);
        QObject::connect(&server, &TableServer::playerLeft, &hosted, &TableBots::playerLeft);
    }

    // Announced on the local network, updated as tables fill and empty (the
    // publisher sends at most one change a second); no Avahi daemon: nothing.
    vexlo::discovery::ServicePublisher publisher;
    if (setup.announce) {
        const auto announce = [&] { publisher.publish(server.listeningPort(), describe(server)); };
        for (auto signal : {&TableServer::tableOpened, &TableServer::tableClosed})
            QObject::connect(&server, signal, &publisher, announce);
        for (auto signal : {&TableServer::playerArrived, &TableServer::playerLeft, &TableServer::playerRemoved})
            QObject::connect(&server, signal, &publisher, announce);
        announce();
    }

    std::printf("listening on port %u\n", static_cast<unsigned>(server.listeningPort()));
    std::fflush(stdout);
    return app.exec();
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
