#pragma once
// Tchat: the player's main window. It hosts (starting the game server of this
// process and joining it at 127.0.0.1), joins, or starts a solo game; logs in;
// drains its inbound queue one message per Timer1 tick through the dispatch
// table. The handlers update the models (roundModel, seats, lastScores, options);
// the views (BoardView, SeatListView, ScorePanel, WinnerPanel, ChatView) show them.
//
// Implemented across tchat.cpp (building the window), menus.cpp (the menus),
// session.cpp (start-up, login, queue and dispatch, seats, removal, columns),
// chat.cpp (the chat, links, phrase buttons, sounds), roundflow.cpp
// (the round messages), board.cpp (word entry, letter tiles, the countdown),
// tilesets.cpp (tile sets and their menu), settings.cpp (the settings file,
// window placement, the Options entries that are saved) and windowslinks.cpp
// (help, about, downloader, phrase editor and tally windows), computerplayers.cpp
// (the computer players a host seats).
#include "boardview.h"
#include "chatview.h"
#include "colortext.h"
#include "framing.h"
#include "desktop.h"
#include "platform.h"
#include "roundmodel.h"
#include "scorepanel.h"
#include "scorereport.h"
#include "seatlist.h"
#include "seatsmodel.h"
#include "settingsmodel.h"
#include "sounds.h"
#include "tiles.h"
#include "tsock.h"

#include <QByteArray>
#include <QEvent>
#include <QList>
#include <QMainWindow>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <array>
#include <functional>
#include <memory>

