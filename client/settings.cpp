// Tchat: the settings file (read once, when this window's own arrival is
// announced; written when a saved option changes and when the window closes
// after it moved), the window's placement rules and the Options entries whose
// state the file keeps.
#include "tchat.h"

#include "computerseats.h"
#include "errorreport.h"
#include "settingsmodel.h"
#include "tgamestart.h"

#include <QAction>
#include <QCloseEvent>
#include <QMenu>
#include <QSpinBox>

#include <climits>

using namespace vexlo;

namespace {

// Sizes outside this range would leave the chat unreadable; they read as the default.
constexpr int kMinTextSize = 1;
constexpr int kMaxTextSize = 72;

void checkOnly(QMenu *menu, const QString &name)
{
    for (QAction *a : menu->actions())
        a->setChecked(a->objectName() == name);
}

} // namespace

WindowBounds Tchat::currentBounds() const
{
    const QRect f = frameGeometry();
    return {f.x(), f.y(), f.width(), f.height()};
}

void Tchat::applyBounds(const WindowBounds &bounds)
{
    // The bounds are the outer frame's; the frame's own width and height stay out
    // of the size given to the window.
    const QSize frame = frameGeometry().size() - geometry().size();
    move(bounds.left, bounds.top);
    resize(QSize(bounds.width, bounds.height) - frame);
}

GameSettings Tchat::currentSettings() const
{
    GameSettings s = options;
    s.bounds = currentBounds();
    s.textColor = QString::fromLatin1(colorToText(chatcolour));
    s.actionColor = QString::fromLatin1(colorToText(actioncolour));
    if (gamestart) {
        s.playToScore = gamestart->UpDown1()->value();
        s.timePerTurn = gamestart->UpDown2()->value();
    }
    return s;
}

void Tchat::loadinifile()
{
    GameSettings s = currentSettings();
    settingsSession->load(s);
    applyBounds(s.bounds);

    const QString shownTiles = options.tiles;
    options = s;
    const int size = s.textSize >= kMinTextSize && s.textSize <= kMaxTextSize ? s.textSize : GameSettings().textSize;
    options.textSize = size;
    chatView->setTextSize(size);
    if (QAction *entry = TextSize1->findChild<QAction *>(QStringLiteral("N%1").arg(size)))
        entry->setChecked(true);

    chatcolour = textToColor(s.textColor.toLatin1()).value_or(clBlack);
    actioncolour = textToColor(s.actionColor.toLatin1()).value_or(clBlack);
    chatView->setEntryColour(toQColor(chatcolour));

    if (gamestart) {
        gamestart->UpDown1()->setValue(s.playToScore);
        gamestart->UpDown2()->setValue(s.timePerTurn);
    }

    checkOnly(BotSpeed1, options.botSpeed == 2000 ? QStringLiteral("Slow1")
                         : options.botSpeed == 500 ? QStringLiteral("Fast1")
                                                   : QStringLiteral("Normal1"));
    checkOnly(TurnSound1, options.turnSound == 1 ? QStringLiteral("New1") : QStringLiteral("Classic1"));

    for (int n = 1; n <= PhraseCount; ++n)
        chatView->setPhrase(n, options.phrases[size_t(n - 1)]);

    options.tiles = shownTiles;
    if (!s.tiles.isEmpty() && s.tiles != shownTiles) {
        try {
            loadgrouptiles(s.tiles);
            options.tiles = s.tiles; // kept even when no such tile set is found
        } catch (const ETileSetError &) {
            // An unreadable set leaves the built-in tiles; the rest of the file still applies.
            sessionLine(QStringLiteral("The tile set %1 could not be read; the built-in tiles are used.").arg(s.tiles));
        }
    }

    PlaySounds1->setChecked(options.playSounds);
    AutoErase1->setChecked(options.autoErase);
    PlayChatterSounds1->setChecked(options.chatterSounds);
    computerSeats->setKept(loadSoloBots(settingsSession->file()));
}

void Tchat::saveinifile()
{
    writeSettings(currentBounds());
}

void Tchat::writeSettings(const WindowBounds &bounds)
{
    // Before the file is read in this run nothing is written: the starting values
    // would replace the player's stored choices.
    GameSettings s = currentSettings();
    s.bounds = bounds;
    settingsSession->save(s);
}

bool Tchat::FormClose()
{
    const QRect area = hooks.workArea ? hooks.workArea(this) : QRect();
    const auto fitted = settingsSession->closing(currentBounds(), area.isValid() ? area.size() : QSize(INT_MAX, INT_MAX));
    if (!fitted)
        return true;
    applyBounds(*fitted);
    // A failed save keeps the window open; the bounds are remembered already, so
    // closing again goes through.
    return guarded([&] { writeSettings(*fitted); });
}

void Tchat::FormResize()
{
    QWidget *client = centralWidget();
    if (!client)
        return;
    const QSize now = client->size();
    const QSize least = minimumClientSize(now);
    if (least != now)
        resize(size() + (least - now));
}

void Tchat::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    FormResize();
}

void Tchat::ResetScreenLocation1Click()
{
    applyBounds(WindowBounds{});
}

// --- Options entries that are saved ---

void Tchat::Classic1Click(int tag)
{
    options.turnSound = tag == 1 ? 1 : 0;
    checkOnly(TurnSound1, options.turnSound == 1 ? QStringLiteral("New1") : QStringLiteral("Classic1"));
    saveinifile();
}

void Tchat::Fast1Click(int tag)
{
    options.botSpeed = tag;
    checkOnly(BotSpeed1, tag == 2000 ? QStringLiteral("Slow1") : tag == 500 ? QStringLiteral("Fast1") : QStringLiteral("Normal1"));
    saveinifile();
}

void Tchat::autoeraseClick()
{
    options.autoErase = !options.autoErase;
    AutoErase1->setChecked(options.autoErase);
    saveinifile();
}
