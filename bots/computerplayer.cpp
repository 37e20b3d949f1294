#include "computerplayer.h"

#include "catalogue.h"
#include "lobby.h"
#include "message.h"

#include <cmath>

using namespace vexlo;

namespace {
const QByteArray kGoodGame = "Good game!";
const QByteArray kChatColour = "clBlack";
// A person needs a moment to read the winner before answering.
constexpr int kGoodGameMinMs = 1500;
constexpr int kGoodGameMaxMs = 3000;
} // namespace

ComputerPlayer::ComputerPlayer(const QByteArray &name, BotSpeed speed, quint64 seed,
                               const WordIndex &index, QObject *parent)
    : QObject(parent), m_name(name), m_brain(speed, index, seed)
{
    m_timer.setSingleShot(true);
    m_chatTimer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &ComputerPlayer::onTimer);
    connect(&m_chatTimer, &QTimer::timeout, this, [this] {
        send(msg::chat(m_slot, kGoodGame, kChatColour));
        Q_EMIT chatSent(kGoodGame);
    });
    connect(&m_sock, &QTcpSocket::connected, this, [this] {
        m_sock.setSocketOption(QAbstractSocket::LowDelayOption, 1);
        // On a server of many tables the player asks for a seat at its own.
        m_awaitingSeat = m_table > 0;
        if (m_awaitingSeat)
            send(msg::sit(m_table));
    });
    connect(&m_sock, &QTcpSocket::readyRead, this, &ComputerPlayer::onReadyRead);
    connect(&m_sock, &QTcpSocket::disconnected, this, &ComputerPlayer::gone);
    connect(&m_sock, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError) {
        // A connection that never came up ends here; one that was up reports
        // disconnected() as well, and gone() tells it once.
        if (m_sock.state() == QAbstractSocket::UnconnectedState)
            gone();
    });
}

void ComputerPlayer::gone()
{
    stopPlaying();
    m_chatTimer.stop();
    m_state = State::Offline;
    m_running = false;
    if (m_goneReported)
        return;
    m_goneReported = true;
    Q_EMIT disconnected();
}

ComputerPlayer::~ComputerPlayer()
{
    m_sock.disconnect(this);
    m_sock.abort();
}

void ComputerPlayer::connectTo(const QString &host, quint16 port)
{
    m_goneReported = false;
    m_sock.connectToHost(host, port);
}

void ComputerPlayer::leave()
{
    stopPlaying();
    m_chatTimer.stop();
    if (m_sock.state() == QAbstractSocket::ConnectedState) {
        m_sock.disconnectFromHost(); // disconnected() follows once it is closed
        return;
    }
    m_sock.abort();
    gone();
}

void ComputerPlayer::send(const QByteArray &text)
{
    if (m_sock.state() == QAbstractSocket::ConnectedState)
        m_sock.write(frame(text));
}

void ComputerPlayer::onReadyRead()
{
    for (const QByteArray &text : m_framer.feed(m_sock.readAll()))
        handleMessage(text);
}

void ComputerPlayer::handleMessage(const QByteArray &text)
{
    const Message m = parseMessage(text);
    try {
        const QByteArray &c = m.command;
        if (m_awaitingSeat) {
            // The slot it was placed in on arrival is not the one asked for.
            if (c == cmd::seated)
                m_awaitingSeat = false;
            else if (c == cmd::lobbyerror)
                leave();
            return;
        }
        if (c == cmd::sendlogininfo)
            sendlogininfo(m.args);
        else if (c == cmd::startgame)
            m_saidGoodGame = false;
        else if (c == cmd::startround)
            startround();
        else if (c == cmd::nextplayer)
            nextplayer(m.args);
        else if (c == cmd::newword)
            newword(m.args);
        else if (c == cmd::invalid)
            invalid(m.args);
        else if (c == cmd::allfilled)
            allfilled(m.args);
        else if (c == cmd::timeup || c == cmd::alldone || c == cmd::postscores)
            roundOver();
        else if (c == cmd::loadstats)
            loadstats(m.args);
        else if (c == cmd::justwatching)
            justwatching(m.args);
        else if (c == cmd::winner)
            winner();
        else if (c == cmd::full)
            leave();
    } catch (const EConvertError &) {
        // A damaged message is dropped, as a person's window drops it.
    }
}

// --- the server's messages ---

void ComputerPlayer::sendlogininfo(const QByteArray &args)
{
    m_slot = number(args);
    m_state = State::Idle;
    if (m_slot < 1 || m_slot > kSeats) {
        leave(); // no seat is free: a computer player never just watches
        return;
    }
    send(msg::logininfo(m_slot, kGameVersion, m_name));
    Q_EMIT loggedIn(m_slot);
}

void ComputerPlayer::startround()
{
    stopPlaying();
    m_running = true;
    m_roundEnded = false;
    m_brain.newRound();
    m_blanks.clear();
    m_passedHopeless.clear();
}

void ComputerPlayer::nextplayer(const QByteArray &args)
{
    FieldReader f(args);
    const int seat = f.numberField();
    const int index = f.numberField();
    const QByteArray pattern = f.field();
    if (mine(seat) && index >= 1)
        work(index, pattern);
}

