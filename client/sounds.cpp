#include "sounds.h"

#include <QAudioDevice>
#include <QFile>
#include <QFileInfo>
#include <QMediaDevices>
#include <QSoundEffect>
#include <QUrl>

#include <unistd.h>

namespace vexlo {

QString soundResource(const QString &name)
{
    const QString path = QStringLiteral(":/sounds/") + name.toLower() + QStringLiteral(".wav");
    return QFile::exists(path) ? path : QString();
}

namespace {

// Whether a sound server can be reached at all. Asking the multimedia layer on a
// machine without one makes it complain on standard error, so the usual places
// of the server's socket are looked at first.
bool soundServerReachable()
{
    if (!qEnvironmentVariableIsEmpty("PULSE_SERVER"))
        return true;
    QStringList sockets;
    if (const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR"); !runtime.isEmpty())
        sockets << runtime + QStringLiteral("/pulse/native");
    sockets << QStringLiteral("/run/user/%1/pulse/native").arg(::getuid()) << QStringLiteral("/run/pulse/native")
            << QStringLiteral("/var/run/pulse/native");
    for (const QString &s : sockets)
        if (QFileInfo(s).exists())
            return true;
    return false;
}

} // namespace

EffectPlayer::EffectPlayer() = default;

EffectPlayer::~EffectPlayer()
{
    qDeleteAll(m_effects);
}

void EffectPlayer::play(const QString &name)
{
    if (m_haveDevice < 0) // first use: look for an audio device once
        m_haveDevice = soundServerReachable() && !QMediaDevices::audioOutputs().isEmpty() ? 1 : 0;
    if (m_haveDevice == 0)
        return;
    const QString key = name.toLower();
    QSoundEffect *effect = m_effects.value(key);
    if (!effect) {
        const QString path = soundResource(key);
        if (path.isEmpty())
            return;
        effect = new QSoundEffect;
        effect->setSource(QUrl(QStringLiteral("qrc") + path));
        m_effects.insert(key, effect);
    }
    if (m_playing && m_playing != effect)
        m_playing->stop();
    effect->stop();
    effect->play();
    m_playing = effect;
}

} // namespace vexlo
