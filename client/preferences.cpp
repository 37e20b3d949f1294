// Preferences: the options and the settings file.
#include "preferences.h"

#include "platform.h"

using namespace vexlo;

namespace {

// Sizes outside this range would leave the chat unreadable; they read as the default.
constexpr int kMinTextSize = 1;
constexpr int kMaxTextSize = 72;

const char *const kPhrases[PhraseCount] = {"Way To Go!", "Good One!", "Nice Try!",        "Excellent!",         "Brilliant!",
                                           "Wow, WTG!",  "Thanks!",   "Way To Go Teamie!", "Good Game Everyone!"};

} // namespace

Preferences::Preferences(QObject *parent)
    : QObject(parent), m_file(std::make_unique<SettingsSession>(settingsFilePath(platform::dataFolder())))
{
    Q_INIT_RESOURCE(vexlotiles);
    m_tiles = TileSet::builtIn();
    for (int i = 0; i < PhraseCount; ++i)
        m_options.phrases[size_t(i)] = QLatin1String(kPhrases[i]);
    // Chatter sounds stay off until the settings file turns them on.
    m_options.chatterSounds = false;
}

Preferences::~Preferences() = default;

GameSettings Preferences::current() const
{
    GameSettings s = m_options;
    s.textColor = QString::fromLatin1(colorToText(m_chatColour));
    s.actionColor = QString::fromLatin1(colorToText(m_actionColour));
    if (m_windowState)
        m_windowState(s);
    return s;
}

void Preferences::load()
{
    GameSettings s = current();
    m_file->load(s);

    const QString shownTiles = m_options.tiles;
    m_options = s;
    const int size = s.textSize >= kMinTextSize && s.textSize <= kMaxTextSize ? s.textSize : GameSettings().textSize;
    m_options.textSize = size;
    m_chatColour = textToColor(s.textColor.toLatin1()).value_or(clBlack);
    m_actionColour = textToColor(s.actionColor.toLatin1()).value_or(clBlack);
    m_options.tiles = shownTiles;
    Q_EMIT fileLoaded(s);
    Q_EMIT textSizeChanged(size);
    Q_EMIT chatColourChanged(toQColor(m_chatColour));
    Q_EMIT phrasesChanged();

    if (!s.tiles.isEmpty() && s.tiles != shownTiles) {
        try {
            loadTiles(s.tiles);
            m_options.tiles = s.tiles; // kept even when no such tile set is found
        } catch (const ETileSetError &) {
            // An unreadable set leaves the built-in tiles; the rest of the file still applies.
            Q_EMIT line(QStringLiteral("The tile set %1 could not be read; the built-in tiles are used.").arg(s.tiles));
        }
    }
    Q_EMIT changed();
}

void Preferences::save()
{
    // Before the file is read in this run nothing is written: the starting values
    // would replace the player's stored choices.
    m_file->save(current());
}

void Preferences::saveWithBounds(const WindowBounds &bounds)
{
    GameSettings s = current();
    s.bounds = bounds;
    m_file->save(s);
}

// --- the options the menus change ---

void Preferences::togglePlaySounds()
{
    m_options.playSounds = !m_options.playSounds;
    Q_EMIT changed();
    save();
}

void Preferences::toggleChatterSounds()
{
    m_options.chatterSounds = !m_options.chatterSounds;
    Q_EMIT changed();
    save();
}

void Preferences::toggleAutoErase()
{
    m_options.autoErase = !m_options.autoErase;
    Q_EMIT changed();
    save();
}

void Preferences::setTurnSound(int sound)
{
    m_options.turnSound = sound == 1 ? 1 : 0;
    Q_EMIT changed();
    save();
}

void Preferences::setBotSpeed(int ms)
{
    m_options.botSpeed = ms;
    Q_EMIT changed();
    save();
}

void Preferences::setTextSize(int size)
{
    m_options.textSize = size;
    Q_EMIT textSizeChanged(size);
    save();
}

void Preferences::setChatColour(TColor colour)
{
    m_chatColour = colour;
    Q_EMIT chatColourChanged(toQColor(colour));
    save();
}

void Preferences::setActionColour(TColor colour)
{
    m_actionColour = colour;
    save();
}

void Preferences::setPhrases(const QStringList &phrases)
{
    for (int n = 0; n < PhraseCount; ++n)
        m_options.phrases[size_t(n)] = phrases.value(n);
    Q_EMIT phrasesChanged();
}

QStringList Preferences::phrases() const
{
    QStringList out;
    for (const QString &p : m_options.phrases)
        out << p;
    return out;
}
