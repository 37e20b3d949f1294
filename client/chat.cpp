// Tchat: the chat view and entry, links in the chat, the phrase buttons, the
// chatter sounds and the program's sounds.
#include "tchat.h"

#include "catalogue.h"
#include "chattext.h"
#include "message.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>

using namespace vexlo;

// --- the chat entry ---

void Tchat::mychatKeyDown(int key, Qt::KeyboardModifiers mods)
{
    chatView->dropStartText();
    if (key == Qt::Key_V && (mods & Qt::ControlModifier))
        Paste1Click();
}

void Tchat::mychatKeyPress(QChar typed)
{
    if (typed.unicode() == 13)
        sendit();
}

void Tchat::sendit()
{
    if (!loggedin)
        return;
    const QString text = chatView->entryText();
    if (!text.isEmpty()) {
        if (text.front() != QLatin1Char('/'))
            send(msg::chat(myslot, toWireText(text), colorToText(chatcolour)));
        else if (text.startsWith(QLatin1String("/me")))
            send(msg::action(myslot, toWireText(text.mid(4)), colorToText(actioncolour)));
        // Any other "/" line is dropped.
    }
    chatView->clearEntry();
}

// --- the chat view ---

void Tchat::chatrecieved(const QByteArray &args)
{
    const ChatLine c = splitRelay(args);
    addlinetochat(c.line, c.colour);
}

void Tchat::addlinetochat(const QString &line, TColor colour)
{
    chatView->addLine(line, toQColor(colour));
}

void Tchat::mainchatMouseMove(const QPoint &pos)
{
    chatView->showLinkCursor(!chatView->linkAt(pos).isEmpty());
}

bool Tchat::mainchatMouseDown(Qt::MouseButton button, const QPoint &pos)
{
    if (button != Qt::LeftButton)
        return false;
    int start = 0;
    int length = 0;
    const QString link = chatView->linkAt(pos, &start, &length);
    if (link.isEmpty())
        return false;
    chatView->select(start, length);
    const QUrl url = platform::linkUrl(link);
    if (url.isValid() && hooks.openUrl)
        hooks.openUrl(url);
    return true;
}

void Tchat::mainchatMouseUp()
{
    chatView->focusEntry();
}

void Tchat::Copy1Click()
{
    QGuiApplication::clipboard()->setText(chatView->selectedText());
}

void Tchat::Paste1Click()
{
    QString text = QGuiApplication::clipboard()->text();
    if (text.isEmpty())
        return;
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    chatView->setEntryText(text);
}

void Tchat::ClearMainChat1Click()
{
    chatView->clear();
    chatView->focusEntry();
}

void Tchat::ScrollChatOff1Click()
{
    scrollChatOff = !scrollChatOff;
    chatView->setScrollOff(scrollChatOff);
    ScrollChatOff1->setChecked(scrollChatOff);
}

// --- colours and text size ---

void Tchat::TextColor1Click()
{
    const auto chosen = hooks.chooseColor ? hooks.chooseColor(this, chatcolour) : std::nullopt;
    if (!chosen)
        return;
    chatcolour = *chosen;
    chatView->setEntryColour(toQColor(chatcolour));
    saveinifile();
}

void Tchat::ActionColor1Click()
{
    if (const auto chosen = hooks.chooseColor ? hooks.chooseColor(this, actioncolour) : std::nullopt)
        actioncolour = *chosen;
    saveinifile(); // also when cancelled
}

void Tchat::N14Click(int size)
{
    options.textSize = size;
    chatView->setTextSize(size);
    saveinifile();
}

// --- phrase buttons ---

void Tchat::b_phrase1Click(int button)
{
    if (button < 1 || button > 9)
        return;
    const QString phrase = options.phrases[static_cast<size_t>(button - 1)];
    if (!phrasegate)
        return;
    if (!phrase.startsWith(QLatin1String("/me ")))
        send(msg::action(myslot, "says: " + toWireText(phrase), colorToText(actioncolour)));
    else
        send(msg::action(myslot, toWireText(phrase.mid(4)), colorToText(actioncolour)));
    phrasegate = false;
    phrasegateTimer.start();
}

void Tchat::phrasegateTimerTimer()
{
    phrasegate = true;
}

// --- chatter sounds ---

void Tchat::b_phrase10Click()
{
    chatView->popUpSoundMenu();
}

void Tchat::wave12Click(int tag)
{
    if (tag < 1 || tag > 12)
        return;
    if (loggedin && myslot <= seatcount)
        send(msg::playasound(myslot, tag));
}

void Tchat::playasound(const QByteArray &args)
{
    FieldReader f(args);
    const QByteArray seat = f.field();
    const QByteArray name = f.field();
    if (options.chatterSounds) {
        if (m_sounds)
            m_sounds->play(QString::fromLatin1(name));
        return;
    }
    // A seat without a name label or an unknown sound writes nothing.
    int slot = 0;
    const QString title = ChatView::soundTitle(QString::fromLatin1(name));
    if (!toNumber(seat, &slot) || !SeatsModel::isSeat(slot) || title.isEmpty())
        return;
    sessionLine(seats.shownName(slot) + QStringLiteral(": <Chatter Sound> ") + title);
}

void Tchat::playsounds(const QString &name)
{
    if (options.playSounds && m_sounds)
        m_sounds->play(name);
}

void Tchat::PlaySounds1Click()
{
    options.playSounds = !options.playSounds;
    PlaySounds1->setChecked(options.playSounds);
    saveinifile();
}

void Tchat::PlayChatterSounds1Click()
{
    options.chatterSounds = !options.chatterSounds;
    PlayChatterSounds1->setChecked(options.chatterSounds);
    saveinifile();
}
