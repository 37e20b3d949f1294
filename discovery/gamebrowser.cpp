#include "gamebrowser.h"

#include "avahiconnection.h"

#include <avahi-client/lookup.h>
#include <avahi-common/address.h>
#include <avahi-common/strlst.h>

namespace vexlo::discovery {

namespace {

// A daemon with hostile neighbours must not make us hold without bound.
constexpr qsizetype kMaxGames = 200;
constexpr qsizetype kMaxSightings = 16;
constexpr qsizetype kMaxTxtRecords = 32;

QList<QByteArray> recordsOf(AvahiStringList *txt)
{
    QList<QByteArray> out;
    for (AvahiStringList *l = txt; l && out.size() < kMaxTxtRecords; l = avahi_string_list_get_next(l))
        out.append(QByteArray(reinterpret_cast<const char *>(avahi_string_list_get_text(l)),
                              static_cast<qsizetype>(avahi_string_list_get_size(l))));
    return out;
}

QString addressText(const AvahiAddress *a)
{
    char text[AVAHI_ADDRESS_STR_MAX] = {};
    if (!a || !avahi_address_snprint(text, sizeof text, a))
        return {};
    return QString::fromLatin1(text);
}

// How good an address is to join at: 0 not offered (IPv6 link-local needs
// its interface named), 1 IPv6, 2 IPv4 link-local, 3 IPv4.
int joinRank(const QString &a)
{
    if (a.contains(QLatin1Char(':'))) {
        const QString head = a.left(3).toLower();
        const bool linkLocal = head == QLatin1String("fe8") || head == QLatin1String("fe9")
                               || head == QLatin1String("fea") || head == QLatin1String("feb");
        return linkLocal ? 0 : 1;
    }
    return a.startsWith(QLatin1String("169.254.")) ? 2 : 3;
}

} // namespace

struct BrowserCalls
{
    static void browsed(AvahiServiceBrowser *, AvahiIfIndex interfaceIndex, AvahiProtocol protocol,
                        AvahiBrowserEvent event, const char *name, const char *type, const char *domain,
                        AvahiLookupResultFlags, void *userdata)
    {
        static_cast<GameBrowser *>(userdata)->browsed(interfaceIndex, protocol, event, name, type, domain);
    }

