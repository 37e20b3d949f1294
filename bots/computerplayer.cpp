#include "computerplayer.h"

#include "catalogue.h"
#include "servermessages.h"

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
    m_link.setLoginName(m_name);
    m_timer.setSingleShot(true);
    m_chatTimer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &ComputerPlayer::onTimer);
    connect(&m_chatTimer, &QTimer::timeout, this, [this] {
        send(msg::chat(slot(), kGoodGame, kChatColour));
        Q_EMIT chatSent(kGoodGame);
    });
    m_link.addReceiver([this](const DecodedMessage &d) { receive(d); });
    connect(&m_link, &GameLink::loggedInTo, this, &ComputerPlayer::onLoggedIn);
    // No seat for it (a watcher's slot, a full server, a place refused, no
    // connection): it goes.
    connect(&m_link, &GameLink::noSeat, this, &ComputerPlayer::leave);
    connect(&m_link, &GameLink::refusedFull, this, &ComputerPlayer::leave);
    connect(&m_link, &GameLink::placeRefused, this, &ComputerPlayer::leave);
    connect(&m_link, &GameLink::connectFailed, this, &ComputerPlayer::leave);
    connect(&m_link, &GameLink::closedByServer, this, &ComputerPlayer::gone);
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

ComputerPlayer::~ComputerPlayer() = default;

void ComputerPlayer::connectTo(const QString &host, quint16 port)
{
    m_goneReported = false;
    // On a server of many tables the player asks for a seat at its own.
    if (m_table > 0)
        m_link.askForPlace(GameLink::Place::Sit, m_table);
    try {
        m_link.open(host, QString::number(port));
    } catch (const ESockException &) {
        leave(); // a name nobody resolves: no connection, reported as gone
    }
}

void ComputerPlayer::leave()
{
    stopPlaying();
    m_chatTimer.stop();
    // What it sent last still goes out before the connection closes.
    if (m_link.isOpen())
        m_link.close();
    gone();
}

namespace {
template<class... F> struct Overloaded : F...
{
    using F::operator()...;
};
template<class... F> Overloaded(F...) -> Overloaded<F...>;
} // namespace

// A message whose fields this player reads is dropped when one of them is
// damaged, as a person's window drops it.
void ComputerPlayer::receive(const DecodedMessage &d)
{
    std::visit(Overloaded{
                   [&](const msg::StartGame &) { m_saidGoodGame = false; },
                   [&](const msg::StartRound &) { startround(); },
                   [&](const msg::NextPlayer &m) {
                       if (d.ok() && mine(m.seat) && m.index >= 1)
                           work(m.index, m.pattern);
                   },
                   [&](const msg::NewWord &m) {
                       if (d.ok())
                           newword(m);
                   },
                   [&](const msg::Invalid &m) {
                       if (d.ok())
                           invalid(m);
                   },
                   [&](const msg::AllFilled &m) {
                       if (d.converted(1))
                           allfilled(m.seat);
                   },
                   [&](const msg::TimeUp &) { roundOver(); },
                   [&](const msg::AllDone &) { roundOver(); },
                   [&](const msg::PostScores &) { roundOver(); },
                   [&](const msg::LoadStats &m) {
                       if (d.converted(6))
                           loadstats(m);
                   },
                   [&](const msg::JustWatching &m) {
                       if (d.ok())
                           justwatching(m);
                   },
                   [&](const msg::Winner &) { winner(); },
                   [](const auto &) {},
               },
               *d.message);
}

// --- the server's messages ---

void ComputerPlayer::onLoggedIn(int slot)
{
    m_state = State::Idle;
    Q_EMIT loggedIn(slot);
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

void ComputerPlayer::newword(const msg::NewWord &m)
{
    if (!mine(m.seat))
        return;
    if (m.done != 0) {
        m_blanks.remove(m.done);
        m_passedHopeless.clear();
        m_brain.used(m_sentWord);
    }
    // The server hands out a word only while a round runs: this is how a late
    // arrival learns of its round. An answer that comes after time-up plays no
    // further part.
    if (!m_roundEnded)
        m_running = true;
    m_sentWord.clear();
    work(m.next, m.pattern);
}

void ComputerPlayer::invalid(const msg::Invalid &m)
{
    if (!mine(m.seat) || m_sentWord.isEmpty())
        return;
    const QByteArray word = m_sentWord;
    m_sentWord.clear();
    m_brain.refuse(word);
    Q_EMIT refused(word, m.reason);
    if (mayPlay() && m_state == State::Waiting)
        think(true);
}

void ComputerPlayer::allfilled(int seat)
{
    if (!mine(seat))
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

void ComputerPlayer::loadstats(const msg::LoadStats &m)
{
    if (mine(m.slot) && m.phase != 1) {
        // No round runs: whatever came before is not to be played.
        roundOver();
    }
}

void ComputerPlayer::justwatching(const msg::JustWatching &m)
{
    if (!mine(m.seat))
        return;
    m_watching = m.watching();
    if (m_watching)
        stopPlaying();
    else if (m_running && m_index >= 1 && m_state == State::Idle)
        work(m_index, m_pattern);
}

void ComputerPlayer::winner()
{
    roundOver();
    if (m_saidGoodGame || slot() < 1)
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
        send(msg::pass(slot()));
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
        send(msg::myword(slot(), letters));
        Q_EMIT wordSent(m_index, m_pattern, m_move.word);
    }
}

void ComputerPlayer::stopPlaying()
{
    m_timer.stop();
    if (m_state != State::Offline)
        m_state = State::Idle;
}
