#pragma once
#include "testfiles.h"
// A main window with every window of the game attached (no game server), the
// desktop replaced by recorders, and the settings and tally files in the test's
// data folder.
#include "fixtures.h"
#include "inifile.h"
#include "settingsmodel.h"
#include "tabout.h"
#include "tallyfile.h"
#include "tdownload.h"
#include "thelp.h"
#include "tphrases.h"
#include "ttallylist.h"

#include <QFile>
#include <QLabel>

inline QString tallyPath()
{
    return vexlo::tally::tallyFilePath(vexlo::platform::dataFolder());
}

struct Player
{
    FakeHost host;
    Window w;
    Tabout about;
    Thelp help;
    Tphrases phrases;
    Tdownload download;
    Ttallylist tally;
    QStringList questions;
    bool answer = true;
    QRect workArea{0, 0, 1600, 1200};

    explicit Player(const QStringList &args = {}) : w(args), tally(tallyPath())
    {
        w.chat.attachAuxWindows({&about, &help, &phrases, &download, &tally});
        w.chat.desktopHooks().confirm = [this](QWidget *, const QString &q) {
            questions << q;
            return answer;
        };
        w.chat.desktopHooks().workArea = [this](const QWidget *) { return workArea; };
    }
    // This window's own arrival after a login to slot at a stand-in host: the
    // settings are read.
    void login(int slot = 2, const QByteArray &name = "Red")
    {
        if (!host.attach(w.chat, QString::fromLatin1(name)))
            qFatal("stand-in host not reached");
        w.feed("CMD_sendlogininfo+" + QByteArray::number(slot));
        host.next(); // the login
        w.feed("CMD_newplayerinfo+" + QByteArray::number(slot) + "+" + name);
    }
    Tchat &chat() { return w.chat; }
    QString ini(const char *key) const { return storedSetting(key); }
};
