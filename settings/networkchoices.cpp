#include "networkchoices.h"

#include "settingsmodel.h"

namespace vexlo {

namespace {
const QString kNameKey = QStringLiteral("Playername");
} // namespace

QString recentHostKey(int n)
{
    return QStringLiteral("Recenthost%1").arg(n);
}

QString announceKey()
{
    return QStringLiteral("Announcegames");
}

bool loadAnnounce(const IniFile &ini)
{
    return ini.readString(settingsSection(), announceKey(), QString()) != QLatin1String("false");
}

void saveAnnounce(IniFile &ini, bool on)
{
    ini.writeStrings(settingsSection(), {{announceKey(), on ? QStringLiteral("true") : QStringLiteral("false")}});
}

void NetworkChoices::load(const IniFile &ini)
{
    const QString section = settingsSection();
    playerName = ini.readString(section, kNameKey, QString()).trimmed();
    recentHosts.clear();
    for (int n = 1; n <= MaxRecentHosts; ++n) {
        const QString address = ini.readString(section, recentHostKey(n), QString()).trimmed();
        if (!address.isEmpty() && !recentHosts.contains(address, Qt::CaseInsensitive))
            recentHosts.append(address);
    }
}

void NetworkChoices::remember(const QString &typed)
{
    const QString address = typed.trimmed();
    if (address.isEmpty())
        return;
    recentHosts.removeIf([&](const QString &a) { return a.compare(address, Qt::CaseInsensitive) == 0; });
    recentHosts.prepend(address);
    while (recentHosts.size() > MaxRecentHosts)
        recentHosts.removeLast();
}

void NetworkChoices::save(IniFile &ini, bool hosts) const
{
    QList<std::pair<QString, QString>> values{{kNameKey, playerName}};
    if (hosts)
        for (int n = 1; n <= MaxRecentHosts; ++n)
            values.append({recentHostKey(n), recentHosts.value(n - 1)});
    ini.writeStrings(settingsSection(), values);
}

} // namespace vexlo
