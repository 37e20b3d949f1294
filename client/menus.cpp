// Tchat: the menu bar (File, Options, Tiles, View, Help), the seat pop-up, and the
// check marks that show the preferences.
#include "tchat.h"
#include "tchatparts.h"
#include "viewkit.h"

#include "errorreport.h"
#include "networkchoices.h"
#include "menutext.h"
#include "tabout.h"
#include "thelp.h"
#include "tphrases.h"
#include "tspylist.h"
#include "ttallylist.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

using namespace vexlo;
using viewkit::boundsOf;
using viewkit::placeWindow;
using viewkit::numbered;

namespace {

// A menu entry whose handler's errors show in the error box.
template <typename Fn>
QAction *item(QMenu *menu, const char *name, const QString &text, QObject *context, Fn handler)
{
    QAction *a = menu->addAction(text);
    a->setObjectName(QLatin1String(name));
    QObject::connect(a, &QAction::triggered, context, [handler] { guarded(handler); });
    return a;
}

// A check entry whose mark shows what its handler decides: the automatic flip is
// undone first.
template <typename Fn>
QAction *checkItem(QMenu *menu, const char *name, const QString &text, QObject *context, Fn handler)
{
    QAction *a = menu->addAction(text);
    a->setObjectName(QLatin1String(name));
    a->setCheckable(true);
    QObject::connect(a, &QAction::triggered, context, [a, handler](bool on) {
        a->setChecked(!on);
        guarded(handler);
    });
    return a;
}

void checkOnly(QMenu *menu, const QString &name)
{
    for (QAction *a : menu->actions())
        a->setChecked(a->objectName() == name);
}

} // namespace

void Tchat::buildMenus()
{
    QMenuBar *bar = menuBar();
    // Every menu and entry has an underlined letter (its "&"), unique within its
    // menu, so the whole menu works from the keyboard: Alt+F, Alt+O, Alt+T,
    // Alt+V, Alt+H, then the entry's letter. New entries take a letter still free
    // in their menu (File: N, G, M are free; Options: D, K, W).
    QMenu *file = bar->addMenu(QStringLiteral("&File"));
    d->StartGame1 = item(file, "StartGame1", QStringLiteral("&Start Game"), this, [this] { openGameStart(); });
    d->StartGame1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
    d->StartGame1->setEnabled(false);
    d->AddComputerPlayer1 = item(file, "AddComputerPlayer1", QStringLiteral("&Add Computer Player"), this,
                                 [this] { d->seats.addComputerPlayer(); });
    d->AddComputerPlayer1->setEnabled(false);
    // A connection that has not logged in yet holds a seat too; look again
    // whenever the menu opens.
    connect(file, &QMenu::aboutToShow, this,
            [this] { d->AddComputerPlayer1->setEnabled(d->seats.canAddComputerPlayer()); });
    item(file, "HostNetworkGame1", QStringLiteral("&Host Network Game..."), this,
         [this] { d->dialogs.openHostGame(false); });
    item(file, "JoinNetworkGame1", QStringLiteral("&Join Network Game..."), this,
         [this] { d->dialogs.openJoinGame(false); });
    item(file, "FindAGame1", QStringLiteral("&Find a Game..."), this, [this] { d->dialogs.openFindGame(); });
    item(file, "PlaySoloGame1", QStringLiteral("&Play Solo Game"), this, [this] { d->dialogs.playSolo(); });
    file->addSeparator();
    item(file, "Exit1", QStringLiteral("E&xit"), this, [this] { close(); });

    buildOptionsMenu(bar->addMenu(QStringLiteral("&Options")));

    d->grouptilesitem = bar->addMenu(QStringLiteral("&Tiles"));
    d->grouptilesitem->setObjectName(QStringLiteral("grouptilesitem"));

    QMenu *view = bar->addMenu(QStringLiteral("&View"));
    item(view, "ViewTally1", QStringLiteral("View &Tally"), this, [this] {
        if (!d->aux.tallylist)
            return;
        d->aux.tallylist->fillChecklist(d->seats.opponents());
        d->aux.tallylist->show();
        d->aux.tallylist->raise();
        d->aux.tallylist->activateWindow();
    });
    item(view, "SpyList1", QStringLiteral("&Spy List"), this, [this] {
        if (d->spylist)
            d->spylist->show();
    });
    item(view, "PhraseList1", QStringLiteral("&Phrase List"), this, [this] {
        if (d->aux.phrases)
            d->aux.phrases->showPhrases(d->preferences.phrases());
    });

    QMenu *help = bar->addMenu(QStringLiteral("&Help"));
    QAction *content = item(help, "Help2", QStringLiteral("&Content"), this, [this] {
        if (d->aux.help) {
            d->aux.help->show();
            d->aux.help->raise();
            d->aux.help->activateWindow();
        }
    });
    content->setShortcut(QKeySequence(Qt::Key_F1));
    help->addSeparator();
    item(help, "About1", QStringLiteral("&About"), this, [this] {
        if (d->aux.about) {
            d->aux.about->show();
            d->aux.about->raise();
            d->aux.about->activateWindow();
        }
    });

    // The seat pop-up.
    d->popup_kick = new QMenu(this);
    d->popup_kick->setObjectName(QStringLiteral("popup_kick"));
    d->RemoveFromGame1 = item(d->popup_kick, "RemoveFromGame1", QStringLiteral("&Remove From Game"), this,
                              [this] { d->seats.remove(d->popupTarget); });
    d->SettoJustWatch1 = item(d->popup_kick, "SettoJustWatch1", QStringLiteral("&Set to Just Watch"), this,
                              [this] { d->seats.setJustWatch(d->popupTarget, true); });
    d->UnsetJustWatch1 = item(d->popup_kick, "UnsetJustWatch1", QStringLiteral("&Unset Just Watch"), this,
                              [this] { d->seats.setJustWatch(d->popupTarget, false); });
}

