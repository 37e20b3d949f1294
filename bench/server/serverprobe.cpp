// Measures a running vexlo-server over loopback and prints a table of figures
// against their targets:
//  1. CPU time and wake-ups of the server over an idle spell with nine connections
//     logged in and doing nothing, and its resident memory with them;
//  2. round trips of chat relays, "CMD_chat" out to the relayed "CMD_chat" back,
//     interleaved with round trips of a bare loopback echo: one on this program's
//     own event loop, one served by a thread that sleeps between messages;
//  3. round trips of judged words, "CMD_myword" out to "CMD_newword" (or
//     "CMD_allfilled") back, with all six seats playing a game of long rounds.
// Every message to the server leaves at least GAP ms after the previous answer,
// so the server's queue (one message per 10 ms) never holds a message back.
// Around every trip the probe reads how long the server and itself waited for a
// CPU, so a tail made by a busy machine shows as such.
//
//   bench_server_probe --port N --pid P [--idle-seconds S] [--chats N] [--words N] [--gap-ms MS]
//                      [--samples FILE]
//
// The server must be fresh: the probe takes all nine slots. Exits 1 when a
// measurement could not be made (no answer within 2 s, a refused word, ...).
#include "catalogue.h"
#include "probeclient.h"
#include "probewords.h"
#include "procstats.h"
#include "samples.h"
#include "threadecho.h"
#include "tdictn.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QTcpServer>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

using namespace vexlo;

namespace {

constexpr int kSlots = 9;
constexpr int kSeats = 6;
constexpr int kAnswerMs = 2000;

struct Options
{
    quint16 port = 0;
    qint64 pid = 0;
    int idleSeconds = 10;
    int chats = 1000;
    int words = 300;
    int gapMs = 12;
    QByteArray samplesFile; // every round trip, one "kind ms" line each
};

class ProbeError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// CPU of the server and of this probe over one phase.
struct PhaseCpu
{
    CpuSample server0, server1, probe0, probe1;

