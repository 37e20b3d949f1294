#include "boardreader.h"

#include "narrator.h"
#include "roundmodel.h"

#include <QApplication>
#include <QKeyEvent>
#include <QShortcut>

namespace vexlo::access {

Narrator *giveVoice(QWidget *board, const RoundModel &round, const SeatsModel &seats, QWidget *chatEntry)
{
    auto *narrator = new Narrator(round, seats, board);
    auto *reader = new BoardReader(round, chatEntry, board);
    const QRect place = board->findChild<QWidget *>(QStringLiteral("row_pattern"))->geometry();
    reader->setGeometry(place);
    for (QWidget *voice : reader->findChildren<QWidget *>())
        voice->setGeometry(reader->rect());
    reader->summary = [narrator] { return narrator->whereAmI(); };
    QObject::connect(narrator, &Narrator::news, reader, [reader](const QString &text) { reader->say(text); });
    const std::pair<Qt::Key, QString (Narrator::*)() const> keys[] = {
        {Qt::Key_F2, &Narrator::whereAmI}, {Qt::Key_F3, &Narrator::timeLeft}, {Qt::Key_F4, &Narrator::scores}};
    for (const auto &[key, what] : keys) {
        auto *shortcut = new QShortcut(QKeySequence(key), board->window());
        QObject::connect(shortcut, &QShortcut::activated, reader,
                         [reader, narrator, what = what] { reader->say((narrator->*what)(), true); });
    }
    return narrator;
}

} // namespace vexlo::access

BoardReader::BoardReader(const RoundModel &round, QWidget *chatEntry, QWidget *parent)
    : QWidget(parent), m_round(round), m_chatEntry(chatEntry)
{
    setObjectName(QStringLiteral("board_reader"));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    for (int i = 0; i < 2; ++i) {
        auto *v = new QWidget(this);
        v->setObjectName(QStringLiteral("board_voice%1").arg(i + 1));
        v->setAccessibleName(QStringLiteral("Board"));
        // Tab reaches the board once: the second voice only takes the news.
        v->setFocusPolicy(i == 0 ? Qt::StrongFocus : Qt::ClickFocus);
        v->installEventFilter(this);
        m_voices[i] = v;
    }
    setFocusProxy(m_voices[0]);
    connect(&round, &RoundModel::chatModeChanged, this, &BoardReader::follow);
    m_pace.setSingleShot(true);
    m_pace.setInterval(kPaceMs);
    connect(&m_pace, &QTimer::timeout, this, &BoardReader::deliver);
    window()->installEventFilter(this);
}

QWidget *BoardReader::voice() const
{
    return m_voices[m_current];
}

bool BoardReader::focused() const
{
    const QWidget *f = window()->focusWidget();
    return f == m_voices[0] || f == m_voices[1];
}

void BoardReader::follow(bool chat)
{
    // After what the round's message says, so the focus comes with the news.
    QTimer::singleShot(0, this, [this, chat] {
        if (chat != m_round.chatMode())
            return;
        if (!chat && !focused()) {
            if (!m_fresh && summary)
                voice()->setAccessibleName(summary()); // coming back with no news
            voice()->setFocus(Qt::OtherFocusReason);
        }
        else if (chat && m_round.inputOwner() != 0 && focused() && m_chatEntry)
            m_chatEntry->setFocus(Qt::OtherFocusReason); // the player chose to chat
    });
}

void BoardReader::say(const QString &text, bool take)
{
    m_fresh = true;
    QTimer::singleShot(0, this, [this] { m_fresh = false; });
    // While the player chats the news takes the focus too (a change of the
    // entry's description would not be told); the typing goes on into the chat.
    const bool chatting = m_chatEntry && window()->focusWidget() == m_chatEntry;
    if (focused() || take || chatting) {
        m_backlog << text;
        if (!m_pace.isActive())
            deliver();
    } else {
        voice()->setAccessibleName(text); // said when the focus comes in this turn
    }
}

void BoardReader::deliver()
{
    if (m_backlog.isEmpty())
        return;
    // The other voice takes the news and the focus.
    m_current = focused() ? 1 - m_current : m_current;
    m_fresh = true; // the voice takes the focus with this news, not the summary
    QTimer::singleShot(0, this, [this] { m_fresh = false; });
    voice()->setAccessibleName(m_backlog.join(u' '));
    m_backlog.clear();
    voice()->setFocus(Qt::OtherFocusReason);
    m_pace.start();
}

bool BoardReader::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == window()) {
        // The window is back (a dialog closed): the screen reader has just
        // said its title and hears the board once the window is its own again.
        if (event->type() == QEvent::WindowActivate)
            QTimer::singleShot(0, this, [this] {
                if (focused() && !m_pace.isActive())
                    say(voice()->accessibleName());
            });
        return false;
    }
    auto *v = qobject_cast<QWidget *>(watched);
    if (event->type() == QEvent::FocusIn) {
        m_current = v == m_voices[1] ? 1 : 0;
        // Coming back with no news: where the round stands.
        if (!m_fresh && summary)
            v->setAccessibleName(summary());
    } else if (event->type() == QEvent::KeyPress) {
        // The board's own keys were taken before they came here; in chat mode
        // the keys belong to the chat.
        auto *key = static_cast<QKeyEvent *>(event);
        if (m_round.chatMode() && m_chatEntry && key->key() != Qt::Key_Tab && key->key() != Qt::Key_Backtab) {
            m_chatEntry->setFocus(Qt::OtherFocusReason);
            QApplication::sendEvent(m_chatEntry, key);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
