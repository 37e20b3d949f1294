#pragma once
// ChatController: the chat with no widget. It sends what the player types ("/me"
// lines as actions, other "/" lines not at all), the phrase buttons' lines (at
// most one every 2 seconds) and chatter sounds; it takes the chat, actions and
// chatter sounds of others; and it plays the game's own sounds as the options
// allow. The chat view shows the lines it reports.
#include "colortext.h"
#include "servermessages.h"
#include "sounds.h"

#include <QColor>
#include <QObject>
#include <QTimer>

#include <memory>

class Preferences;
class SeatsModel;
class Session;

class ChatController : public QObject
{
    Q_OBJECT
public:
    ChatController(Session &session, const Preferences &preferences, const SeatsModel &seats,
                   QObject *parent = nullptr);
    ~ChatController() override;

    void setSoundPlayer(std::unique_ptr<vexlo::SoundPlayer> player) { m_sounds = std::move(player); }

    // A game message; those of other parts are let go.
    void receive(const vexlo::DecodedMessage &d);

    // The chat entry's text: false when nothing could be sent (not logged in),
    // and the entry keeps it.
    bool send(const QString &text);
    // Phrase button n (1..9); the buttons wait 2 seconds after each line.
    void sendPhrase(int n);
    bool phraseReady() const { return m_phraseReady; }
    const QTimer &phraseGate() const { return m_phraseGate; }
    // The 2 seconds are over (the gate's timer calls this).
    void reopenPhrases() { m_phraseReady = true; }
    // A chatter sound (1..12) for everybody; only a seated player sends one.
    void sendSound(int n);

    void addLine(const QString &line, vexlo::TColor colour);
    // A line of the program's own, in the system colour.
    void sessionLine(const QString &line) { addLine(line, vexlo::clBlue); }
    // One of the game's sounds, when "Play Sounds" is on.
    void playSound(const QString &name);

Q_SIGNALS:
    void lineAdded(const QString &line, const QColor &colour);

private:
    void chatterSound(const vexlo::msg::PlayASound &m);

    Session &m_session;
    const Preferences &m_preferences;
    const SeatsModel &m_seats;
    std::unique_ptr<vexlo::SoundPlayer> m_sounds;
    bool m_phraseReady = true;
    QTimer m_phraseGate;
};
