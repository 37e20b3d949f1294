// The chat part of the main window: the entry's keys, lines and their colours,
// scrolling, links, phrase buttons, chatter sounds, colour and size options.
#include "fixtures.h"

#include <QMouseEvent>

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextEdit>
#include <QToolButton>

using namespace vexlo;

namespace {

// Formats of the chat view's last line: (text, bold, colour) per fragment.
struct Fragment
{
    QString text;
    bool bold;
    QColor colour;
};
QList<Fragment> lastLineFragments(const QTextEdit *view)
{
    QTextBlock b = view->document()->lastBlock();
    while (b.isValid() && b.text().isEmpty())
        b = b.previous();
    QList<Fragment> out;
    for (auto it = b.begin(); !it.atEnd(); ++it) {
        const QTextFragment f = it.fragment();
        out.append({f.text(), f.charFormat().fontWeight() >= QFont::Bold, f.charFormat().foreground().color()});
    }
    return out;
}

} // namespace

class ChatWindowTests : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { env = std::make_unique<TestEnvironment>(); }
    void init() { env->errors.clear(); }

    void chatEntryKeys();
    void chatLinesAndColours();
    void scrollChatOff();
    void linksInTheView();
    void phraseButtonsAndTheirGate();
    void chatterSounds();
    void colourAndSizeOptions();

private:
    std::unique_ptr<TestEnvironment> env;
};

