#include "boardkeys.h"

#include "chatview.h"
#include "errorreport.h"
#include "roundcontroller.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenuBar>

BoardKeys::BoardKeys(QWidget *window, const ChatView &chat, RoundController &round)
    : QObject(window), m_window(window), m_chat(chat), m_round(round)
{
    qApp->installEventFilter(this);
}

// Shift, Ctrl and Alt are not looked at, so the shifted symbols of the main row
// count as their keys; keypad keys are keys of their own.
int BoardKeys::keyCode(const QKeyEvent *e)
{
    using K = RoundController::Key;
    const int k = e->key();
    const bool keypad = e->modifiers() & Qt::KeypadModifier;
    switch (k) {
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return K::KeyTab;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return K::KeyEnter;
    case Qt::Key_Backspace:
        return K::KeyBackspace;
    case Qt::Key_Space:
        return K::KeySpace;
    default:
        break;
    }
    if (keypad)
        return 0;
    if (k >= Qt::Key_0 && k <= Qt::Key_9)
        return k;
    if (k >= Qt::Key_A && k <= Qt::Key_Z)
        return k;
    switch (k) {
    case Qt::Key_Exclam:
        return K::KeyOne;
    case Qt::Key_ParenRight:
        return K::KeyZero;
    case Qt::Key_Equal:
    case Qt::Key_Plus:
        return K::KeyEquals;
    default:
        return 0;
    }
}

bool BoardKeys::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type t = event->type();
    if (t != QEvent::KeyPress && t != QEvent::ShortcutOverride)
        return false;
    auto *w = qobject_cast<QWidget *>(watched);
    if (!w || w->window() != m_window)
        return false;
    // Alt pressed alone hands the keys to the menu bar; they are menu keys then,
    // except in a round on the board: the board owns the letters whatever state
    // the menu bar was left in (no menu open).
    if (qobject_cast<QMenuBar *>(w)
        && (m_round.model().chatMode() || !m_round.boardOpen() || QApplication::activePopupWidget()))
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    // A key the focused control left alone travels on to its parents as the same
    // event; the board looks at it once, where it first arrived.
    if (event == m_seen.event && t == m_seen.type && key->timestamp() == m_seen.timestamp && m_seen.target
        && w->isAncestorOf(m_seen.target))
        return false;
    m_seen = {event, t, key->timestamp(), w};
    // The focused control's own menu shortcuts come first.
    const bool ctrl = key->modifiers() & Qt::ControlModifier;
    if (ctrl && m_chat.isEntry(w) && key->key() == Qt::Key_V)
        return false;
    if (ctrl && m_chat.isView(w) && (key->key() == Qt::Key_C || key->key() == Qt::Key_S))
        return false;
    const int code = keyCode(key);
    if (code == 0)
        return false;
    if (t == QEvent::ShortcutOverride) {
        if (m_round.takesKey(code)) {
            event->accept();
            return true;
        }
        return false;
    }
    bool handled = false;
    vexlo::guarded([&] { handled = m_round.key(code); });
    return handled;
}
