#pragma once
// Tchat: the player's main window, the whole client. It hosts (starting the
// game server of this process and joining it at 127.0.0.1), joins, or starts a
// solo game; logs in; drains its inbound queue one message per Timer1 tick
// through the dispatch table; shows the seat list, watchers and the chat.
//
// Implemented across tchat.cpp (building the window and its menus),
// session.cpp (start-up, login, queue and dispatch, seats, removal, columns)
// chat.cpp (chat view and entry, links, phrase buttons, sounds), roundflow.cpp
// (the round messages, the score and winner panels), board.cpp (word entry,
// letter tiles, the countdown, tile sets), settings.cpp (the settings file,
// window placement, the Options entries that are saved) and windowslinks.cpp
// (help, about, downloader, phrase editor and tally windows), computerplayers.cpp
// (the computer players a host seats).
#include "colortext.h"
#include "framing.h"
#include "platform.h"
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
class Tphrases;
class Tspylist;
class Ttallylist;
class ComputerSeats;
namespace vexlo {
class SettingsSession;
struct GameSettings;
struct WindowBounds;
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

    vexlo::platform::DesktopHooks hooks = vexlo::platform::DesktopHooks::real();
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

    // --- chat, phrase buttons and sounds ---
    bool mychatKeyDown(int key, Qt::KeyboardModifiers mods);
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
    // The text of the link at a point of the chat view's viewport (empty if none).
    QString linkAt(const QPoint &pos, int *start = nullptr, int *length = nullptr) const;

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
    // The tally's record of a finished game ("addtomine" when this window won).
    std::function<void(const QString &text)> addgameHook;

    // --- word entry, tiles, countdown ---
    // One key press (a Windows key code) offered to the board; true when consumed.
    bool FormShortCut(int key);
    // A key press (or shortcut check) anywhere in the window, or a click on the
    // typing box, seen before the focused control; true when the board took it.
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
    bool chatMode() const;
    // Sets a tile to a tile number (0 is the blank tile) / shows nothing in it.
    void setTile(QLabel *tile, int number);
    void showNothing(QLabel *tile);
    static int tileTag(const QLabel *tile);

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
    int inputowner = 0;
    int seatcount = 6;
    vexlo::TColor systemcolour = vexlo::clBlue;
    bool phrasegate = true;
    vexlo::TColor chatcolour = vexlo::clBlack;
    vexlo::TColor actioncolour = vexlo::clBlack;
    // Options kept in the settings file; the round flow and the board act on them.
    bool autoEraseInvalid = true;
    int turnSound = 0;   // 0 Classic, 1 New
    int botSpeed = 1000; // 2000 Slow, 1000 Normal, 500 Fast; only kept
    // Game state of the round flow and the board.
    QString roundtotal;
    int creationtime = 0;
    int barstep = 0;
    int secondsleft = 0;
    int letterstyped = 0;
    QString tilesetname;
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
    QLabel *label_timer = nullptr;
    QLabel *image_timer = nullptr;
    QLabel *label_wordcount = nullptr;
    QLabel *image_goodjob = nullptr;
    std::array<QLabel *, 6> image_gap{};  // 1..5
    std::array<QLabel *, 6> image_word{}; // 1..5
    QPushButton *button_pass = nullptr;
    QPushButton *button_clear = nullptr;
    QLabel *checkbox_typing = nullptr;
    QLabel *label_typing = nullptr;
    QWidget *panel_winner = nullptr;
    QLabel *label_winner1 = nullptr;
    QLabel *label_winner2 = nullptr;
    QPushButton *button_start = nullptr;
    QWidget *panel_scores = nullptr;
    QListWidget *listbox_original = nullptr;
    QLabel *label_scoreround = nullptr;
    QLabel *label_original = nullptr;
    QTextEdit *mainchat = nullptr;
    QLineEdit *mychat = nullptr;
    std::array<QToolButton *, 10> b_phrase{}; // 1..9 phrases, [0] is b_phrase10, the sound button
    QLabel *image_logo = nullptr;
    QMenu *popup_sounds = nullptr;
    QMenu *popup_kick = nullptr;
    QMenu *popup_mainchat = nullptr;
    QMenu *popup_mychat = nullptr;
    int popupTarget = 1; // the seat pop-up's tag

    // Menu items.
    QAction *StartGame1 = nullptr;
    QAction *AddComputerPlayer1 = nullptr;
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
    QAction *Copy1 = nullptr;
    QAction *ClearMainChat2 = nullptr;
    QAction *ScrollChatOff2 = nullptr;
    QAction *Paste1 = nullptr;

    Tspylist *spylist = nullptr;
    Tgamestart *gamestart = nullptr;
    TServer *server = nullptr;
    AuxWindows aux;
    std::unique_ptr<vexlo::SettingsSession> settingsSession;
    ComputerSeats *computerSeats = nullptr;

Q_SIGNALS:
    // The window closed: the program ends.
    void closed();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

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
    void send(const QByteArray &text);
    void sessionLine(const QString &line) { addlinetochat(line, systemcolour); }
    QString seatText(int slot) const;
    vexlo::GameSettings currentSettings() const;
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
    vexlo::MessageFramer m_framer;
    std::unique_ptr<vexlo::SoundPlayer> m_sounds;
};
