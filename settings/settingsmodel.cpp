#include "settingsmodel.h"

#include <QDir>

#include <algorithm>

namespace vexlo {

namespace {

QString text(bool on)
{
    return on ? QStringLiteral("true") : QStringLiteral("false");
}

} // namespace

QString settingsFileName()
{
    return QStringLiteral("quorbitlobby.ini");
}

QString settingsSection()
{
    return QStringLiteral("Vexlo");
}

QString settingsFilePath(const QString &dataFolder)
{
    return QDir(dataFolder).filePath(settingsFileName());
}

QString phraseKey(int n)
{
    return QStringLiteral("Phrase%1").arg(n);
}

void GameSettings::load(const IniFile &ini)
{
    const GameSettings d;
    const QString s = settingsSection();
    auto number = [&](const char *key, int def) { return ini.readInteger(s, QLatin1String(key), def); };
    auto value = [&](const char *key, const QString &def) { return ini.readString(s, QLatin1String(key), def); };
    // The game-option arrows move only for a value that is a number.
    auto arrow = [&](const char *key, int def, int &position) {
        const QString v = value(key, QString::number(def));
        if (!v.isEmpty())
            if (auto n = IniFile::parseInteger(v))
                position = *n;
    };
    auto onUnlessFalse = [&](const char *key) { return value(key, QStringLiteral("true")) != QLatin1String("false"); };

    textSize = number("Textsize", d.textSize);
    bounds.top = number("Top", d.bounds.top);
    bounds.left = number("Left", d.bounds.left);
    bounds.width = number("Width", d.bounds.width);
    bounds.height = number("Height", d.bounds.height);
    textColor = value("Textcolor", d.textColor);
    actionColor = value("Actioncolor", d.actionColor);
    arrow("Playtoscore", d.playToScore, playToScore);
    arrow("Timeperturn", d.timePerTurn, timePerTurn);

    const QString speed = value("Botspeed", QString());
    botSpeed = speed == QLatin1String("2000") ? 2000 : speed == QLatin1String("500") ? 500 : 1000;
    turnSound = value("Turnsound", QStringLiteral("0")) == QLatin1String("1") ? 1 : 0;

    for (int n = 1; n <= PhraseCount; ++n) {
        const QString phrase = ini.readString(s, phraseKey(n), QString());
        if (!phrase.isEmpty())
            phrases[n - 1] = phrase;
    }

    const QString tileSet = value("Tiles", QString());
    if (!tileSet.isEmpty() && tileSet.toLower() != QLatin1String("classic"))
        tiles = tileSet;

    playSounds = onUnlessFalse("Playsounds");
    autoErase = onUnlessFalse("Autoerase");
    chatterSounds = onUnlessFalse("ChatterSounds");
}

void GameSettings::save(IniFile &ini) const
{
    auto n = [](int v) { return QString::number(v); };
    ini.writeStrings(settingsSection(), {
        {QStringLiteral("Textsize"), n(textSize)},
        {QStringLiteral("Top"), n(bounds.top)},
        {QStringLiteral("Left"), n(bounds.left)},
        {QStringLiteral("Width"), n(bounds.width)},
        {QStringLiteral("Height"), n(bounds.height)},
        {QStringLiteral("Tiles"), tiles},
        {QStringLiteral("Textcolor"), textColor},
        {QStringLiteral("Actioncolor"), actionColor},
        {QStringLiteral("Playtoscore"), n(playToScore)},
        {QStringLiteral("Timeperturn"), n(timePerTurn)},
        {QStringLiteral("Botspeed"), n(botSpeed)},
        {QStringLiteral("Turnsound"), n(turnSound)},
        {QStringLiteral("Autoerase"), text(autoErase)},
        {QStringLiteral("Playsounds"), text(playSounds)},
        {QStringLiteral("ChatterSounds"), text(chatterSounds)},
    });
}

void savePhrases(IniFile &ini, const QStringList &phrases)
{
    QList<std::pair<QString, QString>> values;
    for (int n = 1; n <= PhraseCount; ++n)
        values.append({phraseKey(n), phrases.value(n - 1)});
    ini.writeStrings(settingsSection(), values);
}

QString soloBotsKey()
{
    return QStringLiteral("Solobots");
}

int loadSoloBots(const IniFile &ini)
{
    return std::clamp(ini.readInteger(settingsSection(), soloBotsKey(), 0), 0, MaxSoloBots);
}

void saveSoloBots(IniFile &ini, int count)
{
    ini.writeInteger(settingsSection(), soloBotsKey(), std::clamp(count, 0, MaxSoloBots));
}

WindowBounds fitToWorkArea(WindowBounds bounds, QSize workArea)
{
    if (bounds.width > workArea.width())
        bounds.width -= 15;
    if (bounds.height > workArea.height())
        bounds.height -= 15;
    return bounds;
}

QSize minimumClientSize(QSize client, QSize boardPanel)
{
    return client.expandedTo(boardPanel + QSize(4, 4));
}

SettingsSession::SettingsSession(const QString &fileName) : m_file(fileName) {}

void SettingsSession::load(GameSettings &settings)
{
    settings.load(m_file);
    m_remembered = settings.bounds;
    m_loaded = true;
}

bool SettingsSession::save(const GameSettings &settings)
{
    if (!m_loaded)
        return false;
    settings.save(m_file);
    return true;
}

std::optional<WindowBounds> SettingsSession::closing(const WindowBounds &current, QSize workArea)
{
    if (!m_loaded || current == m_remembered)
        return std::nullopt;
    m_remembered = fitToWorkArea(current, workArea);
    return m_remembered;
}

} // namespace vexlo
