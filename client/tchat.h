#pragma once
// Tchat: the player's main window. It builds the widgets, the menus and the
// views, and connects them to the session and the controllers, which hold the
// game's logic and state: the session (the connection, the login, the queue),
// the round, the seats, the chat and the preferences.
//
// Implemented in tchat.cpp (building the window, showing and closing it),
// menus.cpp (the menu bar and the seat pop-up) and tchatwiring.cpp (connecting
// the controllers, the views and the other windows).
#include "desktop.h"
#include "sounds.h"

#include <QMainWindow>
#include <QStringList>

#include <memory>

class BoardView;
class ChatController;
class ChatView;
class NetworkDialogs;
class Preferences;
class QAction;
class QLabel;
class QMenu;
class QPushButton;
class RoundController;
class ScorePanel;
class SeatListView;
class SeatsController;
class Session;
class TServer;
class Tabout;
class Tdownload;
class Tgamestart;
class Thelp;
class Tphrases;
class Tspylist;
class Ttallylist;
class WinnerPanel;

class Tchat : public QMainWindow
{
    Q_OBJECT
public:
    // args: the command-line words after the program name.
    explicit Tchat(const QStringList &args = {}, QWidget *parent = nullptr);
    ~Tchat() override;

    // The windows created after this one, and the game server of this process.
    void attachWindows(Tspylist *spylist, Tgamestart *gamestart, TServer *server);
    // The help, about, phrase editor, downloader and tally windows (any may be null).
    struct AuxWindows
    {
        Tabout *about = nullptr;
        Thelp *help = nullptr;
        Tphrases *phrases = nullptr;
        Tdownload *download = nullptr;
        Ttallylist *tallylist = nullptr;
    };
    void attachAuxWindows(const AuxWindows &windows);

    // The desktop the window asks (boxes, questions, colours, links, the work area).
    vexlo::platform::DesktopHooks &desktopHooks();
    void setSoundPlayer(std::unique_ptr<vexlo::SoundPlayer> player);

    // Starts the session as the command line says (done once the window shows).
    void start();

    Session &session();
    RoundController &round();
    SeatsController &seats();
    ChatController &chat();
    Preferences &preferences();
    NetworkDialogs &networkDialogs();

Q_SIGNALS:
    // The window closed: the program ends.
    void closed();
    // The tally's record of a finished game ("addtomine" when this window won).
    void gameRecorded(const QString &text);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void buildBoard();
    void buildMenus();
    void buildOptionsMenu(QMenu *options);
    void buildTilesMenu();
    void connectSession();
    void connectRound();
    void connectSeats();
    void connectChat();
    void connectPreferences();
    // The menus' check marks as the preferences hold them.
    void showOptions();
    void showSeatMenu(QLabel *clicked, const QPoint &at);
    // START GAME: the game options window, once logged in.
    void openGameStart();
    // The placement check and save when the window closes; false when the save
    // failed and the window stays open.
    bool saveOnClose();

    struct Parts;
    std::unique_ptr<Parts> d;
};
