// Raw players against running vexlo-server processes: six per table, each
// sending a word every 2 s and a chat line every 10 s, on one epoll loop so the
// players cost little beside the server. It measures the servers' resident
// memory and CPU and the word round trip (CMD_myword out, its CMD_invalid back).
//   bench_tables_load --ports P[,P...] --pids PID[,PID...] --tables T
//                     [--players 6|1] [--measure S] [--idle S] [--sources N]
// With one port, every player goes to the one server (placement fills tables
// of six; with --players 1 each asks for a new table of its own); with T
// ports, six players go to each. Phases: connect and log in
// everyone, idle with nobody in a game, start a game at every table, idle in
// the game, then type for S seconds. Prints one line of figures.
#include "catalogue.h"
#include "framing.h"
#include "procstats.h"
#include "samples.h"

#include <QByteArray>
#include <QList>

#include <arpa/inet.h>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <memory>
#include <queue>
#include <random>
#include <tuple>
#include <stdexcept>
#include <string>
#include <sys/epoll.h>
#include <sys/socket.h>
#include <unistd.h>
#include <vector>

using namespace vexlo;
using Clock = std::chrono::steady_clock;

namespace {

double msSince(Clock::time_point t)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - t).count();
}

struct Player
{
    int fd = -1;
    int slot = 0;
    bool loggedIn = false;
    MessageFramer framer;
    QByteArray name;
    Clock::time_point nextWord;
    Clock::time_point nextChat;
    Clock::time_point wordSent;
    bool waiting = false;
    bool awaitingSeat = false; // asked for a new table, not yet seated
    bool askedTable = false;
    double waitAtSend = 0;     // the CPU waits of server and load when the word went
};

struct Options
{
    QList<int> ports;
    QList<qint64> pids;
    int tables = 1;
    int measureS = 20;
    int idleS = 5;
    int sources = 1;
    int players = 6; // a table
};

Options parse(int argc, char **argv)
{
    Options o;
    for (int i = 1; i + 1 < argc; i += 2) {
        const QByteArray a = argv[i];
        const QByteArray v = argv[i + 1];
        if (a == "--ports")
            for (const QByteArray &p : v.split(','))
                o.ports << p.toInt();
        else if (a == "--pids")
            for (const QByteArray &p : v.split(','))
                o.pids << p.toLongLong();
        else if (a == "--tables")
            o.tables = v.toInt();
        else if (a == "--measure")
            o.measureS = v.toInt();
        else if (a == "--idle")
            o.idleS = v.toInt();
        else if (a == "--sources")
            o.sources = v.toInt();
        else if (a == "--players")
            o.players = v.toInt() == 1 ? 1 : 6;
        else
            throw std::runtime_error("unknown option " + a.toStdString());
    }
    if (o.ports.isEmpty() || o.pids.isEmpty())
        throw std::runtime_error("--ports and --pids are needed");
    return o;
}

class Load
{
public:
    explicit Load(const Options &o) : m_o(o), m_epoll(epoll_create1(0)), m_random(7)
    {
        // With one server, each trip knows how long either end waited for a CPU
        // meanwhile (another program's share of this shared machine).
        if (o.pids.size() == 1)
            m_waits = std::make_unique<BothWaits>(o.pids[0]);
    }

    void connectAll()
    {
        const int total = m_o.tables * m_o.players;
        m_players.resize(static_cast<size_t>(total));
        int next = 0;
        int pending = 0;
        while (next < total || pending > 0) {
            // At most 64 connections on their way at once, inside the server's backlog.
            while (next < total && pending < 64) {
                open(next++);
                ++pending;
            }
            pending -= pump(100);
        }
    }

    void startGames()
    {
        for (Player &p : m_players)
            if (p.slot == 1)
                send(p, msg::startgame(p.name, "1", "3600"));
    }

