// Games on the local network without a daemon: the records a game sends and
// how hostile ones read, the browser model's rows as sightings come and go,
// the Avahi poll on the event loop, and what happens with no daemon at all.
// The real daemons are tested by netns.sh.
#include "avahipoll.h"
#include "gamebrowser.h"
#include "serverannouncer.h"
#include "servicepublisher.h"
#include "targetlist.h"
#include "tdictn.h"
#include "tserver.h"

#include <QSignalSpy>
#include <QTest>

#include <sys/socket.h>
#include <sys/time.h>
#include <unistd.h>

using namespace vexlo::discovery;

class DiscoveryTests : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void recordsRoundTripAndHostileOnesAreTamed();
    void oneRowPerGameWhateverTheAddresses();
    void pollWatchesAndTimesOnTheEventLoop();
    void noDaemonIsOneQuietState();
    void aServersTableAsAnnounced();
};

void DiscoveryTests::recordsRoundTripAndHostileOnesAreTamed()
{
    GameAnnouncement a;
    a.version = QStringLiteral("1.0.3");
    a.hostName = QStringLiteral("Zoë");
    a.players = 2;
    a.watchers = 1;
    a.playing = true;
    a.round = 2;
    a.rounds = 5;
    QCOMPARE(a.toTxt(), (QList<QByteArray>{"txtvers=1", "version=1.0.3", "host=Zo\xc3\xab", "players=2/6",
                                             "watchers=1/3", "state=playing", "round=2/5"}));
    QCOMPARE(GameAnnouncement::fromTxt(a.toTxt()), a);
    QCOMPARE(a.stateText(), QStringLiteral("Round 2 of 5"));
    GameAnnouncement tables;
    tables.tables = 4;
    tables.freeSeats = 13;
    QCOMPARE(GameAnnouncement::fromTxt(tables.toTxt()).playersText(), QStringLiteral("4 tables, 13 seats free"));

    // Numbers that lie are unknown; keys match in any case; the rest is skipped.
    const GameAnnouncement lies = GameAnnouncement::fromTxt(
        {"PLAYERS=7/6", "watchers=2/9", "round=3/0", "state=waiting", "tables=100000", "free=5", "=x", "noequals",
         "players=-1/6", "players=99999999999999999999/6"});
    QCOMPARE(lies.players, -1);
    QCOMPARE(lies.watchers, -1);
    QCOMPARE(lies.rounds, 0);
    QCOMPARE(lies.tables, 0);
    QCOMPARE(lies.freeSeats, -1);
    QCOMPARE(lies.playersText(), QStringLiteral("?/6"));
    QCOMPARE(lies.stateText(), QStringLiteral("Waiting"));
    QCOMPARE(GameAnnouncement::fromTxt({"tables=2", "free=13"}).freeSeats, -1); // more than two tables hold
    QCOMPARE(GameAnnouncement::fromTxt({"state=playing", "round=7/5"}).stateText(), QStringLiteral("Round 7 of 5"));

    // Names: not UTF-8 is dropped, control and bidi characters become blanks,
    // the long ones are clipped; a record longer than DNS-SD allows is not read.
    QCOMPARE(GameAnnouncement::fromTxt({"host=Bad\xff\xfe"}).hostName, QString());
    QCOMPARE(GameAnnouncement::fromTxt({"host=Red\r\n\x1b[31m\xe2\x80\xaeX"}).hostName, QStringLiteral("Red [31m X"));
    const QString clipped = GameAnnouncement::fromTxt({"host=" + QByteArray(200, 'w')}).hostName;
    QCOMPARE(clipped.size(), kMaxShownChars);
    QVERIFY(clipped.endsWith(QChar(0x2026)));
    QCOMPARE(GameAnnouncement::fromTxt({"host=" + QByteArray(300, 'w')}).hostName, QString());
    QCOMPARE(shownText(QByteArray(39, 'a') + "\xf0\x9f\x98\x80" + "bb").size(), kMaxShownChars); // no half emoji
}

