// ChatController: sending and receiving chat, phrase buttons, chatter sounds and
// the game's own sounds.
#include "chatcontroller.h"

#include "catalogue.h"
#include "chattext.h"
#include "chatview.h"
#include "preferences.h"
#include "seatsmodel.h"
#include "session.h"

using namespace vexlo;

ChatController::ChatController(Session &session, const Preferences &preferences, const SeatsModel &seats,
                               QObject *parent)
    : QObject(parent), m_session(session), m_preferences(preferences), m_seats(seats),
      m_sounds(std::make_unique<EffectPlayer>())
{
    Q_INIT_RESOURCE(sounds);
    m_phraseGate.setSingleShot(true);
    m_phraseGate.setInterval(2000);
    connect(&m_phraseGate, &QTimer::timeout, this, &ChatController::reopenPhrases);
    connect(&session, &Session::line, this, &ChatController::sessionLine);
}

ChatController::~ChatController() = default;

void ChatController::receive(const DecodedMessage &d)
{
    const ServerMessage &m = *d.message;
    const QByteArray *relay = nullptr;
    if (const auto *c = std::get_if<msg::Chat>(&m))
        relay = &c->text;
    else if (const auto *a = std::get_if<msg::Action>(&m))
        relay = &a->text;
    if (relay) {
        const ChatLine c = splitRelay(*relay);
        addLine(c.line, c.colour);
    } else if (const auto *s = std::get_if<msg::PlayASound>(&m)) {
        chatterSound(*s);
    }
}

void ChatController::addLine(const QString &line, TColor colour)
{
    Q_EMIT lineAdded(line, toQColor(colour));
}

// --- sending ---

bool ChatController::send(const QString &text)
{
    if (!m_session.loggedIn())
        return false;
    const int slot = m_session.slot();
    if (!text.isEmpty()) {
        if (text.front() != QLatin1Char('/'))
            m_session.send(msg::chat(slot, toWireText(text), colorToText(m_preferences.chatColour())));
        else if (text.startsWith(QLatin1String("/me")))
            m_session.send(msg::action(slot, toWireText(text.mid(4)), colorToText(m_preferences.actionColour())));
        // Any other "/" line is dropped.
    }
    return true;
}

void ChatController::sendPhrase(int n)
{
    if (n < 1 || n > 9)
        return;
    const QString phrase = m_preferences.options().phrases[size_t(n - 1)];
    if (!m_phraseReady)
        return;
    const QByteArray colour = colorToText(m_preferences.actionColour());
    if (!phrase.startsWith(QLatin1String("/me ")))
        m_session.send(msg::action(m_session.slot(), "says: " + toWireText(phrase), colour));
    else
        m_session.send(msg::action(m_session.slot(), toWireText(phrase.mid(4)), colour));
    m_phraseReady = false;
    m_phraseGate.start();
}

void ChatController::sendSound(int n)
{
    if (n < 1 || n > 12)
        return;
    if (m_session.loggedIn() && m_session.slot() <= SeatsModel::SeatCount)
        m_session.send(msg::playasound(m_session.slot(), n));
}

// --- sounds ---

void ChatController::chatterSound(const msg::PlayASound &m)
{
    const QString name = QString::fromLatin1(m.sound);
    if (m_preferences.options().chatterSounds) {
        if (m_sounds)
            m_sounds->play(name);
        return;
    }
    // A seat without a name (or no number) or an unknown sound writes nothing.
    const QString title = ChatView::soundTitle(name);
    if (!SeatsModel::isSeat(m.seat) || title.isEmpty())
        return;
    sessionLine(m_seats.shownName(m.seat) + QStringLiteral(": <Chatter Sound> ") + title);
}

void ChatController::playSound(const QString &name)
{
    if (m_preferences.options().playSounds && m_sounds)
        m_sounds->play(name);
}
