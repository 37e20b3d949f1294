// Tchat: the computer players a host seats. File -> "Add Computer Player" seats
// one at the "Bot Speed" chosen under Options while a seat is free; the seat
// pop-up's "Remove From Game" removes one as any player. A solo game keeps their
// number in the settings file, and the next solo start brings them back.
#include "tchat.h"

#include "computerseats.h"
#include "errorreport.h"
#include "settingsmodel.h"

#include <QAction>
#include <QMenu>

using namespace vexlo;

void Tchat::wireComputerPlayers()
{
    computerSeats = new ComputerSeats(this);
    connect(computerSeats, &ComputerSeats::changed, this, &Tchat::updateAddComputerPlayer);
    connect(computerSeats, &ComputerSeats::keptChanged, this, [this](int count) {
        if (settingsSession->loaded())
            guarded([&] { saveSoloBots(settingsSession->file(), count); });
    });
    // A connection that has not logged in yet holds a seat too; look again
    // whenever the menu opens.
    for (QObject *o : AddComputerPlayer1->associatedObjects())
        if (auto *menu = qobject_cast<QMenu *>(o))
            connect(menu, &QMenu::aboutToShow, this, &Tchat::updateAddComputerPlayer);
}

void Tchat::updateAddComputerPlayer()
{
    AddComputerPlayer1->setEnabled(ishost && loggedin && computerSeats->seatFree());
}

void Tchat::AddComputerPlayer1Click()
{
    if (ishost && loggedin)
        computerSeats->add(botSpeedFromLetterMs(options.botSpeed).value_or(BotSpeed::Normal));
    updateAddComputerPlayer();
}
