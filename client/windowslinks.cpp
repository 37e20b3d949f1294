// Tchat and the windows it opens: help and about (and the logo's link), the
// lobby downloader on a solo start, the phrase editor, and the tally window
// with its check list of the current game's opponents.
#include "tchat.h"

#include "settingsmodel.h"
#include "tabout.h"
#include "tdownload.h"
#include "thelp.h"
#include "tphrases.h"
#include "ttallylist.h"

#include <QLabel>

using namespace vexlo;

namespace {

void bringUp(QWidget *w)
{
    w->show();
    w->raise();
    w->activateWindow();
}
} // namespace

void Tchat::attachAuxWindows(const AuxWindows &windows)
{
    aux = windows;
    if (aux.help && aux.about)
        aux.help->setAboutWindow(aux.about);
    if (aux.phrases) {
        aux.phrases->settingsFile = settingsSession->file().fileName();
        connect(aux.phrases, &Tphrases::setButtonPhrases, this, [this](const QStringList &texts) {
            for (int n = 1; n <= PhraseCount; ++n) {
                options.phrases[size_t(n - 1)] = texts.value(n - 1);
                chatView->setPhrase(n, options.phrases[size_t(n - 1)]);
            }
        });
    }
    if (aux.download) {
        // The installer or the lobby was started: the game ends as "Exit" ends it.
        connect(aux.download, &Tdownload::exitRequested, this, [this] { Exit1Click(); });
        // No lobby installed: "Play with Others" opens Join Network Game.
        connect(aux.download, &Tdownload::joinRequested, this, [this] { JoinNetworkGame1Click(); });
    }
    if (aux.tallylist) {
        connect(aux.tallylist, &Ttallylist::loadchecklist, this, &Tchat::loadchecklist);
        aux.tallylist->confirm = [this](QWidget *parent, const QString &question) {
            return hooks.confirm && hooks.confirm(parent, question);
        };
        connect(this, &Tchat::gameRecorded, aux.tallylist, &Ttallylist::addgame);
    }
}

// --- help and about ---

void Tchat::Help2Click()
{
    if (aux.help)
        bringUp(aux.help);
}

void Tchat::About1Click()
{
    if (aux.about)
        bringUp(aux.about);
}

void Tchat::image_logoClick()
{
    const QUrl url(Tabout::siteLink().address());
    if (url.isValid() && hooks.openUrl)
        hooks.openUrl(url);
}

// --- the downloader, shown on a solo start without waiting ---

void Tchat::showDownloader()
{
    if (aux.download)
        bringUp(aux.download);
}

// --- the phrase editor ---

void Tchat::PrhaseList1Click()
{
    if (!aux.phrases)
        return;
    QStringList texts;
    for (int n = 1; n <= PhraseCount; ++n)
        texts << options.phrases[size_t(n - 1)];
    aux.phrases->showPhrases(texts);
}

// --- the tally ---

void Tchat::ViewTally1Click()
{
    if (!aux.tallylist)
        return;
    loadchecklist();
    bringUp(aux.tallylist);
}

void Tchat::loadchecklist()
{
    if (!aux.tallylist)
        return;
    QStringList names;
    for (int slot = 1; slot <= seatcount; ++slot) {
        if (slot == myslot)
            continue;
        const QString name = seats.name(slot);
        if (seats.taken(slot))
            names << name;
    }
    aux.tallylist->fillChecklist(names);
}
