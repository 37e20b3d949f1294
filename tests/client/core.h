#pragma once
// The client core as the window builds it (the session, the seats, the round
// and the chat controllers with their preferences), joined to a stand-in host,
// with no window: messages fed through the session's queue, checked through
// the models, the signals and what goes out.
#include "chatcontroller.h"
#include "fixtures.h"
#include "preferences.h"
#include "roundcontroller.h"
#include "seatscontroller.h"
#include "session.h"

struct Core
{
    FakeHost host;
    Preferences preferences;
    Session session;
    SeatsController seats{session, preferences};
    RoundController round{session, seats.model(), preferences.options()};
    ChatController chat{session, preferences, seats.model()};
    QStringList sounds;
    QStringList lines;

    explicit Core(int slot = 3, const QString &name = QStringLiteral("Red"))
    {
        session.addReceiver([this](const vexlo::DecodedMessage &m) { seats.receive(m); });
        session.addReceiver([this](const vexlo::DecodedMessage &m) { chat.receive(m); });
        session.addReceiver([this](const vexlo::DecodedMessage &m) { round.receive(m); });
        chat.setSoundPlayer(std::make_unique<RecordingPlayer>(&sounds));
        QObject::connect(&round, &RoundController::sound, &chat, &ChatController::playSound);
        QObject::connect(&seats, &SeatsController::sound, &chat, &ChatController::playSound);
        QObject::connect(&round, &RoundController::line, &chat, &ChatController::sessionLine);
        QObject::connect(&seats, &SeatsController::line, &chat, &ChatController::sessionLine);
        QObject::connect(&preferences, &Preferences::line, &chat, &ChatController::sessionLine);
        QObject::connect(&chat, &ChatController::lineAdded, &chat, [this](const QString &l) { lines << l; });
        session.connectTo(name, QStringLiteral("127.0.0.1"), host.port());
        if (!QTest::qWaitFor([&] { return host.peer && session.connected(); }, 3000))
            qFatal("stand-in host not reached");
        feed("CMD_sendlogininfo+" + QByteArray::number(slot));
        host.next(); // the login
    }
    void feed(const QByteArray &text)
    {
        session.enqueue(text);
        session.tick();
    }
    // What went out since the last look, or "" when nothing did.
    QByteArray sent()
    {
        session.socket().Send(vexlo::frame("MARK+"));
        const QByteArray first = host.next();
        if (first != "MARK+")
            host.next();
        return first == "MARK+" ? QByteArray() : first;
    }
    using Tiles = std::array<int, RoundModel::WordLength>;
};

