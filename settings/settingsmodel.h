#pragma once
// The game's settings as the settings file holds them, with no widget in sight:
// GameSettings (every key with its default, read in the file's reading order and
// written in its writing order), the nine phrase keys, and SettingsSession, which
// knows whether the file has been read in this run and the window bounds it
// remembers, so the window's close and save handlers stay a few lines each.
//
// Colours stay colour text here ("clBlack", "$000080FF"): the window turns the
// text into its colour when it applies the settings (black when unreadable) and
// puts the colour text of its colour back before a save.
#include "inifile.h"

#include <QSize>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace vexlo {

// "quorbitlobby.ini", its one section "Vexlo", and the file's place in a folder.
QString settingsFileName();
QString settingsSection();
QString settingsFilePath(const QString &dataFolder);

// The main window's outer bounds. The defaults are the place "Reset Screen
// Location" restores.
struct WindowBounds
{
    int left = 3;
    int top = 3;
    int width = 775;
    int height = 577;
    friend bool operator==(const WindowBounds &, const WindowBounds &) = default;
};

inline constexpr int PhraseCount = 9;
// "Phrase1" ... "Phrase9".
QString phraseKey(int n);

struct GameSettings
{
    int textSize = 8;                                  // "Textsize"
    WindowBounds bounds;                               // "Top", "Left", "Width", "Height"
    QString textColor = QStringLiteral("clblack");     // "Textcolor", colour text
    QString actionColor = QStringLiteral("clblack");   // "Actioncolor", colour text
    int playToScore = 5;                               // "Playtoscore", rounds-per-game arrows
    int timePerTurn = 60;                              // "Timeperturn", creation-time arrows
    int botSpeed = 1000;                               // "Botspeed": 2000 Slow, 1000 Normal, 500 Fast
    int turnSound = 0;                                 // "Turnsound": 0 Classic, 1 New
    std::array<QString, PhraseCount> phrases;         // "Phrase1".."Phrase9"; empty: the button keeps its phrase
    QString tiles;                                     // "Tiles": a tile-set name, empty for the built-in tiles
    bool playSounds = true;                            // "Playsounds"
    bool autoErase = true;                             // "Autoerase"
    bool chatterSounds = true;                         // "ChatterSounds"

    // Reads the file onto this object, key by key in the file's reading order.
    // A missing key, or an integer key that is not an integer, gives the default
    // above. These keep what the object held instead (fill it from the window
    // first, or keep the defaults):
    //  - "Playtoscore", "Timeperturn": an empty value or one that is not a number;
    //  - a phrase key that is missing or empty;
    //  - "Tiles": empty, or "classic" in any letter case.
    // "Botspeed" gives 2000 for exactly "2000", 500 for exactly "500", else 1000;
    // "Turnsound" 1 for exactly "1", else 0; the three switches are off only for
    // exactly "false". Colours are taken as they stand.
    void load(const IniFile &ini);

    // Writes the fifteen keys in the file's writing order, all in one replacement
    // of the file ("Textsize", "Top", "Left", "Width", "Height", "Tiles",
    // "Textcolor", "Actioncolor", "Playtoscore", "Timeperturn", "Botspeed",
    // "Turnsound", "Autoerase", "Playsounds", "ChatterSounds"); never a phrase key.
    // Throws EIniFileException when the file cannot be written; nothing is written then.
    void save(IniFile &ini) const;
};

// The phrase editor's store: writes "Phrase1".."Phrase9" (and no other key) from
// the nine texts as they stand, an empty text as an empty value. Fewer than nine
// texts count as empty ones; more are ignored. Throws EIniFileException.
void savePhrases(IniFile &ini, const QStringList &phrases);

// The number of computer players of the last solo game, "Solobots": 0 to
// MaxSoloBots. Missing or not a number reads as 0 (none); a number outside the
// range is brought into it. The key is written only when that number changes,
// never by GameSettings::save, so a player who never seats a computer player
// keeps the fifteen keys alone. Throws EIniFileException.
inline constexpr int MaxSoloBots = 5;
QString soloBotsKey();
int loadSoloBots(const IniFile &ini);
void saveSoloBots(IniFile &ini, int count);

// Closing the main window with bounds that differ from the remembered ones: a
// window wider than the work area is made 15 pixels narrower, one taller 15
// pixels lower, once each (it may still not fit).
WindowBounds fitToWorkArea(WindowBounds bounds, QSize workArea);

// The board panel is 764 x 529; the client area never gets smaller than it plus
// 4 in each direction. Returns the client size a resize to client ends at.
inline constexpr QSize BoardPanelSize{764, 529};
QSize minimumClientSize(QSize client, QSize boardPanel = BoardPanelSize);

// One run's dealings with the settings file.
//
// Nothing is saved before the file has been read in this run: before login the
// window shows its starting values, and writing those would wipe the player's
// stored choices (an option changed, or the window closed, before login). The
// phrase editor is the exception: it writes only what the player typed.
class SettingsSession
{
public:
    explicit SettingsSession(const QString &fileName);

    IniFile &file() { return m_file; }
    bool loaded() const { return m_loaded; }
    // The bounds of the last load or the last close that saved.
    WindowBounds remembered() const { return m_remembered; }

    // loadinifile: reads the file onto settings (GameSettings::load), remembers
    // its bounds and allows saves from now on. The window then applies settings.
    void load(GameSettings &settings);

    // saveinifile: writes the fifteen keys. Before load it writes nothing and
    // returns false. Throws EIniFileException when the file cannot be written.
    bool save(const GameSettings &settings);

    // FormClose, before the save: nullopt when nothing is to be saved on this
    // close (the window sits at the remembered bounds, or the file was never
    // read). Otherwise the bounds fitted to the work area, which become the
    // remembered ones even if the save that follows fails, so a second close
    // goes through. The window moves to them and saves.
    std::optional<WindowBounds> closing(const WindowBounds &current, QSize workArea);

private:
    IniFile m_file;
    bool m_loaded = false;
    WindowBounds m_remembered;
};

} // namespace vexlo
