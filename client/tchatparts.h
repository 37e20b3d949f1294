#pragma once
// What the main window holds, shared by its three .cpp files: the session, the
// controllers, the views and widgets it built, the menu items it keeps, and the
// windows attached to it.
#include "boardview.h"
#include "chatcontroller.h"
#include "chatview.h"
#include "narrator.h"
#include "networkdialogs.h"
#include "preferences.h"
#include "roundcontroller.h"
#include "scorepanel.h"
#include "seatlist.h"
#include "seatscontroller.h"
#include "serverannouncer.h"
#include "session.h"
#include "tchat.h"
#include "viewkit.h"

#include <QPointer>

class QActionGroup;

struct Tchat::Parts
{
    explicit Parts(Tchat *window);

    QStringList args;
    vexlo::platform::DesktopHooks hooks = vexlo::platform::realDesktopHooks();
    Preferences preferences;
    Session session;
    SeatsController seats;
    RoundController round;
    ChatController chat;
    NetworkDialogs dialogs;
    // A hosted network game (never a solo one) announced on the local network.
    vexlo::discovery::ServerAnnouncer *announcer = nullptr;

    // --- views and widgets ---
    QWidget *panel_board = nullptr;
    QLabel *label_status = nullptr;
    QLabel *label_roundnum = nullptr;
    BoardView *boardView = nullptr;
    WinnerPanel *panel_winner = nullptr;
    QPushButton *button_start = nullptr;
    ScorePanel *panel_scores = nullptr;
    SeatListView *seatList = nullptr;
    ChatView *chatView = nullptr;
    // What a screen reader says of the round (the board's voices speak it).
    Narrator *narrator = nullptr;
    QMenu *popup_kick = nullptr;
    int popupTarget = 1; // the slot the seat pop-up acts on

    // --- menu items whose state changes ---
    QAction *StartGame1 = nullptr;
    QAction *AddComputerPlayer1 = nullptr;
    QAction *PlaySounds1 = nullptr;
    QAction *PlayChatterSounds1 = nullptr;
    QMenu *TurnSound1 = nullptr;
    QMenu *BotSpeed1 = nullptr;
    QAction *AutoErase1 = nullptr;
    QMenu *TextSize1 = nullptr;
    QAction *ScrollChatOff1 = nullptr;
    QAction *JustWatch1 = nullptr;
    QAction *AnnounceGames1 = nullptr;
    QMenu *grouptilesitem = nullptr;
    QActionGroup *tilesGroup = nullptr;
    QAction *RemoveFromGame1 = nullptr;
    QAction *SettoJustWatch1 = nullptr;
    QAction *UnsetJustWatch1 = nullptr;

    // --- the other windows ---
    QPointer<Tspylist> spylist;
    QPointer<Tgamestart> gamestart;
    AuxWindows aux;

    bool shown = false;
    bool closing = false;
};