    // Types for seconds; the round trips go to trips when given.
    void run(int seconds, bool typing, Trips *trips)
    {
        m_trips = trips;
        const auto start = Clock::now();
        const auto end = start + std::chrono::seconds(seconds);
        // What each player does next, earliest first: (time, player, 0 word / 1 chat).
        using Step = std::tuple<Clock::time_point, int, int>;
        std::priority_queue<Step, std::vector<Step>, std::greater<>> steps;
        std::uniform_int_distribution<int> wordPhase(0, 1999), chatPhase(0, 9999);
        for (int i = 0; typing && i < int(m_players.size()); ++i) {
            m_players[size_t(i)].waiting = false;
            steps.emplace(start + std::chrono::milliseconds(wordPhase(m_random)), i, 0);
            steps.emplace(start + std::chrono::milliseconds(chatPhase(m_random)), i, 1);
        }
        for (auto now = Clock::now(); now < end; now = Clock::now()) {
            while (!steps.empty() && std::get<0>(steps.top()) <= now) {
                auto [at, i, kind] = steps.top();
                steps.pop();
                Player &p = m_players[size_t(i)];
                if (kind == 0) {
                    p.wordSent = Clock::now();
                    p.waitAtSend = m_waits ? m_waits->ms() : 0;
                    p.waiting = true;
                    send(p, msg::myword(p.slot, {26, 26, 26, 26, 26})); // "zzzzz": judged, not a word
                    steps.emplace(at + std::chrono::milliseconds(2000), i, 0);
                } else {
                    send(p, msg::chat(p.slot, "a line of chat from " + p.name, "clBlack"));
                    steps.emplace(at + std::chrono::milliseconds(10000), i, 1);
                }
            }
            const auto next = steps.empty() ? end : std::min(end, std::get<0>(steps.top()));
            const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(next - Clock::now()).count();
            pump(static_cast<int>(std::clamp<long long>(wait, 0, 100)));
        }
        m_trips = nullptr;
    }

    int loggedIn() const
    {
        int n = 0;
        for (const Player &p : m_players)
            n += p.loggedIn ? 1 : 0;
        return n;
    }

private:
    void open(int index)
    {
        Player &p = m_players[static_cast<size_t>(index)];
        p.name = "P" + QByteArray::number(index);
        p.fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
        if (p.fd < 0)
            throw std::runtime_error(std::string("socket: ") + std::strerror(errno));
        const int one = 1;
        ::setsockopt(p.fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
        // Several 127.x source addresses when one address runs out of ports.
        ::setsockopt(p.fd, IPPROTO_IP, IP_BIND_ADDRESS_NO_PORT, &one, sizeof one);
        sockaddr_in from{};
        from.sin_family = AF_INET;
        from.sin_addr.s_addr = htonl(0x7f000001u + static_cast<unsigned>(index % m_o.sources));
        ::bind(p.fd, reinterpret_cast<sockaddr *>(&from), sizeof from);
        sockaddr_in to{};
        to.sin_family = AF_INET;
        to.sin_addr.s_addr = htonl(0x7f000001u);
        const int port = m_o.ports.size() == 1 ? m_o.ports[0] : m_o.ports[index / 6];
        to.sin_port = htons(static_cast<uint16_t>(port));
        if (::connect(p.fd, reinterpret_cast<sockaddr *>(&to), sizeof to) != 0 && errno != EINPROGRESS)
            throw std::runtime_error(std::string("connect: ") + std::strerror(errno));
        epoll_event ev{};
        ev.events = EPOLLIN;
        ev.data.u32 = static_cast<uint32_t>(index);
        epoll_ctl(m_epoll, EPOLL_CTL_ADD, p.fd, &ev);
    }

    void send(Player &p, const QByteArray &text)
    {
        const QByteArray bytes = frame(text);
        if (::send(p.fd, bytes.constData(), static_cast<size_t>(bytes.size()), MSG_NOSIGNAL) != bytes.size())
            ++m_sendFailures;
    }

    // Reads what arrived within timeoutMs; returns how many players logged in.
    int pump(int timeoutMs)
    {
        epoll_event events[256];
        const int n = epoll_wait(m_epoll, events, 256, timeoutMs);
        int logins = 0;
        char buffer[65536];
        for (int i = 0; i < n; ++i) {
            Player &p = m_players[events[i].data.u32];
            const ssize_t got = ::recv(p.fd, buffer, sizeof buffer, 0);
            if (got <= 0) {
                if (got == 0 || (errno != EAGAIN && errno != EWOULDBLOCK))
                    throw std::runtime_error("a server closed a connection of " + p.name.toStdString());
                continue;
            }
            for (const QByteArray &m : p.framer.feed(QByteArray(buffer, got))) {
                if (m_o.players == 1 && !p.askedTable && m.startsWith("CMD_sendlogininfo+")) {
                    // Placed beside others: a table of its own instead.
                    p.askedTable = p.awaitingSeat = true;
                    send(p, "CMD_newtable+");
                } else if (p.awaitingSeat && m.startsWith("CMD_seated+")) {
                    p.awaitingSeat = false;
                } else if (!p.loggedIn && !p.awaitingSeat && m.startsWith("CMD_sendlogininfo+")) {
                    p.slot = m.mid(18).toInt();
                    p.loggedIn = true;
                    ++logins;
                    send(p, msg::logininfo(p.slot, kGameVersion, p.name));
                } else if (p.waiting && m.startsWith("CMD_invalid+")) {
                    p.waiting = false;
                    if (m_trips)
                        m_trips->add(msSince(p.wordSent), m_waits ? m_waits->ms() - p.waitAtSend : 0);
                } else if (m == "CMD_full+" || m.startsWith("CMD_lobbyerror+")) {
                    throw std::runtime_error("the server refused: " + m.toStdString());
                }
            }
        }
        return logins;
    }

    Options m_o;
    int m_epoll;
    std::mt19937 m_random;
    std::vector<Player> m_players;
    Trips *m_trips = nullptr;
    std::unique_ptr<BothWaits> m_waits;
    int m_sendFailures = 0;
};

struct Usage
{
    long long ticks = 0;
    long long rssKiB = 0;
    long long pssKiB = 0; // shared pages counted once over all the processes
};

long long pssKiB(qint64 pid)
{
    const std::string path = "/proc/" + std::to_string(pid) + "/smaps_rollup";
    FILE *f = std::fopen(path.c_str(), "r");
    if (!f)
        return -1;
    char line[256];
    long long kib = -1;
    while (std::fgets(line, sizeof line, f))
        if (std::sscanf(line, "Pss: %lld kB", &kib) == 1)
            break;
    std::fclose(f);
    return kib;
}

Usage usage(const QList<qint64> &pids, bool memory = false)
{
    Usage u;
    for (const qint64 pid : pids) {
        u.ticks += readCpu(pid).ticks;
        if (memory) {
            u.rssKiB += readMemory(pid).rssKiB;
            u.pssKiB += pssKiB(pid);
        }
    }
    return u;
}

// CPU of the servers over seconds of the load's own loop, in % of one core.
double cpuOver(Load &load, const QList<qint64> &pids, int seconds, bool typing, Trips *trips)
{
    const long long before = usage(pids).ticks;
    const auto start = Clock::now();
    load.run(seconds, typing, trips);
    const double wall = msSince(start) / 1000.0;
    return 100.0 * double(usage(pids).ticks - before) / double(clockTicksPerSecond()) / wall;
}

} // namespace

