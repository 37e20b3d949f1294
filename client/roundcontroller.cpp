// RoundController: the round messages. The game start, each round, the current
// word and its pattern, check marks and word counts, the end of a round, the
// scores, the winner, and the catch-up of a player who arrives while a game runs.
#include "roundcontroller.h"

#include "catalogue.h"
#include "errorreport.h"
#include "seatsmodel.h"
#include "session.h"
#include "settingsmodel.h"

#include <variant>

using namespace vexlo;

RoundController::RoundController(Session &session, SeatsModel &seats, const GameSettings &options, QObject *parent)
    : QObject(parent), m_session(session), m_seats(seats), m_options(options)
{
    m_countdown.setInterval(1000);
    connect(&m_countdown, &QTimer::timeout, this, [this] { guarded([this] { tick(); }); });
    connect(&session, &Session::ending, this, [this] { m_countdown.stop(); });
    connect(&session, &Session::cleared, this, [this] {
        m_model.reset();
        m_seats.resetScores();
    });
}

bool RoundController::seated() const
{
    return SeatsModel::isSeat(m_session.slot());
}

namespace {
template <class... F>
struct Overloaded : F...
{
    using F::operator()...;
};
template <class... F>
Overloaded(F...) -> Overloaded<F...>;
} // namespace

void RoundController::receive(const DecodedMessage &d)
{
    std::visit(Overloaded{
                   [&](const msg::StartGame &m) { startGame(m, d); },
                   [&](const msg::StartRound &m) { startRound(m); },
                   [&](const msg::NextPlayer &m) { nextPlayer(m, d); },
                   [&](const msg::NewWord &m) { newWord(m, d); },
                   [&](const msg::Invalid &m) { invalid(m, d); },
                   [&](const msg::AllFilled &m) { allFilled(m, d); },
                   [&](const msg::HisCount &m) {
                       d.raise();
                       m_seats.setWords(m.seat, QString::fromLatin1(m.count));
                   },
                   [&](const msg::TimeUp &) { timeUp(); },
                   [&](const msg::AllDone &) { allDone(); },
                   [&](const msg::PostScores &m) { postScores(m, d); },
                   [&](const msg::Winner &m) { winner(m); },
                   [&](const msg::LoadStats &m) { loadStats(m, d); },
                   [](const auto &) {}, // the other parts' messages
               },
               *d.message);
}

// --- helpers ---

void RoundController::setWord(int index, const QByteArray &pattern)
{
    m_model.setWord(index, pattern);
}

void RoundController::clearBoard()
{
    m_model.setPraise(false);
    m_model.setButtonsShown(false);
    m_model.clearChecks();
    m_model.emptyRows();
    m_seats.resetScores();
}

void RoundController::emptyAnswer()
{
    m_model.clearLetters();
}

void RoundController::turnSound()
{
    Q_EMIT sound(m_options.turnSound == 1 ? QStringLiteral("turnnew") : QStringLiteral("turn"));
}

void RoundController::restartCountdown(int seconds)
{
    m_countdown.stop();
    m_model.startCountdown(seconds);
    m_countdown.start();
}

// --- the messages ---

void RoundController::startGame(const msg::StartGame &m, const DecodedMessage &d)
{
    m_model.setPraise(false);
    m_countdown.stop();
    m_seats.setLocalWatching(false);
    Q_EMIT gameStarted();
    clearBoard();

    Q_EMIT line(QString::fromLatin1(m.name) + QStringLiteral(" has started a game."));
    d.raise();
    m_model.startGame(QString::fromLatin1(m.rounds), m.seconds);
}

void RoundController::startRound(const msg::StartRound &m)
{
    m_model.setPraise(false);
    m_model.setRound(QString::fromLatin1(m.round));
    m_model.setPhase(1);
    Q_EMIT roundStarted();
    for (int i = 1; i <= SeatsModel::SeatCount; ++i)
        m_seats.setWords(i, QString());
    m_model.clearChecks();
    restartCountdown(m_model.creationTime());
}

void RoundController::nextPlayer(const msg::NextPlayer &m, const DecodedMessage &d)
{
    m_model.setPraise(false);
    if (!d.converted(1))
        d.raise();
    m_model.setInputOwner(m.seat);
    emptyAnswer();
    d.raise();
    setWord(m.index, m.pattern);
    if (m_session.slot() > SeatsModel::SeatCount) {
        m_model.setStatus(QStringLiteral("The Players are Creating Words."));
        return;
    }
    m_model.setChatMode(false);
    m_model.setInputOwner(m_session.slot());
    m_model.setButtonsShown(true);
    m_model.setStatus(QStringLiteral("Type a Word - Press ENTER to submit your word."));
    turnSound();
}