class QAction;
class QActionGroup;
class QHostInfo;
class QLabel;
class QLineEdit;
class QListWidget;
class QMenu;
class QPushButton;
class QTextEdit;
class QToolButton;
class TServer;
class Tabout;
class Tdownload;
class Tgamestart;
class Thelp;
class Thostgame;
class Tjoingame;
class Tphrases;
class Tspylist;
class Ttallylist;
class ComputerSeats;
class Narrator;
namespace vexlo {
struct HostAddressText;
class SettingsSession;
} // namespace vexlo

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

    vexlo::platform::DesktopHooks hooks = vexlo::platform::realDesktopHooks();
    void setSoundPlayer(std::unique_ptr<vexlo::SoundPlayer> player) { m_sounds = std::move(player); }

    // --- start-up and session ---
    void FormCreate();
    void FormShow();
    void processparams();
    void hostpress();
    void joinpress();
    void openLobbyLink();
    void sockRead(TSock *sender, int count);
    void sockInfo(TSock *sender, TSocketInfo info, const QString &msg);
    void Timer1Timer();
    void processsocktimer();
    void send(const QByteArray &text);
    void sendloginfo(const QByteArray &args);
    void newplayerinfo(const QByteArray &args);
    void playerdisconnected(const QByteArray &args);
    void justwatching(const QByteArray &args);
    void havewrongversion(const QByteArray &args);
    void wrongversion(const QByteArray &args);
    void full(const QByteArray &args);
    void JustWatch1Click();
    void SettoJustWatch1Click();
    void UnsetJustWatch1Click();
    void label_playername1ContextPopup(QLabel *clicked);
    void RemoveFromGame1Click();
    void kicking(int slot);
    void sortstuff(int slot);
    void movestuff(int from, int to);
    void button_startClick();
    void Exit1Click();
    // --- computer players (computerplayers.cpp) ---
    void AddComputerPlayer1Click();
    void updateAddComputerPlayer();
    void clearall();

    // --- hosting, joining and solo play chosen from the window (networkgame.cpp) ---
    // File -> "Host Network Game...", "Join Network Game...", "Play Solo Game".
    void HostNetworkGame1Click();
    void JoinNetworkGame1Click();
    void PlaySoloGame1Click();
    // The dialogs; with soloOnCancel a cancelled dialog starts a solo game.
    void openHostGame(bool soloOnCancel);
    void openJoinGame(bool soloOnCancel);
    // Leaves the current session, after a Yes/No question when a game is running
    // or others are connected (false when the player says No).
    bool leaveSession();
    // The window as it starts, unconnected: the connection and the server of
    // this process closed, seats, board, score panel and chat emptied.
    void resetSession();
    // A new session, through hostpress / joinpress as the command line starts one.
    void startSolo();
    void startHosting(const QString &name, const QString &port);
    void startJoining(const QString &name, const QString &typed, const vexlo::HostAddressText &address);
    // Nobody answered the connect in time; the connect failed (one chat line).
    void connecttimerTimer();
    void hostLookedUp(const QHostInfo &info);
    void connectFailed(const QString &reason);
    void showSessionTitle();
    static constexpr int ConnectSeconds = 10;
    QTimer connecttimer;
    QPointer<Thostgame> hostgame;
    QPointer<Tjoingame> joingame;

    // --- chat, phrase buttons and sounds ---
    void mychatKeyDown(int key, Qt::KeyboardModifiers mods);
    void mychatKeyPress(QChar typed);
    void sendit();
    void chatrecieved(const QByteArray &args);
    void addlinetochat(const QString &line, vexlo::TColor colour);
    void mainchatMouseMove(const QPoint &pos);
    // True when a link was opened.
    bool mainchatMouseDown(Qt::MouseButton button, const QPoint &pos);
    void mainchatMouseUp();
    void Copy1Click();
    void Paste1Click();
    void ClearMainChat1Click();
    void ScrollChatOff1Click();
    void TextColor1Click();
    void ActionColor1Click();
    void N14Click(int size);
    void b_phrase1Click(int button);
    void b_phrase10Click();
    void wave12Click(int tag);
    void playasound(const QByteArray &args);
    void playsounds(const QString &name);
    void PlaySounds1Click();
    void PlayChatterSounds1Click();
    void phrasegateTimerTimer();

    // --- settings file and window placement (settings.cpp) ---
    void loadinifile();
    void saveinifile();
    // Placement check and save when the window closes; false when the save
    // failed and the window stays open.
    bool FormClose();
    void FormResize();
    void ResetScreenLocation1Click();
    void Classic1Click(int tag); // "Turn Sound": 0 Classic, 1 New
    void Fast1Click(int tag);    // "Bot Speed": 2000, 1000, 500
    void autoeraseClick();
    vexlo::WindowBounds currentBounds() const;
    void applyBounds(const vexlo::WindowBounds &bounds);

    // --- the other windows (windowslinks.cpp) ---
    void Help2Click();
    void About1Click();
    void image_logoClick();
    void PrhaseList1Click();
    void ViewTally1Click();
    void loadchecklist();
    void showDownloader();

    // --- round flow and scoreboard ---
    void startthegame(const QByteArray &args);
    void startround(const QByteArray &args);
    void getnextplayer(const QByteArray &args);
    void newword(const QByteArray &args);
    void invalid(const QByteArray &args);
    void allfilled(const QByteArray &args);
    void hiscount(const QByteArray &args);
    void timeup(const QByteArray &args);
    void alldone(const QByteArray &args);
    void postscores(const QByteArray &args);
    void winner(const QByteArray &args);
    void loadstats(const QByteArray &args);
    void setword(int index, const QByteArray &pattern);

    // --- word entry, tiles, countdown ---
    // One key press (a Windows key code) offered to the board; true when consumed.
    bool FormShortCut(int key);
    // A key press (or shortcut check) anywhere in the window, seen before the
    // focused control; true when the board took it.
    bool boardKeyEvent(QObject *watched, QEvent *event);
    void hitdone();
    void hitclear();
    void hitpass();
    void button_passClick() { hitpass(); }
    void button_clearClick() { hitclear(); }
    void label_typingClick() { settyping(); }
    void settyping();
    void turntimeTimer();
    void redrawtiles();
    void grouptilesmenu();
    void creategrouptilesmenu(const QString &name);
    void loadgrouptiles(const QString &name);
    void grouptilesmenuClick(QAction *entry);
    // Board mode / chat mode as the round messages force them.
    void forceBoardMode();
    void forceChatMode();
    bool chatMode() const { return roundModel.chatMode(); }

    // Widgets named by prefix and slot ("label_playername" 3).
    template <typename T>
    T *slotWidget(const char *prefix, int slot) const
    {
        return findChild<T *>(QLatin1String(prefix) + QString::number(slot));
    }

    // --- session state ---
    int myslot = 0;
    bool loggedin = false;
    bool ishost = false;
    QString myname;
    QString hostaddress;
    QString loginname;
    int seatcount = 6;
    vexlo::TColor systemcolour = vexlo::clBlue;
    bool phrasegate = true;
    vexlo::TColor chatcolour = vexlo::clBlack;
    vexlo::TColor actioncolour = vexlo::clBlack;
    // The options as the settings file keeps them: the menus edit them, the round
    // flow, the board and the chat act on them (botSpeed is only kept; the
    // placement, colours and game options are filled in when saved).
    vexlo::GameSettings options;
    // "Scroll Chat Off": new lines leave the chat view where it is.
    bool scrollChatOff = false;
    // The round: written by the round flow and the board's keys, shown by the board.
    RoundModel roundModel;
    // The seats and watchers: written by the session and the round flow, shown by
    // the seat list and the score panel.
    SeatsModel seats;
    // The last round's scores as the server reported them.
    ScoreReport lastScores;
    vexlo::TileSet imagelist_letters;
    QTimer turntime;
    // The game port ("7772" or VEXLO_PORT) and the lobby's port on 127.0.0.1.
    QString gameport;
    QString lobbyport = QStringLiteral("9001");

    TSock sock;
    TSock Sock11;
    QList<QByteArray> receivedlist;
    // The bytes of the messages waiting in receivedlist, counted as they arrive.
    qint64 receivedbytes = 0;
    QTimer Timer1;
    // A phrase button works again 2 seconds after it sent.
    QTimer phrasegateTimer;

    // --- widgets ---
    QWidget *panel_board = nullptr;
    QLabel *label_status = nullptr;
    QLabel *label_roundnum = nullptr;
    BoardView *boardView = nullptr;
    WinnerPanel *panel_winner = nullptr;
    QPushButton *button_start = nullptr;
    ScorePanel *panel_scores = nullptr;
    SeatListView *seatList = nullptr;
    ChatView *chatView = nullptr;
    // What a screen reader says of the round (its board reader speaks it).
    Narrator *narrator = nullptr;
    QLabel *image_logo = nullptr;
    QMenu *popup_kick = nullptr;
    int popupTarget = 1; // the seat pop-up's tag

    // Menu items.
    QAction *StartGame1 = nullptr;
    QAction *AddComputerPlayer1 = nullptr;
    QAction *HostNetworkGame1 = nullptr;
    QAction *JoinNetworkGame1 = nullptr;
    QAction *PlaySoloGame1 = nullptr;
    QAction *Exit1 = nullptr;
    QAction *PlaySounds1 = nullptr;
    QAction *PlayChatterSounds1 = nullptr;
    QMenu *TurnSound1 = nullptr;
    QMenu *BotSpeed1 = nullptr;
    QAction *AutoErase1 = nullptr;
    QAction *TextColor1 = nullptr;
    QAction *ActionColor1 = nullptr;
    QMenu *TextSize1 = nullptr;
    QAction *ScrollChatOff1 = nullptr;
    QAction *ClearMainChat1 = nullptr;
    QAction *ResetScreenLocation1 = nullptr;
    QAction *JustWatch1 = nullptr;
    QMenu *grouptilesitem = nullptr;
    QAction *ViewTally1 = nullptr;
    QAction *SpyList1 = nullptr;
    QAction *PhraseList1 = nullptr;
    QAction *Help2 = nullptr;
    QAction *About1 = nullptr;
    // Pop-up items.
    QAction *RemoveFromGame1 = nullptr;
    QAction *SettoJustWatch1 = nullptr;
    QAction *UnsetJustWatch1 = nullptr;

    Tspylist *spylist = nullptr;
    Tgamestart *gamestart = nullptr;
    TServer *server = nullptr;
    AuxWindows aux;
    std::unique_ptr<vexlo::SettingsSession> settingsSession;
    ComputerSeats *computerSeats = nullptr;

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
    void buildMenus();
    void buildBoard();
    void buildSeatList();
    void buildScorePanel();
    void buildChat();
    void buildWordEntry();
    void buildRoundDisplay();
    void shipTileSets();
    void wireSockets();
    void wireComputerPlayers();
    void dispatch(const QByteArray &text);
    void sessionLine(const QString &line) { addlinetochat(line, systemcolour); }
    vexlo::GameSettings currentSettings() const;
    QString offeredName() const;
    void dialogCancelled();
    void hostgameAccepted();
    void joingameAccepted();
    void rememberChoices(const QString &name, const QString &address);
    bool othersConnected() const;
    void closeQuietly();
    void hostFromWindow();
    void openGameConnection();
    void abortLookup();
    void writeSettings(const vexlo::WindowBounds &bounds);

    QStringList m_args;
    // The key event the board last looked at (see boardKeyEvent).
    struct
    {
        const QEvent *event = nullptr;
        QEvent::Type type = QEvent::None;
        quint64 timestamp = 0;
        QPointer<QWidget> target;
    } m_keySeen;
    bool m_shown = false;
    bool m_closing = false;
    // The session the title names: what was started and the address as typed.
    enum class SessionKind { None, Solo, Hosting, Joined };
    struct
    {
        SessionKind kind = SessionKind::None;
        QString address;
    } m_session;
    bool m_leaving = false;      // the window closes its own connection
    int m_lookup = -1;           // the host name lookup under way, -1 for none
    bool m_soloOnCancel = false; // started at a dialog: cancelling it plays solo
    vexlo::MessageFramer m_framer;
    std::unique_ptr<vexlo::SoundPlayer> m_sounds;
};
