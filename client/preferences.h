#pragma once
// Preferences: the player's choices and the settings file that keeps them, with
// no widget. The options (sounds, turn sound, bot speed, auto erase, text size,
// phrases, tile set), the chat and action colours, and the tile sets (the ones
// that come with the game, those in the data folder's "vexlotiles" folder, and
// the one in use). The file is read once, when this program's own arrival in a
// game is announced; nothing is written before that, so the starting values never
// overwrite the stored choices.
//
// Implemented in preferences.cpp (options and the file) and tilesets.cpp.
#include "colortext.h"
#include "settingsmodel.h"
#include "tiles.h"

#include <QObject>
#include <QStringList>

#include <functional>
#include <memory>

class Preferences : public QObject
{
    Q_OBJECT
public:
    explicit Preferences(QObject *parent = nullptr);
    ~Preferences() override;

    const vexlo::GameSettings &options() const { return m_options; }
    vexlo::TColor chatColour() const { return m_chatColour; }
    vexlo::TColor actionColour() const { return m_actionColour; }

    // What the window adds to a save: its place and the game options of its
    // game options window.
    void setWindowState(std::function<void(vexlo::GameSettings &)> fill) { m_windowState = std::move(fill); }
    // The choices with the window's state, as they would be saved.
    vexlo::GameSettings current() const;

    // --- the settings file ---
    vexlo::SettingsSession &file() { return *m_file; }
    bool loaded() const { return m_file->loaded(); }
    // Reads the file (the window applies what loaded() reports).
    void load();
    // Writes the choices; nothing before load. Throws when the file cannot be written.
    void save();
    void saveWithBounds(const vexlo::WindowBounds &bounds);

    // --- the options the menus change (each saved) ---
    void togglePlaySounds();
    void toggleChatterSounds();
    void toggleAutoErase();
    // 0 "Classic", 1 "New".
    void setTurnSound(int sound);
    // 2000 "Slow", 1000 "Normal", 500 "Fast".
    void setBotSpeed(int ms);
    void setTextSize(int size);
    void setChatColour(vexlo::TColor colour);
    void setActionColour(vexlo::TColor colour);
    // The nine phrases of the phrase buttons (not saved: the phrase editor writes them).
    void setPhrases(const QStringList &phrases);
    QStringList phrases() const;

    // --- tile sets ---
    const vexlo::TileSet &tiles() const { return m_tiles; }
    // The sets that come with the game join the tile folder (once; a file already
    // there is kept).
    static void shipTileSets();
    // The names of the sets in the tile folder, as the "Tiles" menu lists them.
    QStringList tileSetNames();
    // The set in use ("classic" when none was chosen).
    QString tileSetInUse() const;
    // A set chosen from the menu: it becomes the one in use once it has loaded
    // and is saved. An unreadable set throws and changes nothing.
    void chooseTileSet(const QString &name);
    // Loads a set by name, as the settings file names it; false when the tile
    // folder has no such set (or the name is a path). Throws when unreadable.
    bool loadTiles(const QString &name);

Q_SIGNALS:
    // The file was read: the window applies its place and game options.
    void fileLoaded(const vexlo::GameSettings &settings);
    // An option changed (the menus show it).
    void changed();
    void textSizeChanged(int size);
    void chatColourChanged(const QColor &colour);
    void phrasesChanged();
    // Another tile set is in use.
    void tilesChanged();
    void line(const QString &text);

private:
    std::unique_ptr<vexlo::SettingsSession> m_file;
    vexlo::GameSettings m_options;
    vexlo::TColor m_chatColour = vexlo::clBlack;
    vexlo::TColor m_actionColour = vexlo::clBlack;
    std::function<void(vexlo::GameSettings &)> m_windowState;
    vexlo::TileSet m_tiles;
    QStringList m_tileNames;
};