void Tchat::buildOptionsMenu(QMenu *options)
{
    Preferences &p = d->preferences;
    d->PlaySounds1 = checkItem(options, "PlaySounds1", QStringLiteral("&Play Sounds"), this,
                               [&p] { p.togglePlaySounds(); });
    d->PlayChatterSounds1 = checkItem(options, "PlayChatterSounds1", QStringLiteral("Play &Chatter Sounds"), this,
                                      [&p] { p.toggleChatterSounds(); });
    d->TurnSound1 = options->addMenu(QStringLiteral("&Turn Sound"));
    d->TurnSound1->setObjectName(QStringLiteral("TurnSound1"));
    auto *turnGroup = new QActionGroup(this);
    int turnTag = 0;
    for (const char *n : {"Classic", "New"}) {
        QAction *a = d->TurnSound1->addAction(QLatin1Char('&') + QLatin1String(n));
        a->setObjectName(QLatin1String(n) + QStringLiteral("1"));
        a->setCheckable(true);
        a->setActionGroup(turnGroup);
        connect(a, &QAction::triggered, this, [&p, tag = turnTag] { guarded([&] { p.setTurnSound(tag); }); });
        ++turnTag;
    }
    d->BotSpeed1 = options->addMenu(QStringLiteral("&Bot Speed"));
    d->BotSpeed1->setObjectName(QStringLiteral("BotSpeed1"));
    auto *speedGroup = new QActionGroup(this);
    const std::pair<const char *, int> speeds[] = {{"Slow", 2000}, {"Normal", 1000}, {"Fast", 500}};
    for (const auto &[n, ms] : speeds) {
        QAction *a = d->BotSpeed1->addAction(QLatin1Char('&') + QLatin1String(n));
        a->setObjectName(QLatin1String(n) + QStringLiteral("1"));
        a->setCheckable(true);
        a->setActionGroup(speedGroup);
        connect(a, &QAction::triggered, this, [&p, ms = ms] { guarded([&] { p.setBotSpeed(ms); }); });
    }
    options->addSeparator();
    d->AutoErase1 = checkItem(options, "AutoEraseInvalidWord1", QStringLiteral("&Auto Erase Invalid Word"), this,
                              [&p] { p.toggleAutoErase(); });
    options->addSeparator();
    item(options, "TextColor1", QStringLiteral("Te&xt Color"), this, [this] {
        Preferences &prefs = d->preferences;
        if (const auto chosen = d->hooks.chooseColor ? d->hooks.chooseColor(this, prefs.chatColour()) : std::nullopt)
            prefs.setChatColour(*chosen);
    });
    item(options, "ActionColor1", QStringLiteral("Acti&on Color"), this, [this] {
        Preferences &prefs = d->preferences;
        if (const auto chosen = d->hooks.chooseColor ? d->hooks.chooseColor(this, prefs.actionColour()) : std::nullopt)
            prefs.setActionColour(*chosen);
        else
            prefs.save(); // also when cancelled
    });
    d->TextSize1 = options->addMenu(QStringLiteral("Text &Size"));
    d->TextSize1->setObjectName(QStringLiteral("TextSize1"));
    for (int size : {8, 10, 12, 14}) {
        // 8, 10, 12, 14: the last digit is underlined.
        const QString digits = QString::number(size);
        QAction *a = d->TextSize1->addAction(digits.chopped(1) + QLatin1Char('&') + digits.right(1));
        a->setObjectName(numbered("N", size));
        a->setCheckable(true);
        // Choosing a size moves no check mark; only loading the settings sets one.
        connect(a, &QAction::triggered, this, [a, &p, size](bool on) {
            a->setChecked(!on);
            guarded([&] { p.setTextSize(size); });
        });
    }
    d->ScrollChatOff1 = checkItem(options, "ScrollChatOff1", QStringLiteral("Sc&roll Chat Off"), this,
                                  [this] { d->chatView->toggleScrollOff(); });
    d->ScrollChatOff1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    item(options, "ClearMainChat1", QStringLiteral("Clear &Main Chat"), this, [this] { d->chatView->clearChat(); });
    item(options, "ResetScreenLocation1", QStringLiteral("R&eset Screen Location"), this,
         [this] { placeWindow(this, WindowBounds{}); });
    // On unless the settings file says "false"; written only when changed.
    d->AnnounceGames1 = checkItem(options, "AnnounceGames1", QStringLiteral("Announce Hosted &Games on This Network"),
                                  this, [this] {
                                      const bool on = !d->announcer->enabled();
                                      d->announcer->setEnabled(on);
                                      d->AnnounceGames1->setChecked(on);
                                      guarded([&] { saveAnnounce(d->preferences.file().file(), on); });
                                  });
    d->AnnounceGames1->setChecked(d->announcer->enabled());
    options->addSeparator();
    // Its check mark changes only when the server says so.
    d->JustWatch1 = checkItem(options, "JustWatch1", QStringLiteral("&Just Watch"), this,
                              [this] { d->seats.toggleJustWatch(); });
    showOptions();
}