void ChatWindowTests::chatEntryKeys()
{
    Window before;
    FakeHost idle;
    QVERIFY(idle.attach(before.chat));
    QTest::keyClicks(chatEntry(before.chat), QStringLiteral("early"));
    QTest::keyClick(chatEntry(before.chat), Qt::Key_Return);
    QCOMPARE(chatEntry(before.chat)->text(), QStringLiteral("early")); // not logged in: kept
    QVERIFY(idle.quiet(before.chat));

    Seated s(4);
    QLineEdit *entry = chatEntry(s.w.chat);
    QTest::keyClicks(entry, QStringLiteral("hi + there"));
    QCOMPARE(entry->text(), QStringLiteral("hi + there")); // the first key wiped the starting text
    QTest::keyClick(entry, Qt::Key_Return);
    QCOMPARE(s.host.next(), QByteArray("CMD_chat+4+hi + there|clBlack"));
    QVERIFY(entry->text().isEmpty());
    QTest::keyClicks(entry, QStringLiteral("/me waves"));
    QTest::keyClick(entry, Qt::Key_Enter);
    QCOMPARE(s.host.next(), QByteArray("CMD_action+4+waves|clBlack"));
    entry->setText(QStringLiteral("/quit"));
    Q_EMIT chatView(s.w.chat)->entered();
    QVERIFY(entry->text().isEmpty());
    QVERIFY(s.host.quiet(s.w.chat));
    // Paste replaces the whole entry.
    QGuiApplication::clipboard()->setText(QStringLiteral("pasted\nline"));
    entry->setText(QStringLiteral("old"));
    QTest::keyClick(entry, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(entry->text(), QStringLiteral("pasted line"));
}
void ChatWindowTests::chatLinesAndColours()
{
    Seated s(1);
    Window &w = s.w;
    w.feed("CMD_chat+Player1 chats: see you at 10:30|clRed");
    QList<Fragment> f = lastLineFragments(chatText(w.chat));
    QCOMPARE(f.size(), 2);
    QCOMPARE(f[0].text, QStringLiteral("Player1 chats:"));
    QVERIFY(f[0].bold);
    QCOMPARE(f[1].text, QStringLiteral(" see you at 10:30"));
    QVERIFY(!f[1].bold);
    QCOMPARE(f[0].colour, QColor(255, 0, 0));
    QCOMPARE(f[1].colour, QColor(255, 0, 0));

    w.feed("CMD_action+Player1 waves|$000080FF");
    f = lastLineFragments(chatText(w.chat));
    QCOMPARE(f.size(), 1);
    QVERIFY(!f[0].bold);
    QCOMPARE(f[0].colour, QColor(255, 128, 0));
    w.feed("CMD_action+Player1 says: Way To Go!|clnavy");
    f = lastLineFragments(chatText(w.chat));
    QCOMPARE(f[0].text, QStringLiteral("Player1 says:"));
    QCOMPARE(f[0].colour, QColor(0, 0, 128));
    w.feed("CMD_chat+Player1 chats: no colour");
    QCOMPARE(lastLineFragments(chatText(w.chat))[1].colour, QColor(255, 0, 0));
    w.feed("CMD_chat+Player1 chats: a|b|clBlue");
    QCOMPARE(w.lastLine(), QStringLiteral("Player1 chats: a"));
    QCOMPARE(lastLineFragments(chatText(w.chat))[0].colour, QColor(255, 0, 0));
    // The window's own lines are blue.
    w.chat.chat().addLine(QStringLiteral("You are Connected."), vexlo::clBlue);
    f = lastLineFragments(chatText(w.chat));
    QCOMPARE(f.size(), 1);
    QCOMPARE(f[0].colour, QColor(0, 0, 255));
    QCOMPARE(w.lines().size(), 6);
    // Clear Main Chat empties the view and gives the entry the focus.
    action(w.chat, "ClearMainChat1")->trigger();
    QVERIFY(w.lines().isEmpty());
    // Copy puts the selection on the clipboard as plain text.
    w.feed("CMD_chat+A chats: copy me|clRed");
    chatText(w.chat)->selectAll();
    chatView(w.chat)->copySelection();
    QVERIFY(QGuiApplication::clipboard()->text().startsWith(QStringLiteral("A chats: copy me")));
}

void ChatWindowTests::scrollChatOff()
{
    Seated s(1);
    Window &w = s.w;
    w.chat.show();
    QScrollBar *bar = chatText(w.chat)->verticalScrollBar();
    for (int i = 0; i < 60; ++i)
        w.feed("CMD_chat+A chats: line " + QByteArray::number(i) + "|clBlack");
    QVERIFY(bar->maximum() > 0);
    QCOMPARE(bar->value(), bar->maximum()); // the view follows
    action(w.chat, "ScrollChatOff1")->trigger();
    QAction *popupItem = w.chat.findChild<QAction *>(QStringLiteral("ScrollChatOff2"));
    QVERIFY(action(w.chat, "ScrollChatOff1")->isChecked() && popupItem->isChecked());
    bar->setValue(10);
    for (int i = 0; i < 5; ++i)
        w.feed("CMD_chat+A chats: more|clBlack");
    QCOMPARE(bar->value(), 10);
    popupItem->trigger(); // the pop-up item flips both
    QVERIFY(!action(w.chat, "ScrollChatOff1")->isChecked() && !popupItem->isChecked());
    w.feed("CMD_chat+A chats: last|clBlack");
    QCOMPARE(bar->value(), bar->maximum());
}

void ChatWindowTests::linksInTheView()
{
    Seated s(1);
    Window &w = s.w;
    w.chat.show();
    w.feed("CMD_chat+Bob chats: see http://example.com/page. or file:///etc/passwd or WWW.Vexlo.ORG|clBlack");
    QTextEdit *view = chatText(w.chat);
    const QString line = w.lastLine();
    // A point in the middle of a character of the text.
    auto pointAt = [&](qsizetype index) {
        QTextCursor c(view->document());
        c.setPosition(int(index));
        const QRect left = view->cursorRect(c);
        c.setPosition(int(index) + 1);
        const QRect right = view->cursorRect(c);
        return QPoint((left.x() + right.x()) / 2, left.center().y());
    };
    // A mouse event on the view's viewport, as the view sees it.
    auto mouse = [&](QEvent::Type type, Qt::MouseButton button, const QPoint &at) {
        QMouseEvent e(type, at, view->viewport()->mapToGlobal(at), button, button, {});
        QApplication::sendEvent(view->viewport(), &e);
    };
    const QPoint onHttp = pointAt(line.indexOf(QLatin1String("example")));
    QCOMPARE(chatView(w.chat)->linkAt(onHttp), QStringLiteral("http://example.com/page"));
    mouse(QEvent::MouseMove, Qt::NoButton, onHttp);
    QCOMPARE(view->viewport()->cursor().shape(), Qt::PointingHandCursor);
    const QPoint onWord = pointAt(line.indexOf(QLatin1String("see")));
    QVERIFY(chatView(w.chat)->linkAt(onWord).isEmpty());
    mouse(QEvent::MouseMove, Qt::NoButton, onWord);
    QCOMPARE(view->viewport()->cursor().shape(), Qt::ArrowCursor);
    // Left press opens and selects the link; other buttons do not.
    mouse(QEvent::MouseButtonPress, Qt::RightButton, onHttp);
    QVERIFY(w.opened.isEmpty());
    mouse(QEvent::MouseButtonPress, Qt::LeftButton, onHttp);
    QCOMPARE(w.opened, QList<QUrl>{QUrl(QStringLiteral("http://example.com/page"))});
    QCOMPARE(view->textCursor().selectedText(), QStringLiteral("http://example.com/page"));
    // A local file is never a link, nor opened.
    const QPoint onFile = pointAt(line.indexOf(QLatin1String("passwd")));
    QVERIFY(chatView(w.chat)->linkAt(onFile).isEmpty());
    mouse(QEvent::MouseButtonPress, Qt::LeftButton, onFile);
    QCOMPARE(w.opened.size(), 1);
    // "www." keeps its capitals and opens as a web address, also by a real click.
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, pointAt(line.indexOf(QLatin1String("Vexlo"))));
    QCOMPARE(w.opened.last(), QUrl(QStringLiteral("http://WWW.Vexlo.ORG")));
    // Past the end of the text there is nothing.
    QVERIFY(chatView(w.chat)->linkAt(QPoint(5, view->viewport()->height() - 3)).isEmpty());
    QCOMPARE(w.opened.size(), 2);
}