    void begin(qint64 pid)
    {
        server0 = readCpu(pid);
        probe0 = readCpu(QCoreApplication::applicationPid());
    }
    void end(qint64 pid)
    {
        server1 = readCpu(pid);
        probe1 = readCpu(QCoreApplication::applicationPid());
    }
    double serverOnCpuMs() const { return double(server1.onCpuNs - server0.onCpuNs) / 1e6; }
    double serverWaitMs() const { return double(server1.waitNs - server0.waitNs) / 1e6; }
    double probeWaitMs() const { return double(probe1.waitNs - probe0.waitNs) / 1e6; }
    bool haveSchedstat() const { return server0.onCpuNs >= 0 && server1.onCpuNs >= 0 && probe1.waitNs >= 0; }
};

struct Figures
{
    QByteArray loadStart, loadEnd;
    MemorySample before, idle, end;
    CpuSample idle0, idle1;
    double idleMs = 0;
    Trips chat, word;
    Samples echo, wokenEcho;
    PhaseCpu chatCpu, wordCpu;
    int rounds = 0;
};

// --- the table of nine ---

std::vector<std::unique_ptr<ProbeClient>> fillTable(quint16 port)
{
    std::vector<std::unique_ptr<ProbeClient>> clients;
    for (int i = 0; i < kSlots; ++i) {
        clients.push_back(std::make_unique<ProbeClient>());
        clients.back()->connectTo(port);
    }
    const auto all = [&](auto pred) {
        return std::all_of(clients.begin(), clients.end(), [&](auto &c) { return pred(*c); });
    };
    const auto answered = [](const ProbeClient &c) { return c.loggedIn || c.refused || c.closed; };
    EventWait::until([&] { return all(answered); }, 5000);
    if (!all([](const ProbeClient &c) { return c.loggedIn; }))
        throw ProbeError("the nine connections did not all log in (is the server fresh?)");
    std::sort(clients.begin(), clients.end(), [](auto &a, auto &b) { return a->slot < b->slot; });
    for (int i = 0; i < kSlots; ++i)
        if (clients[static_cast<size_t>(i)]->slot != i + 1)
            throw ProbeError("the nine connections did not get slots 1 to 9 (is the server fresh?)");
    return clients;
}

// --- 1. idle ---

void measureIdle(const Options &o, Figures &f)
{
    EventWait::sleep(1000); // let the logins' traffic settle
    f.idle0 = readCpu(o.pid);
    const auto start = ProbeClock::now();
    EventWait::sleep(o.idleSeconds * 1000);
    f.idle1 = readCpu(o.pid);
    f.idleMs = msBetween(start, ProbeClock::now());
    f.idle = readMemory(o.pid);
}

// --- 2. chat relays beside a loopback echo ---

// Sends text on client and waits for expected to come back; returns the round trip
// in ms. With waits, *waited is how long the server and this probe waited for a CPU
// meanwhile (read outside the timed span).
double roundTrip(ProbeClient &client, const QByteArray &text, const QByteArray &expected,
                 const BothWaits *waits = nullptr, double *waited = nullptr)
{
    const double waitedBefore = waits ? waits->ms() : 0;
    bool got = false;
    ProbeClock::time_point at;
    client.onMessage = [&](ProbeClient &, const QByteArray &m, ProbeClock::time_point t) {
        if (!got && m == expected) {
            got = true;
            at = t;
        }
    };
    const auto sent = client.send(text);
    const bool ok = EventWait::until([&] { return got; }, kAnswerMs);
    client.onMessage = nullptr;
    if (!ok)
        throw ProbeError("no answer within 2 s to " + text.toStdString());
    if (waits && waited)
        *waited = waits->ms() - waitedBefore;
    return msBetween(sent, at);
}

// Every GAP ms one of three round trips, in turn: a chat relay through the
// server, the same bytes through an echo on this program's own event loop (the
// bare loopback), and through an echo thread that sleeps between messages
// (loopback plus waking another task, as the server is woken).
void measureChat(const Options &o, ProbeClient &host, const BothWaits &waits, Figures &f)
{
    QTcpServer echoServer;
    if (!echoServer.listen(QHostAddress::LocalHost, 0))
        throw ProbeError("cannot listen for the loopback echo");
    QObject::connect(&echoServer, &QTcpServer::newConnection, &echoServer, [&] {
        while (QTcpSocket *s = echoServer.nextPendingConnection()) {
            s->setSocketOption(QAbstractSocket::LowDelayOption, 1);
            QObject::connect(s, &QTcpSocket::readyRead, s, [s] {
                s->write(s->readAll());
                s->flush();
            });
        }
    });
    const ThreadEcho threadEcho;
    ProbeClient echo;
    ProbeClient woken;
    echo.connectTo(echoServer.serverPort(), false);
    woken.connectTo(threadEcho.port(), false);
    const auto connected = [](const ProbeClient &c) { return c.sock.state() == QAbstractSocket::ConnectedState; };
    if (!EventWait::until([&] { return connected(echo) && connected(woken); }, kAnswerMs))
        throw ProbeError("the loopback echoes did not connect");
    EventWait::sleep(50);

    const QByteArray colour = "clBlack";
    const int step = std::max(1, o.gapMs / 3);
    f.chatCpu.begin(o.pid);
    for (int i = 0; i < o.chats; ++i) {
        const QByteArray text = "probe message " + QByteArray::number(i);
        const QByteArray sent = msg::chat(host.slot, text, colour);
        EventWait::sleep(o.gapMs - 2 * step);
        double waited = 0;
        const double trip = roundTrip(host, sent, msg::chatRelay(host.name, text + '|' + colour), &waits, &waited);
        f.chat.add(trip, waited);
        EventWait::sleep(step);
        f.echo.add(roundTrip(echo, sent, sent)); // the same bytes, echoed
        EventWait::sleep(step);
        f.wokenEcho.add(roundTrip(woken, sent, sent));
    }
    f.chatCpu.end(o.pid);
}

// --- 3. judged words ---

struct Seat
{
    ProbeClient *client = nullptr;
    QByteArray pattern; // the word to fill now; empty when the seat has nothing to fill
    bool waiting = false;
    ProbeClock::time_point sent;
    double trip = 0; // ms from sending the word to its answer
};

QList<QByteArray> fieldsOf(const QByteArray &m)
{
    return m.split('+');
}

void measureWords(const Options &o, std::vector<std::unique_ptr<ProbeClient>> &clients, const BothWaits &waits,
                  Figures &f)
{
    const TDictn spell;
    const ProbeWords index(spell);
    if (index.size() == 0)
        throw ProbeError("the dictionary holds no five-letter words");

    std::vector<Seat> seats(kSeats);
    bool gameOver = false;
    int refused = 0;
    for (int s = 0; s < kSeats; ++s) {
        Seat &seat = seats[static_cast<size_t>(s)];
        seat.client = clients[static_cast<size_t>(s)].get();
        seat.client->onMessage = [&, &seat = seat](ProbeClient &c, const QByteArray &m, ProbeClock::time_point at) {
            const QList<QByteArray> p = fieldsOf(m);
            const bool mine = p.size() > 1 && p[1].toInt() == c.slot;
            const auto answered = [&] {
                if (seat.waiting)
                    seat.trip = msBetween(seat.sent, at);
                seat.waiting = false;
            };
            if (p[0] == cmd::nextplayer && mine && p.size() > 3) {
                seat.pattern = p[3];
                if (c.slot == 1)
                    ++f.rounds;
            } else if (p[0] == cmd::newword && mine && p.size() > 4) {
                answered();
                seat.pattern = p[4];
            } else if (p[0] == cmd::allfilled && mine) {
                answered();
                seat.pattern.clear();
            } else if (p[0] == cmd::invalid && mine) {
                ++refused;
                seat.waiting = false;
                seat.pattern.clear();
            } else if (p[0] == cmd::winner) {
                gameOver = true;
            }
        };
    }

    ProbeClient &host = *seats[0].client;
    EventWait::sleep(o.gapMs);
    host.send(msg::startgame(host.name, "20", "120"));

    const auto anyPattern = [&] {
        return std::any_of(seats.begin(), seats.end(), [](const Seat &s) { return !s.pattern.isEmpty(); });
    };
    std::size_t next = 0;
    f.wordCpu.begin(o.pid);
    while (f.word.all.count() < static_cast<std::size_t>(o.words)) {
        // The next seat round the table that has a word to fill; between rounds, wait for one.
        if (!EventWait::until([&] { return anyPattern() || gameOver; }, 30000) || gameOver)
            throw ProbeError("the game ended or stalled before enough words were judged");
        while (seats[next].pattern.isEmpty())
            next = (next + 1) % seats.size();
        Seat &seat = seats[next];
        next = (next + 1) % seats.size();

        EventWait::sleep(o.gapMs);
        const QByteArray word = index.fitting(seat.pattern);
        if (word.isEmpty())
            throw ProbeError("no dictionary word fits the pattern " + seat.pattern.toStdString());
        std::array<int, 5> letters{};
        for (int i = 0; i < 5; ++i)
            letters[static_cast<size_t>(i)] = word[i] - 'a' + 1;
        const double waitedBefore = waits.ms();
        seat.waiting = true;
        seat.sent = seat.client->send(msg::myword(seat.client->slot, letters));
        if (!EventWait::until([&] { return !seat.waiting; }, kAnswerMs))
            throw ProbeError("no answer within 2 s to a word");
        if (refused > 0)
            throw ProbeError("the server refused the word " + word.toStdString());
        f.word.add(seat.trip, waits.ms() - waitedBefore);
    }
    f.wordCpu.end(o.pid);
    for (Seat &s : seats)
        s.client->onMessage = nullptr;
}

// --- the table ---

const char *met(bool ok)
{
    return ok ? "met" : "NOT MET";
}

void row(const QByteArray &what, const QByteArray &value, const char *target = "", const char *verdict = "")
{
    std::printf("%-50s %-30s %-9s %s\n", what.constData(), value.constData(), target, verdict);
}

QByteArray ms(double v)
{
    return QByteArray::number(v, 'f', 3) + " ms";
}

QByteArray number(double v, int decimals)
{
    return QByteArray::number(v, 'f', decimals);
}

QByteArray p50p99(const Samples &s)
{
    return number(s.percentile(50), 3) + " / " + ms(s.percentile(99));
}

// A round trip's rows: p50, p99 against the target, the ratio to the bare loopback
// echo, and what the server spent. The trips during which the server or this probe
// waited for a CPU are counted apart: on a busy machine they make the tail.
void tripRows(const QByteArray &what, const QByteArray &count, const Trips &t, const Samples &echo,
              const PhaseCpu &cpu, const char *per)
{
    const Samples &s = t.all;
    row(what + " round trip, p50 (" + count + ")", ms(s.percentile(50)));
    row(what + " round trip, p99", ms(s.percentile(99)) + " (max " + ms(s.max()) + ")", "<= 2 ms",
        met(s.percentile(99) <= 2.0));
    row(what + " against the echo in this program, p50",
        number(s.percentile(50) / echo.percentile(50), 1) + "x (+" + ms(s.percentile(50) - echo.percentile(50)) +
            ")");
    if (!cpu.haveSchedstat())
        return;
    std::printf("  server on CPU %.1f us per %s; waited for a CPU %.1f ms in all (this probe %.1f ms)\n",
                1000.0 * cpu.serverOnCpuMs() / double(std::max<std::size_t>(1, s.count())), per,
                cpu.serverWaitMs(), cpu.probeWaitMs());
    std::printf("  %d trip(s) over %.0f ms, %d of them while the server or this probe waited over %.1f ms for a "
                "CPU;\n",
                t.slow, Trips::kSlowMs, t.slowWaited, Trips::kWaitMs);
    if (t.undisturbed.count() < 100)
        std::printf("  only %zu trip(s) went without such a wait, too few for a p99\n", t.undisturbed.count());
    else
        std::printf("  p99 of the %zu trips without such a wait: %.3f ms (max %.3f ms)\n", t.undisturbed.count(),
                    t.undisturbed.percentile(99), t.undisturbed.max());
}

void print(const Options &o, const Figures &f)
{
    const double seconds = f.idleMs / 1000.0;
    const long long ticks = f.idle1.ticks - f.idle0.ticks;
    const double statPercent = 100.0 * double(ticks) / double(clockTicksPerSecond()) / seconds;
    const bool haveSched = f.idle0.onCpuNs >= 0 && f.idle1.onCpuNs >= 0;
    const double onCpuMs = haveSched ? double(f.idle1.onCpuNs - f.idle0.onCpuNs) / 1e6 : 0;
    // utime+stime counts whole ticks: judge by the exact on-CPU time where the kernel gives it.
    const double percent = haveSched ? 100.0 * onCpuMs / f.idleMs : statPercent;

    std::printf("vexlo-server pid %lld on 127.0.0.1:%u, %d thread(s); nine connections logged in "
                "(slots 1-6 seats, 7-9 spy slots);\nmessages to the server at least %d ms apart; "
                "load average %s at the start, %s at the end\n\n",
                static_cast<long long>(o.pid), o.port, f.idle1.threads, o.gapMs, f.loadStart.constData(),
                f.loadEnd.constData());
    row("what", "value", "target");
    row("idle CPU, 9 idle connections, " + number(seconds, 1) + " s", number(percent, 4) + " % of a core",
        "< 0.1 %", met(percent < 0.1));
    std::printf("  utime+stime %lld tick(s) of %lld ms (%.3f %%); on CPU %.3f ms; %lld wake-up(s)\n", ticks,
                1000 / clockTicksPerSecond(), statPercent, onCpuMs, f.idle1.switches - f.idle0.switches);
    row("resident memory at start (VmRSS)", QByteArray::number(f.before.rssKiB) + " KiB");
    row("resident memory, 9 connections (VmRSS)", QByteArray::number(f.idle.rssKiB) + " KiB");
    row("peak resident memory, 9 connections (VmHWM)", QByteArray::number(f.idle.hwmKiB) + " KiB");
    row("peak resident memory after the run (VmHWM)", QByteArray::number(f.end.hwmKiB) + " KiB");

    tripRows("chat relay", QByteArray::number(qulonglong(f.chat.all.count())) + " relays to 9", f.chat, f.echo,
             f.chatCpu, "relay");
    row("loopback echo in this program, p50 / p99", p50p99(f.echo));
    row("loopback echo by a woken thread, p50 / p99", p50p99(f.wokenEcho));
    tripRows("myword -> newword",
             QByteArray::number(qulonglong(f.word.all.count())) + " words, " + QByteArray::number(f.rounds) +
                 " rounds",
             f.word, f.echo, f.wordCpu, "word");
}

void writeSamples(const QByteArray &path, const Figures &f)
{
    std::FILE *out = std::fopen(path.constData(), "w");
    if (!out)
        throw ProbeError("cannot write " + path.toStdString());
    const std::pair<const char *, const Samples *> kinds[] = {
        {"chat", &f.chat.all}, {"echo", &f.echo}, {"woken", &f.wokenEcho}, {"word", &f.word.all}};
    for (const auto &[kind, samples] : kinds)
        for (double v : samples->values())
            std::fprintf(out, "%s %.4f\n", kind, v);
    std::fclose(out);
}

bool parseInt(const char *text, long long lo, long long hi, long long *out)
{
    char *end = nullptr;
    const long long v = std::strtoll(text, &end, 10);
    if (!*text || *end || v < lo || v > hi)
        return false;
    *out = v;
    return true;
}

bool parseOptions(int argc, char **argv, Options *o)
{
    for (int i = 1; i + 1 < argc; i += 2) {
        const char *a = argv[i];
        long long v = 0;
        const auto take = [&](long long lo, long long hi) { return parseInt(argv[i + 1], lo, hi, &v); };
        if (!std::strcmp(a, "--port") && take(1, 65535))
            o->port = static_cast<quint16>(v);
        else if (!std::strcmp(a, "--pid") && take(1, 1LL << 31))
            o->pid = v;
        else if (!std::strcmp(a, "--idle-seconds") && take(1, 120))
            o->idleSeconds = static_cast<int>(v);
        else if (!std::strcmp(a, "--chats") && take(1, 5000))
            o->chats = static_cast<int>(v);
        else if (!std::strcmp(a, "--words") && take(1, 1000))
            o->words = static_cast<int>(v);
        else if (!std::strcmp(a, "--gap-ms") && take(3, 1000))
            o->gapMs = static_cast<int>(v);
        else if (!std::strcmp(a, "--samples"))
            o->samplesFile = argv[i + 1];
        else
            return false;
    }
    return argc % 2 == 1 && o->port != 0 && o->pid != 0;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    Options o;
    if (!parseOptions(argc, argv, &o)) {
        std::fprintf(stderr, "usage: bench_server_probe --port N --pid P [--idle-seconds S] [--chats N] "
                             "[--words N] [--gap-ms MS] [--samples FILE]\n");
        return 2;
    }
    try {
        if (const QByteArray name = processName(o.pid); name != "vexlo-server")
            throw ProbeError("process " + std::to_string(o.pid) + " is " + name.toStdString() + ", not vexlo-server");
        Figures f;
        f.loadStart = loadAverage();
        f.before = readMemory(o.pid);
        auto clients = fillTable(o.port);
        measureIdle(o, f);
        const BothWaits waits(o.pid);
        measureChat(o, *clients[0], waits, f);
        measureWords(o, clients, waits, f);
        f.end = readMemory(o.pid);
        f.loadEnd = loadAverage();
        print(o, f);
        if (!o.samplesFile.isEmpty())
            writeSamples(o.samplesFile, f);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "bench_server_probe: %s\n", e.what());
        return 1;
    }
    return 0;
}
