#pragma once
// What the window tests share: a private data folder, the error box, message
// boxes and links caught instead of shown, a sound player that only remembers,
// and a stand-in game host that records what a window sends.
#include "catalogue.h"
#include "errorreport.h"
#include "framing.h"
#include "inifile.h"
#include "settingsmodel.h"
#include "sounds.h"
#include "boardview.h"
#include "chatcontroller.h"
#include "chatview.h"
#include "networkdialogs.h"
#include "platform.h"
#include "preferences.h"
#include "roundcontroller.h"
#include "scorepanel.h"
#include "seatscontroller.h"
#include "session.h"
#include "tchat.h"
#include "tgamestart.h"
#include "tspylist.h"

#include <QTcpServer>
#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QMenu>
#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QToolButton>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

inline QStringList strings(std::initializer_list<const char *> items)
{
    QStringList l;
    for (const char *s : items)
        l << QString::fromUtf8(s);
    return l;
}

// The test's own data folder and error collection; construct once in initTestCase.
struct TestEnvironment
{
    QTemporaryDir home;
    QStringList errors;
    TestEnvironment()
    {
        qputenv("VEXLO_HOME", home.path().toLocal8Bit());
        qunsetenv("VEXLO_PORT");
        vexlo::setErrorReporter([this](const QString &text) { errors << text; });
    }
};

class RecordingPlayer : public vexlo::SoundPlayer
{
public:
    explicit RecordingPlayer(QStringList *log) : m_log(log) {}
    void play(const QString &name) override { m_log->append(name); }

private:
    QStringList *m_log;
};

// A round's report: seat 1 Red filled all ten (three exact), seat 2 free,
// seat 3 filled one (one exact); first finisher given.
inline QByteArray postScores(const QByteArray &first)
{
    QByteArray m = "CMD_postscores+" + first;
    for (int i = 1; i <= 10; ++i)
        m += i <= 3 ? "+1+0+word" + QByteArray::number(i) : "+1+1+other";
    m += "+1+4+25+1+2+90+1+3+140";
    for (int i = 1; i <= 10; ++i)
        m += "+2+1+p_tt_";
    m += "+2+4+25+2+3+7"; // a free seat: no words, but the marks and total
    m += "+3+0+chant";
    for (int i = 2; i <= 10; ++i)
        m += "+3+1+_bou_";
    m += "+3+2+10+3+3+10";
    for (int s = 4; s <= 6; ++s)
        m += "+" + QByteArray::number(s) + "+3+0";
    for (int i = 1; i <= 10; ++i)
        m += "+0+5+target" + QByteArray::number(i);
    return m;
}

// The settings file of the test's data folder, and one of its game keys
// ("<none>" when missing).
inline QString iniPath()
{
    return vexlo::settingsFilePath(vexlo::platform::dataFolder());
}
inline QString storedSetting(const char *key)
{
    return IniFile(iniPath()).readString(vexlo::settingsSection(), QLatin1String(key), QStringLiteral("<none>"));
}

// The chat area's widgets, found by name.
inline QLineEdit *chatEntry(const Tchat &c)
{
    return c.findChild<QLineEdit *>(QStringLiteral("mychat"));
}
inline QTextEdit *chatText(const Tchat &c)
{
    return c.findChild<QTextEdit *>(QStringLiteral("mainchat"));
}
// Phrase button n (1..9), or the sound button (10).
inline QToolButton *phraseButton(const Tchat &c, int n)
{
    return c.findChild<QToolButton *>(QStringLiteral("b_phrase") + QString::number(n));
}
// The board's widgets by name ("button_pass"; "label_timer").
inline QPushButton *boardButton(const Tchat &c, const char *name)
{
    return c.findChild<QPushButton *>(QLatin1String(name));
}
inline QLabel *boardLabel(const Tchat &c, const char *name)
{
    return c.findChild<QLabel *>(QLatin1String(name));
}

// A widget of the window named by prefix and slot ("label_playername" 3).
template <typename T>
T *slotWidget(const QWidget &w, const char *prefix, int slot)
{
    return w.findChild<T *>(QLatin1String(prefix) + QString::number(slot));
}
// A menu entry of the window by name ("JustWatch1").
inline QAction *action(const QWidget &w, const char *name)
{
    return w.findChild<QAction *>(QLatin1String(name));
}
inline WinnerPanel *winnerPanel(const QWidget &w)
{
    return w.findChild<WinnerPanel *>(QStringLiteral("panel_winner"));
}
inline ScorePanel *scorePanel(const QWidget &w)
{
    return w.findChild<ScorePanel *>(QStringLiteral("panel_scores"));
}
inline ChatView *chatView(const QWidget &w)
{
    return w.findChild<ChatView *>();
}

