#pragma once
// Playing the game's sounds, carried in the program as 16-bit PCM WAVs and
// addressed by name without regard to letter case. A new sound cuts off the one
// still playing. Without an audio device nothing plays and nothing is reported.
#include <QHash>
#include <QString>

#include <memory>

class QSoundEffect;

namespace vexlo {

class SoundPlayer
{
public:
    virtual ~SoundPlayer() = default;
    virtual void play(const QString &name) = 0;
};

// The resource path of a sound ("Entered" -> ":/sounds/entered.wav"); empty
// when the program carries no sound of that name.
QString soundResource(const QString &name);

// QSoundEffect on the embedded recordings; effects are made on first use.
class EffectPlayer : public SoundPlayer
{
public:
    EffectPlayer();
    ~EffectPlayer() override;
    void play(const QString &name) override;

private:
    int m_haveDevice = -1; // not yet known
    QHash<QString, QSoundEffect *> m_effects;
    QSoundEffect *m_playing = nullptr;
};

} // namespace vexlo
