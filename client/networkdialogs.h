#pragma once
// NetworkDialogs: hosting, joining and solo play chosen from the window (File
// menu, the lobby downloader, the desktop entry's actions). It opens the host,
// join and find-a-game dialogs, remembers the name and addresses they were given, asks before a
// running game or other players are left, and starts the new session.
#include "desktophooks.h"

#include <QObject>
#include <QPointer>

class Preferences;
class RoundController;
class SeatsController;
class Session;
class Tfindgame;
class Thostgame;
class Tjoingame;
class QWidget;

class NetworkDialogs : public QObject
{
    Q_OBJECT
public:
    // window: the window the dialogs belong to; hooks: its desktop (the question).
    NetworkDialogs(Session &session, const SeatsController &seats, const RoundController &round,
                   Preferences &preferences, const vexlo::platform::DesktopHooks &hooks, QWidget *window);

    // The dialogs; with soloOnCancel a cancelled dialog starts a solo game.
    void openHostGame(bool soloOnCancel);
    void openJoinGame(bool soloOnCancel);
    // File -> "Find a Game...": a server's tables; choosing one joins it.
    void openFindGame();
    // File -> "Play Solo Game".
    void playSolo();
    // Leaves the current session, after a Yes/No question when a game is running
    // or others are connected (false when the player says No).
    bool leaveSession();

    Thostgame *hostDialog() const;
    Tjoingame *joinDialog() const;
    Tfindgame *findDialog() const;

private:
    QString offeredName() const;
    void cancelled();
    void hostAccepted();
    void joinAccepted();
    void findAccepted();
    void rememberChoices(const QString &name, const QString &address);

    Session &m_session;
    const SeatsController &m_seats;
    const RoundController &m_round;
    Preferences &m_preferences;
    const vexlo::platform::DesktopHooks &m_hooks;
    QWidget *m_window;
    QPointer<Thostgame> m_host;
    QPointer<Tjoingame> m_join;
    QPointer<Tfindgame> m_find;
    bool m_soloOnCancel = false; // started at a dialog: cancelling it plays solo
};
