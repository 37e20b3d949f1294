// RoundController: the round messages. The game start, each round, the current
// word and its pattern, check marks and word counts, the end of a round, the
// scores, the winner, and the catch-up of a player who arrives while a game runs.
#include "roundcontroller.h"

#include "catalogue.h"
#include "errorreport.h"
#include "seatsmodel.h"
#include "session.h"
#include "settingsmodel.h"

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

void RoundController::receive(const Message &m)
{
    using Handler = void (RoundController::*)(const QByteArray &);
    static const struct
    {
        const char *word;
        Handler handler;
    } table[] = {
        {cmd::startgame, &RoundController::startGame},   {cmd::nextplayer, &RoundController::nextPlayer},
        {cmd::winner, &RoundController::winner},         {cmd::startround, &RoundController::startRound},
        {cmd::invalid, &RoundController::invalid},       {cmd::newword, &RoundController::newWord},
        {cmd::allfilled, &RoundController::allFilled},   {cmd::postscores, &RoundController::postScores},
        {cmd::loadstats, &RoundController::loadStats},
    };
    for (const auto &row : table)
        if (m.command == row.word) {
            (this->*row.handler)(m.args);
            return;
        }
    if (m.command == cmd::hiscount) {
        FieldReader f(m.args);
        const int slot = f.numberField();
        m_seats.setWords(slot, QString::fromLatin1(f.field()));
    } else if (m.command == cmd::timeup) {
        timeUp();
    } else if (m.command == cmd::alldone) {
        allDone();
    }
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

void RoundController::startGame(const QByteArray &args)
{
    m_model.setPraise(false);
    m_countdown.stop();
    m_seats.setLocalWatching(false);
    Q_EMIT gameStarted();
    clearBoard();

    FieldReader f(args);
    const QByteArray name = f.field();
    const QByteArray rounds = f.field();
    const QByteArray seconds = f.field();
    Q_EMIT line(QString::fromLatin1(name) + QStringLiteral(" has started a game."));
    m_model.startGame(QString::fromLatin1(rounds), number(seconds));
}

void RoundController::startRound(const QByteArray &args)
{
    m_model.setPraise(false);
    FieldReader f(args);
    m_model.setRound(QString::fromLatin1(f.field()));
    m_model.setPhase(1);
    Q_EMIT roundStarted();
    for (int i = 1; i <= SeatsModel::SeatCount; ++i)
        m_seats.setWords(i, QString());
    m_model.clearChecks();
    restartCountdown(m_model.creationTime());
}

void RoundController::nextPlayer(const QByteArray &args)
{
    m_model.setPraise(false);
    FieldReader f(args);
    m_model.setInputOwner(f.numberField());
    emptyAnswer();
    const int index = f.numberField();
    setWord(index, f.field());
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

void RoundController::newWord(const QByteArray &args)
{
    m_model.setPraise(false);
    FieldReader f(args);
    const int slot = m_session.slot();
    if (f.numberField() != slot)
        return;
    m_model.setInputOwner(slot);
    const int done = f.numberField();
    if (done != 0) {
        m_model.check(done);
        Q_EMIT sound(QStringLiteral("goodword"));
    }
    emptyAnswer();
    const int next = f.numberField();
    setWord(next, f.field());
    if (slot <= SeatsModel::SeatCount) {
        m_model.setButtonsShown(true);
        m_model.setStatus(QStringLiteral("Create Another Word"));
    }
}

void RoundController::invalid(const QByteArray &args)
{
    m_model.setPraise(false);
    FieldReader f(args);
    const int slot = f.numberField();
    if (slot != m_session.slot())
        return;
    const QByteArray reason = f.field();
    if (reason == "1")
        m_model.setStatus(QStringLiteral("Invalid Match"));
    else if (reason == "2")
        m_model.setStatus(QStringLiteral("Invalid Word"));
    m_model.setInputOwner(slot);
    if (m_options.autoErase)
        clearWord();
    Q_EMIT sound(QStringLiteral("invalid"));
}

void RoundController::allFilled(const QByteArray &args)
{
    FieldReader f(args);
    if (f.numberField() != m_session.slot())
        return;
    m_model.setInputOwner(0);
    m_model.setChatMode(true);
    m_model.setPraise(true);
    const QByteArray doneField = f.field();
    const int done = doneField.isEmpty() ? 0 : number(doneField);
    if (done != 0)
        m_model.check(done);
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

void RoundController::postScores(const QByteArray &args)
{
    m_model.setInputOwner(0);
    m_lastScores = ScoreReport::parse(args);
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

void RoundController::winner(const QByteArray &args)
{
    m_model.setPraise(false);
    m_model.setChatMode(true);
    m_model.endGame();
    Q_EMIT sound(QStringLiteral("winner"));
    FieldReader f(args);
    const QString name = QString::fromLatin1(f.field());
    const int slot = m_session.slot();
    const bool won = seated() && m_seats.shownName(slot) == name;
    const QString text = won ? QStringLiteral("You have Won the Game!") : name + QStringLiteral(" has Won the Game!");
    m_model.setStatus(QStringLiteral("Game Over!"));
    Q_EMIT line(text);
    Q_EMIT winnerTold(text);
    if (seated())
        Q_EMIT gameRecorded(won ? QStringLiteral("addtomine") : name);
}

void RoundController::loadStats(const QByteArray &args)
{
    FieldReader f(args);
    const int slot = m_session.slot();
    if (f.numberField() != slot)
        return;
    const int creation = f.numberField();
    const int left = f.numberField();
    m_model.startGame(QString::fromLatin1(f.field()), creation);
    m_model.setRound(QString::fromLatin1(f.field()));
    const int phase = f.numberField();
    m_model.setPhase(phase);

    f.beginGroups();
    while (f.moreGroups()) {
        const QByteArray slotField = f.field();
        const QByteArray total = f.field();
        const QByteArray words = f.field();
        int seat = 0;
        if (!toNumber(slotField, &seat))
            continue; // one bad entry does not stop the others
        m_seats.setTotal(seat, QString::fromLatin1(total));
        m_seats.setWords(seat, QString::fromLatin1(words));
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
