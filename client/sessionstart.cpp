// Session: starting one (from the command line or from the window), leaving it
// for another in the same program, the connection that does not come about, and
// the title that names the session.
#include "session.h"

#include "errorreport.h"
#include "hostaddress.h"
#include "platform.h"
#include "tserver.h"

#include <QHostInfo>

using namespace vexlo;

void Session::startFromArgs(const QStringList &args)
{
    m_link.setLoginName({});
    Q_EMIT roleChanged(false);
    if (args.isEmpty()) {
        Q_EMIT line(QStringLiteral("Loading Solo Game..Please wait."));
        m_hostAddress = QStringLiteral("127.0.0.1");
        m_name = QStringLiteral("You");
        setKind(Kind::Solo, m_hostAddress);
        hostHere();
        Q_EMIT titleChanged(title());
        return;
    }
    Q_EMIT line(QStringLiteral("Loading Multi-player Game.. Please Wait."));
    if (args.size() < 3)
        return;
    m_name = args[0];
    m_hostAddress = args[1];
    if (args[2] == QLatin1String("true")) {
        setKind(Kind::Hosting, m_hostAddress);
        hostHere();
        Q_EMIT titleChanged(title());
    } else {
        setKind(Kind::Joined, m_hostAddress);
        joinHere();
    }
    openLobbyLink();
}

void Session::startSolo()
{
    reset();
    Q_EMIT line(QStringLiteral("Loading Solo Game..Please wait."));
    m_hostAddress = QStringLiteral("127.0.0.1");
    m_name = QStringLiteral("You");
    m_port = platform::gamePort();
    setKind(Kind::Solo, m_hostAddress);
    hostFromWindow();
}

void Session::host(const QString &name, const QString &port)
{
    reset();
    Q_EMIT line(QStringLiteral("Loading Multi-player Game.. Please Wait."));
    m_name = name;
    m_hostAddress = QStringLiteral("127.0.0.1");
    m_port = port;
    setKind(Kind::Hosting, m_hostAddress);
    hostFromWindow();
}

void Session::join(const QString &name, const QString &typed, const HostAddressText &address)
{
    reset();
    Q_EMIT line(QStringLiteral("Loading Multi-player Game.. Please Wait."));
    m_name = name;
    m_hostAddress = address.host;
    m_port = address.port ? QString::number(address.port) : platform::gamePort();
    setKind(Kind::Joined, typed);
    joinHere();
}

void Session::joinTable(const QString &name, const QString &typed, const HostAddressText &address, Place place,
                        int table)
{
    join(name, typed, address);
    if (m_kind != Kind::Joined)
        return;
    m_link.askForPlace(place, table);
}

void Session::connectTo(const QString &name, const QString &host, const QString &port)
{
    m_name = name;
    m_hostAddress = host;
    m_port = port;
    joinHere();
}

void Session::hostFromWindow()
{
    try {
        hostHere();
    } catch (const ESockException &e) {
        // Said in the chat; the window stays as it is, Host, Join and solo offered.
        const QString why = e.message() == QLatin1String("Listen - Error Binding Socket")
                                ? QStringLiteral("the port is in use.")
                                : e.message();
        setKind(Kind::None, QString());
        Q_EMIT line(QStringLiteral("Could not host on port %1: %2").arg(m_port, why));
    }
    Q_EMIT titleChanged(title());
}

// --- leaving ---

void Session::closeQuietly()
{
    // A close asked for by this program: "Socket Closed" must not end it.
    m_link.close();
}

void Session::abortLookup()
{
    // Forgotten rather than aborted: its answer is let go when it comes
    // (hostLookedUp looks at the id), and an aborted lookup's handler would
    // never be freed.
    m_lookup = -1;
}

void Session::reset()
{
    m_connectTimer.stop();
    abortLookup();
    if (m_link.isOpen())
        closeQuietly();
    Q_EMIT ending();
    if (m_server)
        m_server->reset(); // the port is free again
    m_link.reset(); // the queue emptied, not logged in, no place asked for
    m_host = false;
    setKind(Kind::None, QString());
    Q_EMIT cleared();
    Q_EMIT titleChanged(title());
}

void Session::shutDown()
{
    m_link.stop();
    Q_EMIT ending();
}

// --- a connection that does not come about ---

void Session::connectTimedOut()
{
    if (m_lookup >= 0 || (m_link.isOpen() && !m_link.connected()))
        connectFailed(noAnswerReason(ConnectSeconds));
    else
        m_link.givePlaceUp(); // placeRefused follows when a place was asked for
}

void Session::connectFailed(const QString &reason)
{
    m_connectTimer.stop();
    abortLookup();
    if (m_link.isOpen())
        closeQuietly();
    const QString address = m_address.isEmpty() ? m_hostAddress : m_address;
    setKind(Kind::None, QString());
    Q_EMIT line(QStringLiteral("Could not connect to %1: %2").arg(address, reason));
    Q_EMIT titleChanged(title());
}

// --- the title ---

void Session::setKind(Kind kind, const QString &address)
{
    m_kind = kind;
    m_address = address;
}

QString Session::title() const
{
    const QString dash(QChar(0x2014));
    switch (m_kind) {
    case Kind::Solo:
        return QStringLiteral("Vexlo %1 solo").arg(dash);
    case Kind::Hosting:
        return QStringLiteral("Vexlo %1 hosting on port %2")
            .arg(dash, m_server ? QString::number(m_server->listeningPort()) : m_port);
    case Kind::Joined:
        if (m_link.connected() && m_link.table() > 0)
            return QStringLiteral("Vexlo %1 table %2 at %3").arg(dash).arg(m_link.table()).arg(m_address);
        if (m_link.connected() && !m_link.placing())
            return QStringLiteral("Vexlo %1 joined %2").arg(dash, m_address);
        break;
    case Kind::None:
        break;
    }
    return QStringLiteral("Vexlo");
}