int main(int argc, char **argv)
{
    try {
        const Options o = parse(argc, argv);
        Load load(o);
        const auto t0 = Clock::now();
        load.connectAll();
        const double connectS = msSince(t0) / 1000.0;
        load.run(1, false, nullptr); // the last logins settle
        const double idleLobby = cpuOver(load, o.pids, o.idleS, false, nullptr);
        load.startGames();
        load.run(2, false, nullptr);
        const double idleGame = cpuOver(load, o.pids, o.idleS, false, nullptr);
        Trips trips;
        const double busy = cpuOver(load, o.pids, o.measureS, true, &trips);
        const Usage u = usage(o.pids, true);
        // The CPU waits are known with one server only.
        const QByteArray undisturbed = o.pids.size() != 1
            ? QByteArray("CPU waits not followed")
            : QByteArray::number(qulonglong(trips.undisturbed.count())) + " with no CPU wait: p99 "
                  + QByteArray::number(trips.undisturbed.percentile(99), 'f', 2) + " ms";
        std::printf("tables %5d  processes %4lld  players %5d  connect %5.1f s  RSS %8.1f MB  PSS %8.1f MB  "
                    "CPU idle %5.2f %%  in game %5.2f %%  typing %6.1f %%  word p50 %6.2f ms  p99 %7.2f ms  (%zu words; %s)  load %s\n",
                    o.tables, static_cast<long long>(o.pids.size()), load.loggedIn(), connectS,
                    double(u.rssKiB) / 1024.0, double(u.pssKiB) / 1024.0, idleLobby, idleGame, busy, trips.all.percentile(50),
                    trips.all.percentile(99), trips.all.count(), undisturbed.constData(), loadAverage().trimmed().constData());
        return 0;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "bench_tables_load: %s\n", e.what());
        return 1;
    }
}
