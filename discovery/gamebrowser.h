#pragma once
// GameBrowser: the games of the local network, found through the Avahi daemon,
// as a table model that fills and empties live. One row per game: a game seen
// on several interfaces or over IPv4 and IPv6 is one row with every address.
// What a game's records say is shown clipped and used for nothing else; the
// address to join comes from the resolved address and port alone.
//
// Without a daemon the model stays empty and available() is false, with one
// line to show (unavailableText()); it starts listing once a daemon appears.
#include "gameannouncement.h"

#include <QAbstractTableModel>
#include <QList>
#include <QMap>
#include <QStringList>

#include <tuple>

struct AvahiServiceBrowser;
struct AvahiServiceResolver;

namespace vexlo::discovery {

class AvahiConnection;

// One sighting of a game: the service on one interface over one protocol.
struct ServiceInstance
{
    int interfaceIndex = 0;
    int protocol = 0;
    QByteArray name; // the service name, as it came
    QByteArray domain;
    bool operator==(const ServiceInstance &) const = default;
    bool operator<(const ServiceInstance &o) const
    {
        return std::tie(interfaceIndex, protocol, name, domain) < std::tie(o.interfaceIndex, o.protocol, o.name, o.domain);
    }
};

class GameBrowser : public QAbstractTableModel
{
    Q_OBJECT
public:
    enum Column { NameColumn, PlayersColumn, WatchersColumn, StateColumn, AddressColumn, ColumnCount };
    enum Role {
        JoinAddressRole = Qt::UserRole + 1, // "192.0.2.7:7772" or "[2001:db8::7]:7772", as the Join dialog reads it
        AddressesRole,                      // every address, as a QStringList
        PortRole,
        ServiceNameRole,
    };

    // connect false: no daemon is asked (tests feed the model themselves).
    explicit GameBrowser(QObject *parent = nullptr, bool connectToDaemon = true);
    ~GameBrowser() override;

    bool available() const { return m_available; }
    // "Games on this network cannot be listed: ..." while not available; empty otherwise.
    QString unavailableText() const;
    // The line shown in place of an empty list, saying why it is empty: the
    // unavailable text, or that none is found yet. Empty while games are listed.
    QString emptyListText() const;

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // What the daemon reports, one instance at a time (public for tests):
    // resolved, again whenever its records change; removed when it goes.
    // The address is text, as "192.0.2.7" or "2001:db8::7".
    void instanceResolved(const ServiceInstance &instance, const QString &address, quint16 port,
                          const QList<QByteArray> &txt);
    void instanceRemoved(const ServiceInstance &instance);
    void setAvailable(bool available);

    // The address a row joins at, from its sightings' addresses and ports:
    // IPv4 first, then IPv6 that is not link-local.
    static QString joinAddress(const QList<std::pair<QString, quint16>> &sightings);

Q_SIGNALS:
    void availableChanged(bool available);

private:
    friend struct BrowserCalls;
    struct Sighting
    {
        QString address;
        quint16 port = 0;
        bool resolved = false;
    };
    struct Game
    {
        QByteArray name; // the key, with the domain
        QByteArray domain;
        QString shownName;
        GameAnnouncement announcement;
        QMap<ServiceInstance, Sighting> sightings;
        QStringList addresses() const;
        QString joinAddress() const;
        quint16 port() const;
    };

    void daemonStateChanged();
    void startBrowsing();
    void stopBrowsing();
    void browsed(int interfaceIndex, int protocol, int event, const char *name, const char *type, const char *domain);
    int rowOf(const QByteArray &name, const QByteArray &domain) const;

    AvahiConnection *m_connection = nullptr;
    AvahiServiceBrowser *m_browser = nullptr;
    QMap<ServiceInstance, AvahiServiceResolver *> m_resolvers;
    QList<Game> m_games; // shown rows, in the order found
    bool m_available = false;
};

} // namespace vexlo::discovery