    static void resolved(AvahiServiceResolver *r, AvahiIfIndex interfaceIndex, AvahiProtocol protocol,
                         AvahiResolverEvent event, const char *name, const char *, const char *domain, const char *,
                         const AvahiAddress *address, uint16_t port, AvahiStringList *txt, AvahiLookupResultFlags,
                         void *userdata)
    {
        auto *self = static_cast<GameBrowser *>(userdata);
        const ServiceInstance key{interfaceIndex, protocol, QByteArray(name ? name : ""), QByteArray(domain ? domain : "")};
        if (event == AVAHI_RESOLVER_FOUND) {
            self->instanceResolved(key, addressText(address), port, recordsOf(txt));
            return;
        }
        // Not resolvable (it went before it answered): drop the resolver; the
        // browser says when the service goes for good.
        if (self->m_resolvers.value(key) == r)
            self->m_resolvers.remove(key);
        avahi_service_resolver_free(r);
    }
};

GameBrowser::GameBrowser(QObject *parent, bool connectToDaemon) : QAbstractTableModel(parent)
{
    if (!connectToDaemon)
        return;
    m_connection = new AvahiConnection(this);
    connect(m_connection, &AvahiConnection::resetting, this, &GameBrowser::stopBrowsing);
    connect(m_connection, &AvahiConnection::stateChanged, this, &GameBrowser::daemonStateChanged);
    daemonStateChanged();
}

GameBrowser::~GameBrowser()
{
    // Its owner may be half gone: nothing is signalled from here.
    for (AvahiServiceResolver *r : std::as_const(m_resolvers))
        avahi_service_resolver_free(r);
    if (m_browser)
        avahi_service_browser_free(m_browser);
}

QString GameBrowser::unavailableText() const
{
    if (m_available)
        return {};
    return QStringLiteral("Games on this network cannot be listed: the Avahi service is not running.");
}

QString GameBrowser::emptyListText() const
{
    if (!m_available)
        return unavailableText();
    if (rowCount() == 0)
        return QStringLiteral("No games found yet; they show here as they start.");
    return {};
}

void GameBrowser::setAvailable(bool available)
{
    if (available == m_available)
        return;
    m_available = available;
    Q_EMIT availableChanged(available);
}

void GameBrowser::daemonStateChanged()
{
    const bool up = m_connection->connected();
    if (up && !m_browser)
        startBrowsing();
    setAvailable(up && m_browser);
}

void GameBrowser::startBrowsing()
{
    m_browser = avahi_service_browser_new(m_connection->client(), AVAHI_IF_UNSPEC, AVAHI_PROTO_UNSPEC, kServiceType,
                                          nullptr, AvahiLookupFlags(0), &BrowserCalls::browsed, this);
}

void GameBrowser::stopBrowsing()
{
    for (AvahiServiceResolver *r : std::as_const(m_resolvers))
        avahi_service_resolver_free(r);
    m_resolvers.clear();
    if (m_browser)
        avahi_service_browser_free(std::exchange(m_browser, nullptr));
    if (!m_games.isEmpty()) {
        beginResetModel();
        m_games.clear();
        endResetModel();
    }
    setAvailable(false);
}

void GameBrowser::browsed(int interfaceIndex, int protocol, int event, const char *name, const char *type,
                          const char *domain)
{
    if (event == AVAHI_BROWSER_FAILURE) {
        stopBrowsing();
        return;
    }
    if (!name || !domain)
        return;
    const ServiceInstance key{interfaceIndex, protocol, QByteArray(name), QByteArray(domain)};
    if (event == AVAHI_BROWSER_NEW && !m_resolvers.contains(key) && m_resolvers.size() < kMaxGames * 4) {
        // Resolved over the protocol it was seen on, so IPv4 and IPv6 both show;
        // the resolver stays to report changed records.
        if (AvahiServiceResolver *r = avahi_service_resolver_new(m_connection->client(), interfaceIndex, protocol, name,
                                                                 type, domain, protocol, AvahiLookupFlags(0),
                                                                 &BrowserCalls::resolved, this))
            m_resolvers.insert(key, r);
    } else if (event == AVAHI_BROWSER_REMOVE) {
        if (AvahiServiceResolver *r = m_resolvers.take(key))
            avahi_service_resolver_free(r);
        instanceRemoved(key);
    }
}

int GameBrowser::rowOf(const QByteArray &name, const QByteArray &domain) const
{
    for (int i = 0; i < m_games.size(); ++i)
        if (m_games[i].name == name && m_games[i].domain == domain)
            return i;
    return -1;
}

void GameBrowser::instanceResolved(const ServiceInstance &instance, const QString &address, quint16 port,
                                   const QList<QByteArray> &txt)
{
    if (port == 0 || address.isEmpty() || address.size() > AVAHI_ADDRESS_STR_MAX)
        return;
    const int row = rowOf(instance.name, instance.domain);
    if (row < 0) {
        if (m_games.size() >= kMaxGames)
            return;
        Game g;
        g.name = instance.name;
        g.domain = instance.domain;
        g.shownName = shownText(instance.name);
        g.announcement = GameAnnouncement::fromTxt(txt);
        g.sightings.insert(instance, Sighting{address, port, true});
        beginInsertRows({}, int(m_games.size()), int(m_games.size()));
        m_games.append(g);
        endInsertRows();
        return;
    }
    Game &g = m_games[row];
    if (!g.sightings.contains(instance) && g.sightings.size() >= kMaxSightings)
        return;
    g.sightings.insert(instance, Sighting{address, port, true});
    g.announcement = GameAnnouncement::fromTxt(txt);
    Q_EMIT dataChanged(index(row, 0), index(row, ColumnCount - 1));
}

void GameBrowser::instanceRemoved(const ServiceInstance &instance)
{
    const int row = rowOf(instance.name, instance.domain);
    if (row < 0)
        return;
    Game &g = m_games[row];
    g.sightings.remove(instance);
    if (!g.sightings.isEmpty()) {
        Q_EMIT dataChanged(index(row, 0), index(row, ColumnCount - 1));
        return;
    }
    beginRemoveRows({}, row, row);
    m_games.removeAt(row);
    endRemoveRows();
}

QStringList GameBrowser::Game::addresses() const
{
    QStringList out;
    for (const Sighting &s : sightings)
        if (!out.contains(s.address))
            out.append(s.address);
    return out;
}

quint16 GameBrowser::Game::port() const
{
    return sightings.isEmpty() ? 0 : sightings.first().port;
}

QString GameBrowser::joinAddress(const QList<std::pair<QString, quint16>> &sightings)
{
    const std::pair<QString, quint16> *best = nullptr;
    for (const auto &s : sightings)
        if (s.second != 0 && joinRank(s.first) > 0 && (!best || joinRank(s.first) > joinRank(best->first)))
            best = &s;
    if (!best)
        return {};
    if (best->first.contains(QLatin1Char(':')))
        return QStringLiteral("[%1]:%2").arg(best->first).arg(best->second);
    return QStringLiteral("%1:%2").arg(best->first).arg(best->second);
}

QString GameBrowser::Game::joinAddress() const
{
    QList<std::pair<QString, quint16>> all;
    for (const Sighting &s : sightings)
        all.append({s.address, s.port});
    return GameBrowser::joinAddress(all);
}

int GameBrowser::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_games.size());
}

int GameBrowser::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant GameBrowser::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_games.size())
        return {};
    const Game &g = m_games[index.row()];
    const GameAnnouncement &a = g.announcement;
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case NameColumn: return a.hostName.isEmpty() ? g.shownName : a.hostName;
        case PlayersColumn: return a.playersText();
        case WatchersColumn: return a.watchersText();
        case StateColumn: return a.stateText();
        case AddressColumn: {
            const QString join = g.joinAddress();
            return join.isEmpty() ? QStringLiteral("(link-local only)") : join;
        }
        default: return {};
        }
    case Qt::ToolTipRole: return g.shownName;
    case JoinAddressRole: return g.joinAddress();
    case AddressesRole: return g.addresses();
    case PortRole: return g.port();
    case ServiceNameRole: return g.shownName;
    default: return {};
    }
}

QVariant GameBrowser::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case NameColumn: return QStringLiteral("Game");
    case PlayersColumn: return QStringLiteral("Players");
    case WatchersColumn: return QStringLiteral("Watchers");
    case StateColumn: return QStringLiteral("State");
    case AddressColumn: return QStringLiteral("Address");
    default: return {};
    }
}

} // namespace vexlo::discovery