void ComputerPlayer::newword(const QByteArray &args)
{
    FieldReader f(args);
    const int seat = f.numberField();
    const int done = f.numberField();
    const int next = f.numberField();
    const QByteArray pattern = f.field();
    if (!mine(seat))
        return;
    if (done != 0) {
        m_blanks.remove(done);
        m_passedHopeless.clear();
        m_brain.used(m_sentWord);
    }
    // The server hands out a word only while a round runs: this is how a late
    // arrival learns of its round. An answer that comes after time-up plays no
    // further part.
    if (!m_roundEnded)
        m_running = true;
    m_sentWord.clear();
    work(next, pattern);
}

void ComputerPlayer::invalid(const QByteArray &args)
{
    FieldReader f(args);
    const int seat = f.numberField();
    const int reason = f.numberField();
    if (!mine(seat) || m_sentWord.isEmpty())
        return;
    const QByteArray word = m_sentWord;
    m_sentWord.clear();
    m_brain.refuse(word);
    Q_EMIT refused(word, reason);
    if (mayPlay() && m_state == State::Waiting)
        think(true);
}

void ComputerPlayer::allfilled(const QByteArray &args)
{
    FieldReader f(args);
    if (!mine(f.numberField()))
        return;
    if (!m_sentWord.isEmpty())
        m_brain.used(m_sentWord);
    m_sentWord.clear();
    stopPlaying();
    m_running = false; // the list is complete
}

void ComputerPlayer::roundOver()
{
    stopPlaying();
    m_running = false;
    m_roundEnded = true;
}

void ComputerPlayer::loadstats(const QByteArray &args)
{
    FieldReader f(args);
    if (!mine(f.numberField()))
        return;
    for (int k = 0; k < 4; ++k)
        f.numberField(); // seconds, left, rounds, round
    if (f.numberField() != 1) {
        // No round runs: whatever came before is not to be played.
        roundOver();
    }
}

void ComputerPlayer::justwatching(const QByteArray &args)
{
    FieldReader f(args);
    if (!mine(f.numberField()))
        return;
    m_watching = f.rest() == "1";
    if (m_watching)
        stopPlaying();
    else if (m_running && m_index >= 1 && m_state == State::Idle)
        work(m_index, m_pattern);
}

void ComputerPlayer::winner()
{
    roundOver();
    if (m_saidGoodGame || m_slot < 1)
        return;
    m_saidGoodGame = true;
    const double ms = m_brain.random().uniform(kGoodGameMinMs, kGoodGameMaxMs) * m_secondMs / 1000.0;
    m_chatTimer.start(static_cast<int>(std::lround(ms)));
}

// --- playing ---

// Every word index the server hands out that stays blank is kept with its
// pattern: when the server hands back one that was already passed for want of a
// known word, and no blank word seen this round has a known word left, the
// player has gone once round its whole list and stops for this round instead of
// passing in circles.
bool ComputerPlayer::hopelessLap(int index) const
{
    if (!m_passedHopeless.contains(index))
        return false;
    for (auto it = m_blanks.cbegin(); it != m_blanks.cend(); ++it)
        if (m_brain.known(it.value()) > 0)
            return false;
    return true;
}

void ComputerPlayer::work(int index, const QByteArray &pattern)
{
    m_timer.stop();
    m_index = index;
    m_pattern = pattern;
    m_blanks.insert(index, pattern);
    m_state = State::Idle;
    if (!mayPlay())
        return;
    if (hopelessLap(index)) {
        m_running = false;
        return;
    }
    think(false);
}

void ComputerPlayer::think(bool retry)
{
    m_move = m_brain.plan(m_pattern, retry);
    m_state = State::Thinking;
    startTimer(m_move.thinkMs);
}

void ComputerPlayer::startTimer(int gameMs)
{
    m_timer.start(static_cast<int>(std::lround(double(gameMs) * m_secondMs / 1000.0)));
}

void ComputerPlayer::onTimer()
{
    if (!mayPlay()) {
        m_state = State::Idle;
        return;
    }
    if (m_state == State::Thinking && m_move.word.isEmpty()) {
        if (m_move.known == 0)
            m_passedHopeless.insert(m_index);
        m_state = State::Waiting;
        send(msg::pass(m_slot));
        Q_EMIT passed(m_index, m_pattern);
    } else if (m_state == State::Thinking) {
        m_state = State::Typing;
        startTimer(m_move.typeMs);
    } else if (m_state == State::Typing) {
        std::array<int, 5> letters{};
        for (int k = 0; k < 5; ++k)
            letters[static_cast<size_t>(k)] = m_move.word[k] - 'a' + 1;
        m_state = State::Waiting;
        m_sentWord = m_move.word;
        send(msg::myword(m_slot, letters));
        Q_EMIT wordSent(m_index, m_pattern, m_move.word);
    }
}

void ComputerPlayer::stopPlaying()
{
    m_timer.stop();
    if (m_state != State::Offline)
        m_state = State::Idle;
}
