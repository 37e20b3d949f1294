// Tchat: what the window does with the board. Keys on their way to the board,
// submitting, clearing and passing a word, board mode and chat mode, and the
// countdown; the board view shows them. The tile sets and their "Tiles" menu
// are in tilesets.cpp.
#include "tchat.h"

#include "boardreader.h"
#include "catalogue.h"
#include "errorreport.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>

using namespace vexlo;

namespace {

// Key codes as the board knows them (the Windows virtual key codes).
enum Key : int {
    kTab = 9,
    kEnter = 13,
    kBackspace = 8,
    kSpace = 32,
    kZero = 48,
    kOne = 49,
    kEquals = 187, // the key that also carries "+"
};

// The key code of a key press; 0 for keys the board never looks at. Shift,
// Ctrl and Alt are not looked at, so the shifted symbols of the main row count
// as their keys; keypad keys are keys of their own.
int keyCode(const QKeyEvent *e)
{
    const int k = e->key();
    const bool keypad = e->modifiers() & Qt::KeypadModifier;
    switch (k) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return kTab;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return kEnter;
    case Qt::Key_Backspace:
        return kBackspace;
    case Qt::Key_Space:
        return kSpace;
    default:
        break;
    }
    if (keypad)
        return 0;
    if (k >= Qt::Key_0 && k <= Qt::Key_9)
        return k;
    if (k >= Qt::Key_A && k <= Qt::Key_Z)
        return k;
    switch (k) {
    case Qt::Key_Exclam:
        return kOne;
    case Qt::Key_ParenRight:
        return kZero;
    case Qt::Key_Equal:
    case Qt::Key_Plus:
        return kEquals;
    default:
        return 0;
    }
}

// Sees every key press of the program before the focused control does, and hands
// those of its window to the board.
class BoardKeys : public QObject
{
public:
    explicit BoardKeys(Tchat *chat) : QObject(chat), m_chat(chat) { qApp->installEventFilter(this); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        const QEvent::Type t = event->type();
        if (t != QEvent::KeyPress && t != QEvent::ShortcutOverride)
            return false;
        return m_chat->boardKeyEvent(watched, event);
    }

private:
    Tchat *m_chat;
};

} // namespace

void Tchat::buildWordEntry()
{
    Q_INIT_RESOURCE(vexlotiles);
    imagelist_letters = TileSet::builtIn();
    boardView = new BoardView(imagelist_letters, panel_board);
    connect(boardView, &BoardView::passPressed, this, [this] { guarded([this] { button_passClick(); }); });
    connect(boardView, &BoardView::clearPressed, this, [this] { guarded([this] { button_clearClick(); }); });
    connect(boardView, &BoardView::typingClicked, this, [this] { guarded([this] { label_typingClick(); }); });

    connect(&roundModel, &RoundModel::chatModeChanged, boardView, &BoardView::setTypingChecked);
    connect(&roundModel, &RoundModel::ticked, boardView,
            [this](int left) { boardView->showCountdown(left, roundModel.barStep()); });
    turntime.setInterval(1000);
    connect(&turntime, &QTimer::timeout, this, [this] { guarded([this] { turntimeTimer(); }); });

    narrator = access::giveVoice(boardView, roundModel, seats, chatView->findChild<QWidget *>(QStringLiteral("mychat")));

    shipTileSets();
    grouptilesmenu();
    new BoardKeys(this);
}

void Tchat::redrawtiles()
{
    boardView->redraw();
}

// --- keys ---

