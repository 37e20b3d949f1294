// Tchat: the board. The two rows of letter tiles, keys on their way to the board,
// submitting, clearing and passing a word, board mode and chat mode, and the
// countdown. The tile sets and their "Tiles" menu are in tilesets.cpp.
#include "tchat.h"

#include "accessibility.h"
#include "boardpictures.h"
#include "catalogue.h"
#include "errorreport.h"
#include "look.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QTextEdit>

using namespace vexlo;

namespace {

constexpr int kTileLefts[6] = {0, 268, 316, 364, 412, 460};
constexpr int kGapTop = 80;
constexpr int kWordTop = 168;
const QColor kTimerCalm(224, 227, 157);
const QColor kTimerHurry(255, 0, 0);

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
        if (t != QEvent::KeyPress && t != QEvent::ShortcutOverride && t != QEvent::MouseButtonPress)
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
    // Each row of tiles is one element to a screen reader.
    auto row = [this](TileRow::Kind kind, const char *name, int top) {
        auto *r = new TileRow(kind, panel_board);
        r->setObjectName(QLatin1String(name));
        r->setGeometry(kTileLefts[1], top, kTileLefts[5] + kTileSize - kTileLefts[1], kTileSize);
        return r;
    };
    gapRow = row(TileRow::Pattern, "row_pattern", kGapTop);
    wordRow = row(TileRow::Typed, "row_word", kWordTop);
    for (int i = 1; i <= 5; ++i) {
        for (bool gap : {true, false}) {
            auto *tile = new QLabel(gap ? gapRow : wordRow);
            tile->setObjectName((gap ? QStringLiteral("image_gap") : QStringLiteral("image_word")) + QString::number(i));
            tile->setGeometry(kTileLefts[i] - kTileLefts[1], 0, kTileSize, kTileSize);
            tile->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            (gap ? image_gap : image_word)[size_t(i)] = tile;
        }
    }

    auto pictureButton = [this](const char *name, int left, const QString &caption, const QString &key) {
        auto *b = new QPushButton(panel_board);
        b->setObjectName(QLatin1String(name));
        b->setGeometry(left, 144, 172, 43);
        b->setIcon(look::boardButtonPicture(caption, key));
        b->setIconSize(QSize(172, 43));
        b->setStyleSheet(QStringLiteral("QPushButton { border: none; background: transparent; }"));
        b->setCursor(Qt::PointingHandCursor);
        b->setFocusPolicy(Qt::NoFocus);
        b->hide();
        return b;
    };
    button_pass = pictureButton("button_pass", 84, QStringLiteral("PASS WORD"), QStringLiteral("'1' KEY"));
    button_clear = pictureButton("button_clear", 516, QStringLiteral("CLEAR WORD"), QStringLiteral("'0' KEY"));
    connect(button_pass, &QPushButton::clicked, this, [this] { guarded([this] { button_passClick(); }); });
    connect(button_clear, &QPushButton::clicked, this, [this] { guarded([this] { button_clearClick(); }); });

    checkbox_typing = new PictureCheckBox(QStringLiteral("Type In Chat"), panel_board);
    checkbox_typing->setObjectName(QStringLiteral("checkbox_typing"));
    checkbox_typing->setGeometry(642, 505, 20, 20);
    checkbox_typing->setChecked(true);
    label_typing = new QLabel(QStringLiteral("Type In Chat"), panel_board);
    label_typing->setObjectName(QStringLiteral("label_typing"));
    label_typing->setGeometry(666, 506, 96, 18);
    label_typing->setFont(look::arial(13));
    for (QLabel *l : {static_cast<QLabel *>(checkbox_typing), label_typing})
        l->setCursor(Qt::PointingHandCursor);

    image_timer = new QLabel(panel_board);
    image_timer->setObjectName(QStringLiteral("image_timer"));
    image_timer->setGeometry(258, 22, 258, 21);
    image_timer->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    image_timer->setPixmap(look::timerBarPicture());
    label_timer = new QLabel(QStringLiteral("Time: 0:00"), panel_board);
    label_timer->setObjectName(QStringLiteral("label_timer"));
    label_timer->setGeometry(262, 24, 87, 19);
    label_timer->setAlignment(Qt::AlignCenter);
    label_timer->setFont(look::arial(16, true));
    QPalette pal = label_timer->palette();
    pal.setColor(QPalette::WindowText, QColor(255, 218, 176));
    label_timer->setPalette(pal);