void ChatWindowTests::phraseButtonsAndTheirGate()
{
    Seated s(4);
    Tchat &c = s.w.chat;
    phraseButton(c, 1)->click();
    QCOMPARE(s.host.next(), QByteArray("CMD_action+4+says: Way To Go!|clBlack"));
    QVERIFY(!c.chat().phraseReady());
    phraseButton(c, 2)->click(); // within the gate: nothing
    QVERIFY(s.host.quiet(c));

    // Without a connection: the socket's error, and the gate stays open.
    Window alone;
    phraseButton(alone.chat, 1)->click();
    QCOMPARE(env->errors, QStringList{QStringLiteral("Send - Socket Not Connected")});
    QVERIFY(alone.chat.chat().phraseReady());
}
void ChatWindowTests::chatterSounds()
{
    Seated s(4);
    Window &w = s.w;
    w.feed("CMD_newplayerinfo+2+Blue");
    w.sounds.clear();
    action(w.chat, "ClearMainChat1")->trigger();
    // Chatter sounds off: a line in blue with the name in bold.
    w.feed("CMD_playasound+2+wave6+");
    QCOMPARE(w.lastLine(), QStringLiteral("Blue: <Chatter Sound> Snoring"));
    const QList<Fragment> f = lastLineFragments(chatText(w.chat));
    QCOMPARE(f[0].text, QStringLiteral("Blue:"));
    QVERIFY(f[0].bold);
    QCOMPARE(f[1].colour, QColor(0, 0, 255));
    QVERIFY(w.sounds.isEmpty());
    // The menu entries switch them.
    action(w.chat, "PlayChatterSounds1")->trigger();
    QVERIFY(action(w.chat, "PlayChatterSounds1")->isChecked());
    action(w.chat, "PlaySounds1")->trigger();
    QVERIFY(!action(w.chat, "PlaySounds1")->isChecked());
    w.feed("CMD_playasound+2+wave6+");
    QCOMPARE(w.sounds, QStringList{QStringLiteral("wave6")});
    QCOMPARE(w.lines().size(), 1);
}
void ChatWindowTests::colourAndSizeOptions()
{
    Seated s(2);
    Window &w = s.w;
    w.colourChoice = rgbColor(255, 128, 0);
    action(w.chat, "TextColor1")->trigger();
    QCOMPARE(w.chat.preferences().chatColour(), rgbColor(255, 128, 0));
    QCOMPARE(chatEntry(w.chat)->palette().color(QPalette::Text), QColor(255, 128, 0));
    chatEntry(w.chat)->setText(QStringLiteral("hi"));
    Q_EMIT chatView(w.chat)->entered();
    QCOMPARE(s.host.next(), QByteArray("CMD_chat+2+hi|$000080FF"));
    w.colourChoice = std::nullopt; // cancelled: nothing changes
    action(w.chat, "TextColor1")->trigger();
    QCOMPARE(w.chat.preferences().chatColour(), rgbColor(255, 128, 0));
    w.colourChoice = clRed;
    action(w.chat, "ActionColor1")->trigger();
    chatEntry(w.chat)->setText(QStringLiteral("/me smiles"));
    Q_EMIT chatView(w.chat)->entered();
    QCOMPARE(s.host.next(), QByteArray("CMD_action+2+smiles|clRed"));
    w.chat.findChild<QAction *>(QStringLiteral("N12"))->trigger();
    QCOMPARE(chatText(w.chat)->font().pointSize(), 12);
    action(w.chat, "N8")->trigger();
    QCOMPARE(chatText(w.chat)->font().pointSize(), 8);
}

int runChatWindowTests(int argc, char **argv)
{
    ChatWindowTests t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_windowchat.moc"