void DiscoveryTests::oneRowPerGameWhateverTheAddresses()
{
    GameBrowser model(nullptr, false);
    QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&model, &QAbstractItemModel::rowsRemoved);
    const ServiceInstance v4{2, 0, "Vexlo on box", "local"};
    const ServiceInstance v6{2, 1, "Vexlo on box", "local"};
    const ServiceInstance otherLan{3, 0, "Vexlo on box", "local"};
    model.instanceResolved(v6, QStringLiteral("fd00:22::1"), 7772, {"host=Red", "players=1/6"});
    model.instanceResolved(v4, QStringLiteral("192.0.2.7"), 7772, {"host=Red", "players=2/6"});
    model.instanceResolved(otherLan, QStringLiteral("198.51.100.7"), 7775, {"host=Red", "players=2/6"});
    model.instanceResolved({2, 0, "Other", "local"}, QStringLiteral("fe80::1"), 7773, {});
    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(inserted.size(), 2);
    const QModelIndex red = model.index(0, GameBrowser::NameColumn);
    QCOMPARE(red.data().toString(), QStringLiteral("Red"));
    QCOMPARE(red.data(Qt::ToolTipRole).toString(), QStringLiteral("Vexlo on box"));
    QCOMPARE(model.index(0, GameBrowser::PlayersColumn).data().toString(), QStringLiteral("2/6"));
    QCOMPARE(red.data(GameBrowser::AddressesRole).toStringList().size(), 3);
    QCOMPARE(red.data(GameBrowser::JoinAddressRole).toString(), QStringLiteral("192.0.2.7:7772")); // IPv4 first
    // Only link-local IPv6 (which needs its interface): listed, never offered to join.
    QCOMPARE(model.index(1, 0).data().toString(), QStringLiteral("Other"));
    QCOMPARE(model.index(1, 0).data(GameBrowser::JoinAddressRole).toString(), QString());

    model.instanceRemoved(v4);
    QCOMPARE(red.data(GameBrowser::JoinAddressRole).toString(), QStringLiteral("198.51.100.7:7775")); // its own port
    model.instanceRemoved(otherLan);
    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(red.data(GameBrowser::JoinAddressRole).toString(), QStringLiteral("[fd00:22::1]:7772"));
    model.instanceRemoved(v6);
    model.instanceRemoved(v6); // the daemon may say it twice
    QCOMPARE(model.rowCount(), 1);
    QCOMPARE(removed.size(), 1);
    QCOMPARE(model.index(0, 0).data().toString(), QStringLiteral("Other"));
    // A hostile service name shows clipped; a sighting without an address is none.
    model.instanceResolved({2, 0, QByteArray(63, 'n') + "\n", "local"}, QStringLiteral("192.0.2.9"), 1, {});
    model.instanceResolved({2, 0, "No address", "local"}, QString(), 7772, {});
    QCOMPARE(model.rowCount(), 2);
    QCOMPARE(model.index(1, 0).data().toString().size(), kMaxShownChars);
}

void DiscoveryTests::pollWatchesAndTimesOnTheEventLoop()
{
    QtAvahiPoll poll;
    const AvahiPoll *api = poll.api();
    struct Seen
    {
        const AvahiPoll *api;
        int timeouts = 0;
        int reads = 0;
        AvahiWatchEvent events{};
    } seen{api};

    // A timeout fires once at its time, and may free itself as it fires.
    timeval soon{};
    gettimeofday(&soon, nullptr);
    soon.tv_usec += 20000;
    AvahiTimeout *disarmed = api->timeout_new(api, nullptr, [](AvahiTimeout *, void *) { QFAIL("a disarmed timeout fired"); }, nullptr);
    api->timeout_new(api, &soon, [](AvahiTimeout *t, void *s) {
        auto *me = static_cast<Seen *>(s);
        ++me->timeouts;
        me->api->timeout_free(t);
    }, &seen);
    QCOMPARE(poll.timeoutCount(), 2);
    QTRY_COMPARE(seen.timeouts, 1);
    QCOMPARE(poll.timeoutCount(), 1);
    api->timeout_free(disarmed);

    // A watch reports input with its events, and may free itself in its callback.
    int fds[2];
    QCOMPARE(::socketpair(AF_UNIX, SOCK_STREAM, 0, fds), 0);
    api->watch_new(api, fds[0], AVAHI_WATCH_IN, [](AvahiWatch *w, int fd, AvahiWatchEvent, void *s) {
        auto *me = static_cast<Seen *>(s);
        char c;
        QCOMPARE(::read(fd, &c, 1), 1);
        ++me->reads;
        me->events = me->api->watch_get_events(w);
        me->api->watch_free(w);
    }, &seen);
    QCOMPARE(poll.watchCount(), 1);
    QCOMPARE(::write(fds[1], "x", 1), 1);
    QTRY_COMPARE(seen.reads, 1);
    QCOMPARE(seen.events, AVAHI_WATCH_IN);
    QCOMPARE(poll.watchCount(), 0);
    ::close(fds[0]);
    ::close(fds[1]);
}

void DiscoveryTests::noDaemonIsOneQuietState()
{
    // No system bus at all: the model knows at once and lists nothing; a
    // publisher publishes nothing and nothing fails.
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/vexlo-test-bus");
    GameBrowser model;
    QVERIFY(!model.available());
    QCOMPARE(model.unavailableText(),
             QStringLiteral("Games on this network cannot be listed: the Avahi service is not running."));
    QCOMPARE(model.rowCount(), 0);
    ServicePublisher publisher;
    publisher.publish(7772, GameAnnouncement{});
    QVERIFY(publisher.published());
    QCOMPARE(publisher.registeredName(), QString());
    publisher.withdraw();
    QVERIFY(!publisher.published());
}

void DiscoveryTests::aServersTableAsAnnounced()
{
    // Seats and spy slots counted apart, the host's name, the round of the rounds.
    const TDictn spell(QByteArray("\x1e") + "CHANT         ");
    const TargetList words(QByteArray("chant\n"));
    TServer server(&spell, &words);
    for (int slot = 1; slot <= 8; ++slot)
        server.rules.opened(slot);
    server.rules.receive(1, "CMD_logininfo+1+1.0.3+Red");
    server.rules.closed(3);
    GameAnnouncement a = ServerAnnouncer::describe(server);
    QCOMPARE(a.toTxt(), (QList<QByteArray>{"txtvers=1", "version=1.0.3", "host=Red", "players=5/6", "watchers=2/3",
                                             "state=waiting"}));
    server.rules.receive(1, "CMD_startgame+Red+3+45+");
    a = ServerAnnouncer::describe(server);
    QCOMPARE(a.stateText(), QStringLiteral("Round 1 of 3"));
}

QTEST_GUILESS_MAIN(DiscoveryTests)
#include "tst_discovery.moc"