    connect(&roundModel, &RoundModel::chatModeChanged, this,
            [this](bool chat) { checkbox_typing->setChecked(chat); });
    connect(&roundModel, &RoundModel::ticked, this, &Tchat::showCountdown);
    turntime.setInterval(1000);
    connect(&turntime, &QTimer::timeout, this, [this] { guarded([this] { turntimeTimer(); }); });

    shipTileSets();
    grouptilesmenu();
    new BoardKeys(this);
}

// --- tiles ---

int &Tchat::shownTile(const QLabel *tile)
{
    for (size_t i = 1; i <= 5; ++i) {
        if (tile == image_gap[i])
            return m_gapShown[i];
        if (tile == image_word[i])
            return m_wordShown[i];
    }
    static int none = kNoTile;
    none = kNoTile;
    return none;
}

int Tchat::tileTag(const QLabel *tile) const
{
    const int shown = const_cast<Tchat *>(this)->shownTile(tile);
    return shown == kNoTile ? 0 : shown;
}

void Tchat::setTile(QLabel *tile, int number)
{
    shownTile(tile) = number;
    tile->setPixmap(imagelist_letters.has(number) ? imagelist_letters.picture(number) : QPixmap());
    tellRows();
}

void Tchat::showNothing(QLabel *tile)
{
    shownTile(tile) = kNoTile;
    tile->setPixmap(QPixmap());
    tellRows();
}

void Tchat::tellRows()
{
    if (!gapRow || !wordRow)
        return; // still being built
    auto shown = [](const std::array<int, 6> &row) {
        QList<int> tiles;
        for (size_t i = 1; i <= 5; ++i)
            tiles << (row[i] == kNoTile ? TileRow::kNothing : row[i]);
        return tiles;
    };
    gapRow->setTiles(shown(m_gapShown));
    wordRow->setTiles(shown(m_wordShown));
}

void Tchat::redrawtiles()
{
    // A tile that showed nothing gets the blank tile of the new set.
    for (int i = 1; i <= 5; ++i) {
        for (QLabel *tile : {image_gap[size_t(i)], image_word[size_t(i)]}) {
            const int tag = tileTag(tile);
            shownTile(tile) = tag;
            const bool drawn = tag >= 0 && tag <= 26 && imagelist_letters.has(tag);
            tile->setPixmap(drawn ? imagelist_letters.picture(tag) : QPixmap());
        }
    }
    tellRows();
}

// --- keys ---

bool Tchat::boardKeyEvent(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        if (watched != checkbox_typing && watched != label_typing)
            return false;
        if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton)
            guarded([this] { label_typingClick(); });
        return true;
    }
    auto *w = qobject_cast<QWidget *>(watched);
    if (!w || w->window() != this)
        return false;
    // Alt pressed alone hands the keys to the menu bar; they are menu keys then.
    if (qobject_cast<QMenuBar *>(w))
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
            setTile(image_word[size_t(at)], 0);
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
            setTile(image_word[size_t(roundModel.letterCount())], key - 64);
            playsounds(QStringLiteral("clickletter"));
        }
        return true;
    }
    return handled;
}

// --- submitting, clearing, passing ---

void Tchat::hitdone()
{
    label_status->setText(QStringLiteral("Checking Word..."));
    if (!roundModel.boardOpenFor(myslot))
        return;
    if (!roundModel.wordComplete()) {
        label_status->setText(QStringLiteral("Invalid Word"));
        playsounds(QStringLiteral("invalid"));
        return;
    }
    roundModel.setInputOwner(0);
    if (loggedin)
        send(msg::myword(myslot, roundModel.letters()));
}

void Tchat::hitclear()
{
    for (int i = 1; i <= 5; ++i)
        setTile(image_word[size_t(i)], 0);
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

void Tchat::showCountdown(int left)
{
    if (left < 1) {
        label_timer->setText(countdownText(0));
        image_timer->resize(0, image_timer->height());
        return;
    }
    image_timer->resize(barWidth(roundModel.barStep(), left), image_timer->height());
    QPalette pal = label_timer->palette();
    pal.setColor(QPalette::WindowText, left >= 20 ? kTimerCalm : kTimerHurry);
    label_timer->setPalette(pal);
    label_timer->setText(countdownText(left));
}