void RoundController::newWord(const msg::NewWord &m, const DecodedMessage &d)
{
    m_model.setPraise(false);
    const int slot = m_session.slot();
    if (!d.converted(1))
        d.raise();
    if (m.seat != slot)
        return;
    m_model.setInputOwner(slot);
    if (!d.converted(2))
        d.raise();
    const int done = m.done;
    if (done != 0) {
        m_model.check(done);
        m_model.markWordDone(done);
        Q_EMIT sound(QStringLiteral("goodword"));
    }
    emptyAnswer();
    d.raise();
    setWord(m.next, m.pattern);
    if (slot <= SeatsModel::SeatCount) {
        m_model.setButtonsShown(true);
        m_model.setStatus(QStringLiteral("Create Another Word"));
    }
}

void RoundController::invalid(const msg::Invalid &m, const DecodedMessage &d)
{
    m_model.setPraise(false);
    d.raise();
    const int slot = m.seat;
    if (slot != m_session.slot())
        return;
    if (m.reason == 1)
        m_model.setStatus(QStringLiteral("Invalid Match"));
    else if (m.reason == 2)
        m_model.setStatus(QStringLiteral("Invalid Word"));
    m_model.setInputOwner(slot);
    if (m_options.autoErase)
        clearWord();
    Q_EMIT sound(QStringLiteral("invalid"));
}

void RoundController::allFilled(const msg::AllFilled &m, const DecodedMessage &d)
{
    if (!d.converted(1))
        d.raise();
    if (m.seat != m_session.slot())
        return;
    m_model.setInputOwner(0);
    m_model.setChatMode(true);
    m_model.setPraise(true);
    d.raise();
    const int done = m.done;
    if (done != 0) {
        m_model.check(done);
        m_model.markWordDone(done);
    }
    m_model.setButtonsShown(false);
    m_model.emptyRows();
    m_model.setStatus(QStringLiteral("You guessed all the words!"));
    m_model.clearWordLabel();
    Q_EMIT sound(QStringLiteral("allfilled"));
}

void RoundController::timeUp()
{
    m_model.setInputOwner(0);
    m_model.setPhase(2);
    m_model.setButtonsShown(true);
    m_model.setStatus(QStringLiteral("Time is Up."));
    Q_EMIT sound(QStringLiteral("timeup"));
}

void RoundController::allDone()
{
    if (m_session.slot() < 7)
        m_model.setPraise(true);
    m_model.setStatus(QStringLiteral("All players completed the list."));
    m_model.setInputOwner(0);
    m_countdown.stop();
}

void RoundController::postScores(const msg::PostScores &m, const DecodedMessage &d)
{
    m_model.setInputOwner(0);
    m_lastScores = ScoreReport::from(m, d);
    m_model.setChatMode(true);
    Q_EMIT scoresArrived(m_lastScores);
    for (int slot = 1; slot <= ScoreReport::SeatCount; ++slot)
        if (const auto &total = m_lastScores.seats[size_t(slot)].total)
            m_seats.setTotal(slot, *total);
    if (m_lastScores.error)
        std::rethrow_exception(m_lastScores.error); // what came before stays; the panel stays hidden
    Q_EMIT scoresShown();
    Q_EMIT sound(QStringLiteral("postscores"));
}

void RoundController::winner(const msg::Winner &m)
{
    m_model.setPraise(false);
    m_model.setChatMode(true);
    m_model.endGame();
    Q_EMIT sound(QStringLiteral("winner"));
    const QString name = QString::fromLatin1(m.name);
    const int slot = m_session.slot();
    const bool won = seated() && m_seats.shownName(slot) == name;
    const QString text = won ? QStringLiteral("You have Won the Game!") : name + QStringLiteral(" has Won the Game!");
    m_model.setStatus(QStringLiteral("Game Over!"));
    Q_EMIT line(text);
    Q_EMIT winnerTold(text);
    if (seated())
        Q_EMIT gameRecorded(won ? QStringLiteral("addtomine") : name);
}

void RoundController::loadStats(const msg::LoadStats &m, const DecodedMessage &d)
{
    const int slot = m_session.slot();
    if (!d.converted(1))
        d.raise();
    if (m.slot != slot)
        return;
    if (!d.converted(3))
        d.raise();
    const int left = m.left;
    m_model.startGame(QString::fromLatin1(m.rounds), m.seconds);
    m_model.setRound(QString::fromLatin1(m.round));
    d.raise();
    const int phase = m.phase;
    m_model.setPhase(phase);

    // A line whose seat is no number was left out; the others stand.
    for (const msg::SeatStats &seat : m.seats) {
        m_seats.setTotal(seat.seat, QString::fromLatin1(seat.total));
        m_seats.setWords(seat.seat, QString::fromLatin1(seat.count));
    }

    if (phase == 1) {
        if (slot > SeatsModel::SeatCount) {
            m_model.setStatus(QStringLiteral("The Players are Creating Words."));
            return;
        }
        restartCountdown(left);
        m_model.setChatMode(false);
        m_model.setInputOwner(slot);
        m_model.setButtonsShown(true);
        m_model.setStatus(QStringLiteral("Create A Word"));
        turnSound();
    } else if (phase == 2) {
        m_model.setStatus(QStringLiteral("Players are looking at their words."));
    }
}
