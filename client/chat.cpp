// Tchat: the chat view and entry, links in the chat, the phrase buttons, the
// chatter sounds and the program's sounds.
#include "tchat.h"

#include "catalogue.h"
#include "chattext.h"
#include "message.h"

#include <QAction>
#include <QAbstractTextDocumentLayout>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QToolButton>

using namespace vexlo;

namespace {
const QString kStartText = QStringLiteral("<Enter Chat Here>");
} // namespace

// --- the chat entry ---

bool Tchat::mychatKeyDown(int key, Qt::KeyboardModifiers mods)
{
    if (mychat->text() == kStartText)
        mychat->clear();
    if (key == Qt::Key_V && (mods & Qt::ControlModifier)) {
        Paste1Click();
        return true;
    }
    return false;
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
    const QString text = mychat->text();
    if (!text.isEmpty()) {
        if (text.front() != QLatin1Char('/'))
            send(msg::chat(myslot, toWireText(text), colorToText(chatcolour)));
        else if (text.startsWith(QLatin1String("/me")))
            send(msg::action(myslot, toWireText(text.mid(4)), colorToText(actioncolour)));
        // Any other "/" line is dropped.
    }
    mychat->clear();
}

// --- the chat view ---

void Tchat::chatrecieved(const QByteArray &args)
{
    const ChatLine c = splitRelay(args);
    addlinetochat(c.line, c.colour);
}

void Tchat::addlinetochat(const QString &line, TColor colour)
{
    QScrollBar *bar = mainchat->verticalScrollBar();
    const bool keepView = scrollChatOff;
    const int firstVisible = bar->value();
    mainchat->setUpdatesEnabled(false);

    QTextCursor end(mainchat->document());
    end.movePosition(QTextCursor::End);
    QTextCharFormat format;
    format.setForeground(toQColor(colour));
    format.setFontWeight(QFont::Bold);
    const qsizetype head = headLength(line);
    end.insertText(line.left(head), format);
    format.setFontWeight(QFont::Normal);
    end.insertText(line.mid(head), format);
    end.insertBlock();

    if (keepView) {
        bar->setValue(firstVisible);
    } else {
        mainchat->moveCursor(QTextCursor::End);
        mainchat->ensureCursorVisible();
        bar->setValue(bar->maximum());
    }
    mainchat->setUpdatesEnabled(true);
    mainchat->viewport()->update();
}

QString Tchat::linkAt(const QPoint &pos, int *start, int *length) const
{
    const QPoint docPoint = pos + QPoint(mainchat->horizontalScrollBar()->value(), mainchat->verticalScrollBar()->value());
    int hit = mainchat->document()->documentLayout()->hitTest(docPoint, Qt::ExactHit);
    if (hit < 0)
        return {};
    // The hit is a cursor position; the character under the point is the one
    // whose left edge lies left of it.
    QTextCursor c(mainchat->document());
    c.setPosition(hit);
    if (hit > 0 && mainchat->cursorRect(c).x() > pos.x())
        --hit;
    const QTextBlock block = mainchat->document()->findBlock(hit);
    if (!block.isValid())
        return {};
    const QString text = block.text();
    const LinkSpan span = findLink(text, hit - block.position());
    if (!span.valid())
        return {};
    if (start)
        *start = block.position() + int(span.start);
    if (length)
        *length = int(span.length);
    return text.mid(span.start, span.length);
}

void Tchat::mainchatMouseMove(const QPoint &pos)
{
    mainchat->viewport()->setCursor(linkAt(pos).isEmpty() ? Qt::ArrowCursor : Qt::PointingHandCursor);
}

bool Tchat::mainchatMouseDown(Qt::MouseButton button, const QPoint &pos)
{
    if (button != Qt::LeftButton)
        return false;
    int start = 0;
    int length = 0;
    const QString link = linkAt(pos, &start, &length);
    if (link.isEmpty())
        return false;
    QTextCursor c(mainchat->document());
    c.setPosition(start);
    c.setPosition(start + length, QTextCursor::KeepAnchor);
    mainchat->setTextCursor(c);
    const QUrl url = platform::linkUrl(link);
    if (url.isValid() && hooks.openUrl)
        hooks.openUrl(url);
    return true;
}

void Tchat::mainchatMouseUp()
{
    mychat->setFocus();
}

void Tchat::Copy1Click()
{
    QString text = mainchat->textCursor().selectedText();
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    QGuiApplication::clipboard()->setText(text);
}

void Tchat::Paste1Click()
{
    QString text = QGuiApplication::clipboard()->text();
    if (text.isEmpty())
        return;
    text.replace(QLatin1String("\r\n"), QLatin1String(" "));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    mychat->setText(text);
}

void Tchat::ClearMainChat1Click()
{
    mainchat->clear();
    mychat->setFocus();
}

void Tchat::ScrollChatOff1Click()
{
    scrollChatOff = !scrollChatOff;
    ScrollChatOff2->setChecked(scrollChatOff);
    ScrollChatOff1->setChecked(scrollChatOff);
}

// --- colours and text size ---

void Tchat::TextColor1Click()
{
    const auto chosen = hooks.chooseColor ? hooks.chooseColor(this, chatcolour) : std::nullopt;
    if (!chosen)
        return;
    chatcolour = *chosen;
    QPalette p = mychat->palette();
    p.setColor(QPalette::Text, toQColor(chatcolour));
    mychat->setPalette(p);
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
    QFont f = mainchat->font();
    f.setPointSize(size);
    mainchat->setFont(f);
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
    QToolButton *b = b_phrase[0];
    popup_sounds->popup(b->mapToGlobal(QPoint(b->width(), b->height())));
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
    if (!toNumber(seat, &slot) || !name.startsWith("wave"))
        return;
    const QAction *item = popup_sounds->findChild<QAction *>(QString::fromLatin1(name));
    if (!SeatsModel::isSeat(slot) || !item)
        return;
    sessionLine(seats.shownName(slot) + QStringLiteral(": <Chatter Sound> ") + item->toolTip());
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
