#pragma once
// BoardKeys: sees every key press of the program before the focused control
// does, and hands those of its window to the round controller: letters,
// Backspace, Enter, "0" / "=" (clear), "1" / space (pass) and Tab. Keys the
// board takes never reach the menus' shortcuts; the chat view's own Ctrl+V,
// Ctrl+C and Ctrl+S come first.
#include <QEvent>
#include <QObject>
#include <QPointer>

class ChatView;
class QKeyEvent;
class QWidget;
class RoundController;

class BoardKeys : public QObject
{
public:
    BoardKeys(QWidget *window, const ChatView &chat, RoundController &round);

    // The board's code of a key press (see RoundController::Key); 0 for keys the
    // board never looks at.
    static int keyCode(const QKeyEvent *key);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *m_window;
    const ChatView &m_chat;
    RoundController &m_round;
    // The key event the board last looked at.
    struct
    {
        const QEvent *event = nullptr;
        QEvent::Type type = QEvent::None;
        quint64 timestamp = 0;
        QPointer<QWidget> target;
    } m_seen;
};
