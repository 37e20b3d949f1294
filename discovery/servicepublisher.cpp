#include "servicepublisher.h"

#include "avahiconnection.h"

#include <QSysInfo>

#include <avahi-client/publish.h>
#include <avahi-common/alternative.h>
#include <avahi-common/error.h>
#include <avahi-common/malloc.h>
#include <avahi-common/strlst.h>

namespace vexlo::discovery {

namespace {

// DNS-SD allows 63 bytes of UTF-8 in a service name.
QString clippedName(const QString &name)
{
    QString n = name.simplified();
    while (n.toUtf8().size() > 63)
        n.chop(1);
    if (!n.isEmpty() && n.back().isHighSurrogate())
        n.chop(1);
    return n.isEmpty() ? QStringLiteral("Vexlo") : n;
}

AvahiStringList *txtOf(const GameAnnouncement &a)
{
    AvahiStringList *list = nullptr;
    const QList<QByteArray> records = a.toTxt();
    for (auto r = records.crbegin(); r != records.crend(); ++r) // prepending keeps the order
        list = avahi_string_list_add_arbitrary(list, reinterpret_cast<const uint8_t *>(r->constData()),
                                               static_cast<size_t>(r->size()));
    return list;
}

} // namespace

struct PublisherCalls
{
    static void group(AvahiEntryGroup *g, AvahiEntryGroupState state, void *userdata)
    {
        static_cast<ServicePublisher *>(userdata)->groupState(g, state);
    }
};

ServicePublisher::ServicePublisher(QObject *parent)
    : QObject(parent), m_connection(new AvahiConnection(this)),
      m_name(clippedName(QStringLiteral("Vexlo on %1").arg(QSysInfo::machineHostName())))
{
    m_update.setSingleShot(true);
    connect(&m_update, &QTimer::timeout, this, &ServicePublisher::sendUpdate);
    connect(m_connection, &AvahiConnection::resetting, this, [this] { dropGroup(); });
    connect(m_connection, &AvahiConnection::stateChanged, this, &ServicePublisher::sync);
}

ServicePublisher::~ServicePublisher()
{
    dropGroup();
}

void ServicePublisher::setServiceName(const QString &name)
{
    m_name = clippedName(name);
}

void ServicePublisher::publish(quint16 port, const GameAnnouncement &announcement)
{
    m_wanted = announcement;
    if (port != m_port) {
        m_port = port;
        dropGroup();
    }
    sync();
}

void ServicePublisher::withdraw()
{
    m_port = 0;
    m_update.stop();
    dropGroup();
}

void ServicePublisher::dropGroup()
{
    if (m_group)
        avahi_entry_group_free(std::exchange(m_group, nullptr)); // withdraws the service
    m_registered = false;
}

void ServicePublisher::sync()
{
    if (!m_connection->running()) {
        // The daemon is away, or its host name collided or is registering
        // again: the service goes and comes back once it runs.
        if (m_connection->client() && m_group)
            avahi_entry_group_reset(m_group);
        m_registered = false;
        return;
    }
    if (m_port == 0)
        return;
    if (!m_group || avahi_entry_group_is_empty(m_group)) {
        addService();
        return;
    }
    if (m_wanted == m_sent || m_update.isActive())
        return;
    const qint64 since = m_sinceUpdate.isValid() ? m_sinceUpdate.elapsed() : m_minimumMs;
    m_update.start(static_cast<int>(std::max<qint64>(0, m_minimumMs - since)));
}

void ServicePublisher::sendUpdate()
{
    if (!m_group || !m_registered || m_wanted == m_sent)
        return;
    AvahiStringList *txt = txtOf(m_wanted);
    const QByteArray name = m_name.toUtf8();
    if (avahi_entry_group_update_service_txt_strlst(m_group, AVAHI_IF_UNSPEC, AVAHI_PROTO_UNSPEC, AvahiPublishFlags(0),
                                                    name.constData(), kServiceType, nullptr, txt) == 0) {
        m_sent = m_wanted;
        m_sinceUpdate.start();
        Q_EMIT registered();
    }
    avahi_string_list_free(txt);
}

void ServicePublisher::addService()
{
    if (!m_group)
        m_group = avahi_entry_group_new(m_connection->client(), &PublisherCalls::group, this);
    if (!m_group)
        return;
    for (int attempt = 0; attempt < 10; ++attempt) {
        AvahiStringList *txt = txtOf(m_wanted);
        const QByteArray name = m_name.toUtf8();
        const int r = avahi_entry_group_add_service_strlst(m_group, AVAHI_IF_UNSPEC, AVAHI_PROTO_UNSPEC,
                                                           AvahiPublishFlags(0), name.constData(), kServiceType,
                                                           nullptr, nullptr, m_port, txt);
        avahi_string_list_free(txt);
        if (r == AVAHI_ERR_COLLISION) { // a service of ours on this machine has the name
            takeAlternativeName();
            continue;
        }
        if (r == 0 && avahi_entry_group_commit(m_group) == 0) {
            m_sent = m_wanted;
            m_sinceUpdate.start();
        }
        return;
    }
}

void ServicePublisher::takeAlternativeName()
{
    char *other = avahi_alternative_service_name(m_name.toUtf8().constData());
    m_name = clippedName(QString::fromUtf8(other));
    avahi_free(other);
}

void ServicePublisher::groupState(AvahiEntryGroup *group, int state)
{
    if (group != m_group && m_group)
        return;
    switch (state) {
    case AVAHI_ENTRY_GROUP_ESTABLISHED:
        m_registered = true;
        Q_EMIT registered();
        sync(); // a change that came while registering goes out now
        break;
    case AVAHI_ENTRY_GROUP_COLLISION:
        // Another machine has the name: take "NAME #2" and register again.
        m_registered = false;
        takeAlternativeName();
        avahi_entry_group_reset(group);
        QTimer::singleShot(0, this, &ServicePublisher::sync);
        break;
    case AVAHI_ENTRY_GROUP_FAILURE:
        m_registered = false;
        break;
    default:
        break;
    }
}

} // namespace vexlo::discovery