// Opens the seat pop-up on a seat's or a score label, as a right click does, and
// closes it again; its entries are set for that label.
inline void openSeatMenu(QLabel *label)
{
    Q_EMIT label->customContextMenuRequested(QPoint(1, 1));
    if (QWidget *popup = QApplication::activePopupWidget())
        popup->close();
}

// A main window with its two small windows, the desktop replaced by recorders.
struct Window
{
    Tchat chat;
    Tspylist spylist;
    Tgamestart gamestart;
    QStringList sounds;
    QStringList boxes;
    QList<QUrl> opened;
    std::optional<vexlo::TColor> colourChoice;
    bool closed = false;

    explicit Window(const QStringList &args = {}, TServer *server = nullptr) : chat(args)
    {
        chat.attachWindows(&spylist, &gamestart, server);
        chat.setSoundPlayer(std::make_unique<RecordingPlayer>(&sounds));
        chat.desktopHooks().message = [this](QWidget *, const QString &text) { boxes << text; };
        chat.desktopHooks().openUrl = [this](const QUrl &url) { opened << url; };
        chat.desktopHooks().chooseColor = [this](QWidget *, vexlo::TColor) { return colourChoice; };
        QObject::connect(&chat, &Tchat::closed, &chat, [this] { closed = true; });
    }

    // The chat view's lines (without the empty last one).
    QStringList lines() const
    {
        QStringList l = chatText(chat)->toPlainText().split(QLatin1Char('\n'));
        if (!l.isEmpty() && l.last().isEmpty())
            l.removeLast();
        return l;
    }
    QString lastLine() const { return lines().value(lines().size() - 1); }
    // Hands one message to the dispatcher as the queue timer would.
    void feed(const QByteArray &text)
    {
        chat.session().enqueue(text);
        chat.session().tick();
    }
    QLabel *label(const char *prefix, int slot) const { return slotWidget<QLabel>(chat, prefix, slot); }
};

// A stand-in game host: accepts one window and records what it sends.
class FakeHost : public QObject
{
public:
    FakeHost()
    {
        server.listen(QHostAddress::LocalHost, 0);
        connect(&server, &QTcpServer::newConnection, this, [this] {
            peer = server.nextPendingConnection();
            connect(peer, &QTcpSocket::readyRead, this, [this] {
                for (QByteArray &m : framer.feed(peer->readAll()))
                    got.append(std::move(m));
            });
        });
    }
    QString port() const { return QString::number(server.serverPort()); }
    // Joins the window to this host and waits for the connection.
    bool attach(Tchat &chat, const QString &name = QStringLiteral("Red"))
    {
        chat.session().connectTo(name, QStringLiteral("127.0.0.1"), port());
        return QTest::qWaitFor([&] { return peer && chat.session().connected(); }, 3000);
    }
    void push(const QByteArray &bytes)
    {
        peer->write(bytes);
        peer->flush();
    }
    // Waits for the next message the window sends; empty on time-out.
    QByteArray next(int ms = 2000)
    {
        if (!QTest::qWaitFor([&] { return !got.isEmpty(); }, ms))
            return {};
        return got.takeFirst();
    }
    // True when the window sent nothing since the last message taken: a marker
    // sent now must be the next thing to arrive.
    bool quiet(Tchat &chat)
    {
        chat.session().socket().Send(vexlo::frame("MARK+"));
        return next() == "MARK+";
    }

    QTcpServer server;
    QTcpSocket *peer = nullptr;
    vexlo::MessageFramer framer;
    QList<QByteArray> got;
};

// A window joined to a stand-in host and logged in to slot.
struct Seated
{
    FakeHost host;
    Window w;
    explicit Seated(int slot = 4, const QString &name = QStringLiteral("Red"))
    {
        if (!host.attach(w.chat, name))
            qFatal("stand-in host not reached");
        w.feed("CMD_sendlogininfo+" + QByteArray::number(slot));
        host.next(); // the login
    }
};