bool Tchat::boardKeyEvent(QObject *watched, QEvent *event)
{
    auto *w = qobject_cast<QWidget *>(watched);
    if (!w || w->window() != this)
        return false;
    // Alt pressed alone hands the keys to the menu bar; they are menu keys then,
    // except in a round on the board: the board owns the letters whatever state
    // the menu bar was left in (no menu open).
    if (qobject_cast<QMenuBar *>(w) && (chatMode() || !roundModel.boardOpenFor(myslot) || QApplication::activePopupWidget()))
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    // A key the focused control left alone travels on to its parents as the same
    // event; the board looks at it once, where it first arrived.
    if (event == m_keySeen.event && event->type() == m_keySeen.type && key->timestamp() == m_keySeen.timestamp
        && m_keySeen.target && w->isAncestorOf(m_keySeen.target))
        return false;
    m_keySeen = {event, event->type(), key->timestamp(), w};
    // The focused control's own menu shortcuts come first.
    const bool ctrl = key->modifiers() & Qt::ControlModifier;
    if (ctrl && chatView->isEntry(w) && key->key() == Qt::Key_V)
        return false;
    if (ctrl && chatView->isView(w) && (key->key() == Qt::Key_C || key->key() == Qt::Key_S))
        return false;
    const int code = keyCode(key);
    if (code == 0)
        return false;
    if (event->type() == QEvent::ShortcutOverride) {
        // Keys the board takes never reach the menus' shortcuts.
        const bool open = roundModel.boardOpenFor(myslot);
        const bool boardKey = code == kSpace || code == kOne || code == kEnter || code == kBackspace || code == kZero
                              || code == kEquals || (code >= 65 && code <= 90);
        if (open && (code == kTab || (!chatMode() && boardKey))) {
            event->accept();
            return true;
        }
        return false;
    }
    bool handled = false;
    guarded([&] { handled = FormShortCut(code); });
    return handled;
}

bool Tchat::FormShortCut(int key)
{
    // A board that nobody opened (0) takes no keys, also before the login.
    if (!roundModel.boardOpenFor(myslot))
        return false;
    bool handled = false;
    if (key == kTab) {
        settyping();
        handled = true;
    }
    if (chatMode())
        return handled;
    switch (key) {
    case kOne:
    case kSpace:
        hitpass();
        return true;
    case kEnter:
        hitdone();
        return true;
    case kBackspace:
        if (const int at = roundModel.letterCount(); roundModel.eraseLetter()) {
            boardView->setTile(BoardView::Word, at, 0);
            playsounds(QStringLiteral("backspace"));
        }
        return true;
    case kEquals:
    case kZero:
        hitclear();
        return true;
    default:
        break;
    }
    if (key >= 65 && key <= 90) {
        if (roundModel.typeLetter(key - 64)) {
            boardView->setTile(BoardView::Word, roundModel.letterCount(), key - 64);
            playsounds(QStringLiteral("clickletter"));
        }
        return true;
    }
    return handled;
}

// --- submitting, clearing, passing ---

void Tchat::hitdone()
{
    roundModel.setStatus(QStringLiteral("Checking Word..."));
    if (!roundModel.boardOpenFor(myslot))
        return;
    if (!roundModel.wordComplete()) {
        roundModel.setStatus(QStringLiteral("Invalid Word"));
        playsounds(QStringLiteral("invalid"));
        return;
    }
    roundModel.setInputOwner(0);
    if (loggedin)
        send(msg::myword(myslot, roundModel.letters()));
}

void Tchat::hitclear()
{
    boardView->blankRow(BoardView::Word);
    roundModel.clearLetters();
    playsounds(QStringLiteral("clear"));
}

void Tchat::hitpass()
{
    if (myslot >= 1 && myslot <= seatcount && loggedin)
        send(msg::pass(myslot));
    playsounds(QStringLiteral("pass"));
}

// --- board mode and chat mode ---

void Tchat::settyping()
{
    roundModel.setChatMode(!roundModel.chatMode());
}

void Tchat::forceBoardMode()
{
    roundModel.setChatMode(false);
}

void Tchat::forceChatMode()
{
    roundModel.setChatMode(true);
}

// --- the countdown ---

void Tchat::turntimeTimer()
{
    roundModel.tick();
    const int left = roundModel.secondsLeft();
    if (left >= 1 && (left == 20 || left == 15 || left <= 10))
        playsounds(QStringLiteral("tick"));
}
