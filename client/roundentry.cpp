// RoundController: the player's keys on the board, submitting, clearing and
// passing a word, board mode and chat mode, and the countdown.
#include "roundcontroller.h"

#include "catalogue.h"
#include "seatsmodel.h"
#include "session.h"

using namespace vexlo;

bool RoundController::boardOpen() const
{
    // A board that nobody opened (0) takes no keys, also before the login.
    return m_model.boardOpenFor(m_session.slot());
}

bool RoundController::takesKey(int key) const
{
    const bool boardKey = key == KeySpace || key == KeyOne || key == KeyEnter || key == KeyBackspace
                          || key == KeyZero || key == KeyEquals || (key >= 'A' && key <= 'Z');
    return boardOpen() && (key == KeyTab || (!m_model.chatMode() && boardKey));
}

bool RoundController::key(int key)
{
    if (!boardOpen())
        return false;
    bool handled = false;
    if (key == KeyTab) {
        toggleTyping();
        handled = true;
    }
    if (m_model.chatMode())
        return handled;
    switch (key) {
    case KeyOne:
    case KeySpace:
        pass();
        return true;
    case KeyEnter:
        submit();
        return true;
    case KeyBackspace:
        if (m_model.eraseLetter())
            Q_EMIT sound(QStringLiteral("backspace"));
        return true;
    case KeyEquals:
    case KeyZero:
        clearWord();
        return true;
    default:
        break;
    }
    if (key >= 'A' && key <= 'Z') {
        if (m_model.typeLetter(key - 'A' + 1))
            Q_EMIT sound(QStringLiteral("clickletter"));
        return true;
    }
    return handled;
}

void RoundController::submit()
{
    m_model.setStatus(QStringLiteral("Checking Word..."));
    if (!boardOpen())
        return;
    if (!m_model.wordComplete()) {
        m_model.setStatus(QStringLiteral("Invalid Word"));
        Q_EMIT sound(QStringLiteral("invalid"));
        return;
    }
    m_model.setInputOwner(0);
    if (m_session.loggedIn())
        m_session.send(msg::myword(m_session.slot(), m_model.letters()));
}

void RoundController::clearWord()
{
    m_model.clearLetters();
    Q_EMIT sound(QStringLiteral("clear"));
}

void RoundController::pass()
{
    if (SeatsModel::isSeat(m_session.slot()) && m_session.loggedIn())
        m_session.send(msg::pass(m_session.slot()));
    Q_EMIT sound(QStringLiteral("pass"));
}

void RoundController::toggleTyping()
{
    m_model.setChatMode(!m_model.chatMode());
}

void RoundController::tick()
{
    m_model.tick();
    const int left = m_model.secondsLeft();
    if (left >= 1 && (left == 20 || left == 15 || left <= 10))
        Q_EMIT sound(QStringLiteral("tick"));
}
