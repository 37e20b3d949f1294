#pragma once
// What the Host and Join dialogs remember in the settings file, in the game's
// section under keys of their own: the player's name ("Playername") and the
// last ten host addresses joined ("Recenthost1" .. "Recenthost10", the most
// recent first). They are written only when a dialog is confirmed, so a player
// who never uses the dialogs finds the file as the game always wrote it.
#include "inifile.h"

#include <QString>
#include <QStringList>

namespace vexlo {

struct NetworkChoices
{
    static constexpr int MaxRecentHosts = 10;

    QString playerName;      // empty when none was kept
    QStringList recentHosts; // the most recent first, at most ten, no two alike

    // Reads the keys; empty or repeated addresses are skipped.
    void load(const IniFile &ini);
    // Puts an address (as typed, blanks trimmed) first; an earlier copy,
    // compared without regard to letter case, goes, and so does an eleventh.
    void remember(const QString &address);
    // Writes "Playername", and with hosts also the ten address keys (an unused
    // one as an empty value), in one replacement of the file. Throws
    // EIniFileException when the file cannot be written.
    void save(IniFile &ini, bool hosts) const;
};

QString recentHostKey(int n);

// Options -> "Announce Hosted Games on This Network": "Announcegames", on
// unless exactly "false". Written only when the player changes it, so a player
// who never does keeps the file as it was. Throws EIniFileException.
QString announceKey();
bool loadAnnounce(const IniFile &ini);
void saveAnnounce(IniFile &ini, bool on);

} // namespace vexlo
