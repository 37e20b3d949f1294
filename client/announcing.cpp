// Tchat: a hosted game announced on the local network. Options -> "Announce
// Hosted Games on This Network" (on unless the settings file says "false")
// decides; the announcer follows the game server while the window hosts a
// network game (never a solo one) and withdraws it when the session ends.
#include "tchat.h"

#include "networkchoices.h"
#include "serverannouncer.h"
#include "settingsmodel.h"

#include <QAction>

using namespace vexlo;

void Tchat::wireAnnouncing()
{
    announcer = new discovery::ServerAnnouncer(this);
    announcer->setEnabled(loadAnnounce(settingsSession->file()));
    AnnounceGames1->setChecked(announcer->enabled());
}

void Tchat::AnnounceGames1Click()
{
    const bool on = !announcer->enabled();
    announcer->setEnabled(on);
    AnnounceGames1->setChecked(on);
    saveAnnounce(settingsSession->file(), on);
}
