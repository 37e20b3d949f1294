// Tchat: the menu bar (File, Options, View, Help) and the seat pop-up. The
// Options entries edit the options value; the handlers live with what they
// act on (settings.cpp, chat.cpp, session.cpp).
#include "tchat.h"
#include "viewkit.h"

#include "errorreport.h"
#include "tspylist.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>
#include <QMenuBar>

using vexlo::viewkit::numbered;

void Tchat::buildMenus()
{
    QMenuBar *bar = menuBar();
    auto item = [this](QMenu *menu, const char *name, const QString &text, auto handler) {
        QAction *a = menu->addAction(text);
        a->setObjectName(QLatin1String(name));
        connect(a, &QAction::triggered, this, [this, handler] { vexlo::guarded([&] { (this->*handler)(); }); });
        return a;
    };
    // A check item whose handler decides its mark: the automatic flip is undone first.
    auto checkItem = [this](QMenu *menu, const char *name, const QString &text, auto handler) {
        QAction *a = menu->addAction(text);
        a->setObjectName(QLatin1String(name));
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [this, a, handler](bool on) {
            a->setChecked(!on);
            vexlo::guarded([&] { (this->*handler)(); });
        });
        return a;
    };

    // Every menu and entry has an underlined letter (its "&"), unique within its
    // menu, so the whole menu works from the keyboard: Alt+F, Alt+O, Alt+T,
    // Alt+V, Alt+H, then the entry's letter. New entries take a letter still free
    // in their menu (File: N, G, M are free; Options: D, K, W).
    QMenu *file = bar->addMenu(QStringLiteral("&File"));
    StartGame1 = item(file, "StartGame1", QStringLiteral("&Start Game"), &Tchat::button_startClick);
    StartGame1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_G));
    StartGame1->setEnabled(false);
    AddComputerPlayer1 = item(file, "AddComputerPlayer1", QStringLiteral("&Add Computer Player"),
                              &Tchat::AddComputerPlayer1Click);
    AddComputerPlayer1->setEnabled(false);
    HostNetworkGame1 = item(file, "HostNetworkGame1", QStringLiteral("&Host Network Game..."),
                            &Tchat::HostNetworkGame1Click);
    JoinNetworkGame1 = item(file, "JoinNetworkGame1", QStringLiteral("&Join Network Game..."),
                            &Tchat::JoinNetworkGame1Click);
    PlaySoloGame1 = item(file, "PlaySoloGame1", QStringLiteral("&Play Solo Game"), &Tchat::PlaySoloGame1Click);
    file->addSeparator();
    Exit1 = item(file, "Exit1", QStringLiteral("E&xit"), &Tchat::Exit1Click);

    QMenu *optionsMenu = bar->addMenu(QStringLiteral("&Options"));
    PlaySounds1 = checkItem(optionsMenu, "PlaySounds1", QStringLiteral("&Play Sounds"), &Tchat::PlaySounds1Click);
    PlaySounds1->setChecked(options.playSounds);
    PlayChatterSounds1 = checkItem(optionsMenu, "PlayChatterSounds1", QStringLiteral("Play &Chatter Sounds"),
                                   &Tchat::PlayChatterSounds1Click);
    // Chatter sounds stay off until the settings file turns them on.
    options.chatterSounds = false;
    TurnSound1 = optionsMenu->addMenu(QStringLiteral("&Turn Sound"));
    TurnSound1->setObjectName(QStringLiteral("TurnSound1"));
    auto *turnGroup = new QActionGroup(this);
    int turnTag = 0;
    for (const char *n : {"Classic", "New"}) {
        QAction *a = TurnSound1->addAction(QLatin1Char('&') + QLatin1String(n));
        a->setObjectName(QLatin1String(n) + QStringLiteral("1"));
        a->setCheckable(true);
        a->setActionGroup(turnGroup);
        a->setData(turnTag);
        connect(a, &QAction::triggered, this, [this, tag = turnTag] { vexlo::guarded([&] { Classic1Click(tag); }); });
        ++turnTag;
    }
    turnGroup->actions().constFirst()->setChecked(true);
    BotSpeed1 = optionsMenu->addMenu(QStringLiteral("&Bot Speed"));
    BotSpeed1->setObjectName(QStringLiteral("BotSpeed1"));
    auto *speedGroup = new QActionGroup(this);
    const std::pair<const char *, int> speeds[] = {{"Slow", 2000}, {"Normal", 1000}, {"Fast", 500}};
    for (const auto &[n, tag] : speeds) {
        QAction *a = BotSpeed1->addAction(QLatin1Char('&') + QLatin1String(n));
        a->setObjectName(QLatin1String(n) + QStringLiteral("1"));
        a->setCheckable(true);
        a->setActionGroup(speedGroup);
        a->setData(tag);
        a->setChecked(tag == 1000);
        connect(a, &QAction::triggered, this, [this, tag = tag] { vexlo::guarded([&] { Fast1Click(tag); }); });
    }
    optionsMenu->addSeparator();
    AutoErase1 = checkItem(optionsMenu, "AutoEraseInvalidWord1", QStringLiteral("&Auto Erase Invalid Word"),
                           &Tchat::autoeraseClick);
    AutoErase1->setChecked(options.autoErase);
    optionsMenu->addSeparator();
    TextColor1 = item(optionsMenu, "TextColor1", QStringLiteral("Te&xt Color"), &Tchat::TextColor1Click);
    ActionColor1 = item(optionsMenu, "ActionColor1", QStringLiteral("Acti&on Color"), &Tchat::ActionColor1Click);
    TextSize1 = optionsMenu->addMenu(QStringLiteral("Text &Size"));
    TextSize1->setObjectName(QStringLiteral("TextSize1"));
    for (int size : {8, 10, 12, 14}) {
        // 8, 10, 12, 14: the last digit is underlined.
        const QString digits = QString::number(size);
        QAction *a = TextSize1->addAction(digits.chopped(1) + QLatin1Char('&') + digits.right(1));
        a->setObjectName(numbered("N", size));
        a->setData(size); // its tag
        a->setCheckable(true);
        // Choosing a size moves no check mark; only loading the settings sets one.
        connect(a, &QAction::triggered, this, [this, a, size](bool on) {
            a->setChecked(!on);
            vexlo::guarded([&] { N14Click(size); });
        });
    }
    ScrollChatOff1 = checkItem(optionsMenu, "ScrollChatOff1", QStringLiteral("Sc&roll Chat Off"),
                               &Tchat::ScrollChatOff1Click);
    ScrollChatOff1->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    ClearMainChat1 = item(optionsMenu, "ClearMainChat1", QStringLiteral("Clear &Main Chat"),
                          &Tchat::ClearMainChat1Click);
    ResetScreenLocation1 = item(optionsMenu, "ResetScreenLocation1", QStringLiteral("R&eset Screen Location"),
                                &Tchat::ResetScreenLocation1Click);
    // Its check mark is set from the settings file (wireAnnouncing).
    AnnounceGames1 = checkItem(optionsMenu, "AnnounceGames1", QStringLiteral("Announce Hosted &Games on This Network"),
                               &Tchat::AnnounceGames1Click);
    optionsMenu->addSeparator();
    // Its check mark changes only when the server says so.
    JustWatch1 = checkItem(optionsMenu, "JustWatch1", QStringLiteral("&Just Watch"), &Tchat::JustWatch1Click);

    grouptilesitem = bar->addMenu(QStringLiteral("&Tiles"));
    grouptilesitem->setObjectName(QStringLiteral("grouptilesitem"));

    QMenu *view = bar->addMenu(QStringLiteral("&View"));
    ViewTally1 = item(view, "ViewTally1", QStringLiteral("View &Tally"), &Tchat::ViewTally1Click);
    SpyList1 = view->addAction(QStringLiteral("&Spy List"));
    SpyList1->setObjectName(QStringLiteral("SpyList1"));
    connect(SpyList1, &QAction::triggered, this, [this] {
        if (spylist)
            spylist->show();
    });
    PhraseList1 = item(view, "PhraseList1", QStringLiteral("&Phrase List"), &Tchat::PrhaseList1Click);

    QMenu *help = bar->addMenu(QStringLiteral("&Help"));
    Help2 = item(help, "Help2", QStringLiteral("&Content"), &Tchat::Help2Click);
    Help2->setShortcut(QKeySequence(Qt::Key_F1));
    help->addSeparator();
    About1 = item(help, "About1", QStringLiteral("&About"), &Tchat::About1Click);

    // The seat pop-up.
    popup_kick = new QMenu(this);
    popup_kick->setObjectName(QStringLiteral("popup_kick"));
    RemoveFromGame1 = item(popup_kick, "RemoveFromGame1", QStringLiteral("&Remove From Game"),
                           &Tchat::RemoveFromGame1Click);
    SettoJustWatch1 = item(popup_kick, "SettoJustWatch1", QStringLiteral("&Set to Just Watch"),
                           &Tchat::SettoJustWatch1Click);
    UnsetJustWatch1 = item(popup_kick, "UnsetJustWatch1", QStringLiteral("&Unset Just Watch"),
                           &Tchat::UnsetJustWatch1Click);
}
