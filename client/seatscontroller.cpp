// SeatsController: arrivals and departures, watchers, "just watching", removal,
// the score panel's column order, and the computer players a host seats.
#include "seatscontroller.h"

#include "catalogue.h"
#include "errorreport.h"
#include "preferences.h"
#include "session.h"

#include <algorithm>

using namespace vexlo;

SeatsController::SeatsController(Session &session, Preferences &preferences, QObject *parent)
    : QObject(parent), m_session(session), m_preferences(preferences), m_computers(new ComputerSeats(this))
{
    connect(m_computers, &ComputerSeats::changed, this, &SeatsController::computerPlayersChanged);
    connect(m_computers, &ComputerSeats::keptChanged, this, [this](int count) {
        if (m_preferences.loaded())
            guarded([&] { saveSoloBots(m_preferences.file().file(), count); });
    });
    connect(&session, &Session::hosting, this, [this](TServer *server, bool solo) {
        m_computers->setSolo(solo);
        m_computers->hosting(server);
    });
    connect(&session, &Session::loggedInTo, this, [this](int slot) {
        m_seats.setLocalSlot(slot);
        swapOwnColumn();
    });
    connect(&session, &Session::ending, this, [this] {
        m_computers->endSession();
        swapOwnColumn(); // the columns back in slot order
    });
    connect(&session, &Session::cleared, &m_seats, &SeatsModel::reset);
}

void SeatsController::receive(const DecodedMessage &d)
{
    // Each of these begins with its slot: nothing happens when that is no number.
    const ServerMessage &m = *d.message;
    if (const auto *p = std::get_if<msg::NewPlayerInfo>(&m)) {
        d.raise();
        arrive(p->slot, QString::fromLatin1(p->name));
    } else if (const auto *e = std::get_if<msg::ExistingPlayers>(&m)) {
        d.raise();
        arrive(e->slot, QString::fromLatin1(e->name));
    } else if (const auto *gone = std::get_if<msg::PlayerDisconnected>(&m)) {
        d.raise();
        depart(gone->slot, QString::fromLatin1(gone->name));
    } else if (const auto *w = std::get_if<msg::JustWatching>(&m)) {
        d.raise();
        watching(*w);
    }
}

// --- arrivals and departures ---

void SeatsController::arrive(int slot, const QString &name)
{
    const int own = m_session.slot();
    if (slot == own) {
        Q_EMIT line(QStringLiteral("You are Connected."));
        // Read at the first login of this run only; a later session in the same
        // program keeps the choices (and the place) it has.
        if (!m_preferences.loaded()) {
            m_preferences.load();
            m_computers->setKept(loadSoloBots(m_preferences.file().file()));
        }
        m_computers->restore(botSpeedFromLetterMs(m_preferences.options().botSpeed).value_or(BotSpeed::Normal));
    } else {
        Q_EMIT line(name + QStringLiteral(" is Connected."));
    }
    if (slot <= SeatsModel::SeatCount) {
        m_seats.arrive(slot, name);
    } else {
        m_seats.addWatcher(slot, name);
        Q_EMIT watcherArrived(slot, name);
        Q_EMIT line(slot == own ? QStringLiteral("You are spying.") : name + QStringLiteral(" is spying."));
    }
    Q_EMIT sound(QStringLiteral("entered"));
}

void SeatsController::depart(int slot, const QString &name)
{
    if (slot <= SeatsModel::SeatCount) {
        if (!SeatsModel::isSeat(slot))
            return;
        if (m_seats.taken(slot) && m_seats.name(slot) != SeatsModel::seatHint(slot))
            Q_EMIT line(m_seats.name(slot) + QStringLiteral(" disconnected."));
        m_seats.leave(slot);
        return;
    }
    const bool left = m_seats.removeWatcher(slot, name);
    Q_EMIT watcherLeft(slot, name);
    if (left)
        Q_EMIT line(name + QStringLiteral(" has left."));
}

void SeatsController::watching(const msg::JustWatching &m)
{
    const int slot = m.seat;
    if (!SeatsModel::isSeat(slot))
        return;
    const bool watching = m.watching();
    if (slot == m_session.slot())
        m_seats.setLocalWatching(watching);
    Q_EMIT line(m_seats.shownName(slot)
                + (watching ? QStringLiteral(" is just watching") : QStringLiteral(" is now playing again")));
    m_seats.setWatching(slot, watching);
}

// --- what the player asks for ---

void SeatsController::toggleJustWatch()
{
    const int own = m_session.slot();
    if (!m_session.loggedIn() || own > SeatsModel::SeatCount)
        return;
    m_session.send(msg::justwatch(own, m_seats.localWatching() ? 2 : 1));
}

void SeatsController::setJustWatch(int slot, bool watching)
{
    if (m_session.loggedIn() && slot <= SeatsModel::SeatCount)
        m_session.send(msg::justwatch(slot, watching ? 1 : 2));
}

void SeatsController::remove(int slot)
{
    if (m_session.isHost() && m_session.loggedIn())
        m_session.send(msg::kickhim(m_session.slot(), slot));
}

void SeatsController::swapOwnColumn()
{
    const int own = m_seats.localSlot();
    if (own <= 1 || own > SeatsModel::SeatCount)
        return;
    m_seats.swapColumns(1, own);
}

// --- computer players ---

bool SeatsController::canAddComputerPlayer() const
{
    return m_session.isHost() && m_session.loggedIn() && m_computers->seatFree();
}

void SeatsController::addComputerPlayer()
{
    if (m_session.isHost() && m_session.loggedIn())
        m_computers->add(botSpeedFromLetterMs(m_preferences.options().botSpeed).value_or(BotSpeed::Normal));
    Q_EMIT computerPlayersChanged();
}

// --- who is there ---

bool SeatsController::othersConnected() const
{
    const int own = m_session.slot();
    for (int slot = 1; slot <= SeatsModel::SeatCount; ++slot)
        if (slot != own && m_seats.taken(slot))
            return true;
    const QMap<int, QString> watchers = m_seats.watchers();
    return std::any_of(watchers.keyBegin(), watchers.keyEnd(), [own](int slot) { return slot != own; });
}

QStringList SeatsController::opponents() const
{
    QStringList names;
    for (int slot = 1; slot <= SeatsModel::SeatCount; ++slot)
        if (slot != m_session.slot() && m_seats.taken(slot))
            names << m_seats.name(slot);
    return names;
}