void Tchat::buildTilesMenu()
{
    d->tilesGroup = new QActionGroup(d->grouptilesitem);
    d->tilesGroup->setObjectName(QStringLiteral("tilesgroup"));
    for (const QString &name : d->preferences.tileSetNames()) {
        QAction *entry = d->grouptilesitem->addAction(withMnemonic(name, d->grouptilesitem));
        entry->setObjectName(name + QStringLiteral("3"));
        entry->setToolTip(name); // the hint
        entry->setStatusTip(name);
        entry->setCheckable(true);
        entry->setActionGroup(d->tilesGroup);
        entry->setChecked(name.toLower() == QLatin1String("classic"));
        connect(entry, &QAction::triggered, this, [this, entry, name] {
            if (guarded([&] { d->preferences.chooseTileSet(name); }))
                return;
            // The menu checked the entry already; the check goes back to the set in use.
            const QString inUse = d->preferences.tileSetInUse();
            QAction *current = nullptr;
            for (QAction *a : d->grouptilesitem->actions())
                if (a->objectName().compare(inUse + QStringLiteral("3"), Qt::CaseInsensitive) == 0)
                    current = a;
            if (current)
                current->setChecked(true);
            else
                entry->setChecked(false);
        });
    }
}

void Tchat::showOptions()
{
    const GameSettings &o = d->preferences.options();
    d->PlaySounds1->setChecked(o.playSounds);
    d->PlayChatterSounds1->setChecked(o.chatterSounds);
    d->AutoErase1->setChecked(o.autoErase);
    checkOnly(d->BotSpeed1, o.botSpeed == 2000 ? QStringLiteral("Slow1")
                            : o.botSpeed == 500 ? QStringLiteral("Fast1")
                                                : QStringLiteral("Normal1"));
    checkOnly(d->TurnSound1, o.turnSound == 1 ? QStringLiteral("New1") : QStringLiteral("Classic1"));
}

void Tchat::showSeatMenu(QLabel *clicked, const QPoint &at)
{
    const bool host = d->session.isHost();
    d->RemoveFromGame1->setEnabled(host);
    d->SettoJustWatch1->setEnabled(host);
    d->UnsetJustWatch1->setEnabled(host);
    // A seat's own name opens the pop-up on that seat; the score panel's
    // labels open it on seat 1. A free seat cannot be removed.
    d->popupTarget = 1;
    int shown = 0;
    for (int i = 1; i <= SeatsModel::SeatCount; ++i) {
        if (clicked->objectName() == numbered("label_playername", i))
            d->popupTarget = shown = i;
        else if (clicked->objectName() == numbered("label_name", i))
            shown = i;
    }
    if (shown != 0 && !d->seats.model().taken(shown))
        d->RemoveFromGame1->setEnabled(false);
    if (!at.isNull())
        d->popup_kick->popup(at);
}
