// NetworkDialogs: the host and join dialogs, the choices they remember, and
// leaving the current session for the new one.
#include "networkdialogs.h"

#include "errorreport.h"
#include "networkchoices.h"
#include "platform.h"
#include "preferences.h"
#include "roundcontroller.h"
#include "seatscontroller.h"
#include "session.h"
#include "tfindgame.h"
#include "thostgame.h"
#include "tjoingame.h"

using namespace vexlo;

namespace {
NetworkChoices storedChoices(IniFile &file)
{
    NetworkChoices c;
    c.load(file);
    return c;
}
} // namespace

NetworkDialogs::NetworkDialogs(Session &session, const SeatsController &seats, const RoundController &round,
                               Preferences &preferences, const platform::DesktopHooks &hooks, QWidget *window)
    : m_session(session), m_seats(seats), m_round(round), m_preferences(preferences),
      m_hooks(hooks), m_window(window)
{
}

Thostgame *NetworkDialogs::hostDialog() const
{
    return m_host;
}

Tjoingame *NetworkDialogs::joinDialog() const
{
    return m_join;
}

Tfindgame *NetworkDialogs::findDialog() const
{
    return m_find;
}

QString NetworkDialogs::offeredName() const
{
    const QString stored = storedChoices(m_preferences.file().file()).playerName;
    if (!stored.isEmpty())
        return stored;
    const QString name = m_session.playerName();
    return name == QLatin1String("You") ? QString() : name;
}

void NetworkDialogs::openHostGame(bool soloOnCancel)
{
    if (!m_host) {
        m_host = new Thostgame(m_window);
        connect(m_host, &QDialog::accepted, this, [this] { guarded([this] { hostAccepted(); }); });
        connect(m_host, &QDialog::rejected, this, &NetworkDialogs::cancelled);
    }
    m_soloOnCancel = soloOnCancel;
    m_host->setChoices(offeredName(), platform::gamePort().toInt());
    m_host->open();
}

void NetworkDialogs::openJoinGame(bool soloOnCancel)
{
    if (!m_join) {
        m_join = new Tjoingame(m_window);
        connect(m_join, &QDialog::accepted, this, [this] { guarded([this] { joinAccepted(); }); });
        connect(m_join, &QDialog::rejected, this, &NetworkDialogs::cancelled);
    }
    m_soloOnCancel = soloOnCancel;
    m_join->setChoices(offeredName(), storedChoices(m_preferences.file().file()).recentHosts,
                       platform::gamePort().toInt());
    m_join->open();
}

void NetworkDialogs::openFindGame()
{
    if (!m_find) {
        m_find = new Tfindgame(m_window);
        connect(m_find, &QDialog::accepted, this, [this] { guarded([this] { findAccepted(); }); });
    }
    m_find->setChoices(offeredName(), storedChoices(m_preferences.file().file()).recentHosts,
                       platform::gamePort().toInt());
    m_find->open();
}

void NetworkDialogs::cancelled()
{
    // Started at a dialog (the desktop entry's action) and cancelled: the window
    // plays solo, as when it is started without words.
    if (std::exchange(m_soloOnCancel, false))
        m_session.startSolo();
}

void NetworkDialogs::rememberChoices(const QString &name, const QString &address)
{
    IniFile &file = m_preferences.file().file();
    NetworkChoices c = storedChoices(file);
    c.playerName = name;
    if (!address.isEmpty())
        c.remember(address);
    // A file that cannot be written is reported; the game goes on all the same.
    guarded([&] { c.save(file, !address.isEmpty()); });
}

void NetworkDialogs::hostAccepted()
{
    m_soloOnCancel = false;
    if (!leaveSession())
        return;
    rememberChoices(m_host->playerName(), QString());
    m_session.host(m_host->playerName(), QString::number(m_host->port()));
}

void NetworkDialogs::joinAccepted()
{
    m_soloOnCancel = false;
    if (!leaveSession())
        return;
    rememberChoices(m_join->playerName(), m_join->addressText());
    m_session.join(m_join->playerName(), m_join->addressText(), m_join->address());
}

void NetworkDialogs::findAccepted()
{
    if (!leaveSession())
        return;
    const QString name = m_find->playerName();
    const QString typed = m_find->addressText();
    rememberChoices(name, typed);
    switch (m_find->choice()) {
    case Tfindgame::Choice::Sit:
        m_session.joinTable(name, typed, m_find->address(), Session::Place::Sit, m_find->table());
        break;
    case Tfindgame::Choice::Watch:
        m_session.joinTable(name, typed, m_find->address(), Session::Place::Watch, m_find->table());
        break;
    case Tfindgame::Choice::NewTable:
        m_session.joinTable(name, typed, m_find->address(), Session::Place::NewTable);
        break;
    case Tfindgame::Choice::JoinAddress:
        m_session.join(name, typed, m_find->address());
        break;
    }
}

void NetworkDialogs::playSolo()
{
    if (leaveSession())
        m_session.startSolo();
}

bool NetworkDialogs::leaveSession()
{
    if (m_session.loggedIn() && (m_round.model().gameRunning() || m_seats.othersConnected())) {
        const QString question = m_session.isHost() && m_seats.othersConnected()
                                     ? QStringLiteral("Leave the current game? The other players will be disconnected.")
                                     : QStringLiteral("Leave the current game?");
        if (!m_hooks.confirm || !m_hooks.confirm(m_window, question))
            return false;
    }
    m_session.reset();
    return true;
}
