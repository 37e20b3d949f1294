// The round engine: the board of target words, rounds and their phases, the
// one-second round timer, passes.
#include "catalogue.h"
#include "message.h"
#include "targetlist.h"
#include "gamerules.h"

#include <algorithm>

using namespace vexlo;

namespace {

// Kept positions (0-based) of the four pattern shapes; the rest are blanks.
constexpr std::array<std::array<bool, 5>, 4> kShapes{{
    {true, false, true, false, true},  // x_x_x
    {true, false, false, false, true}, // x___x
    {false, true, false, true, false}, // _x_x_
    {false, true, true, true, false},  // _xxx_
}};

constexpr int kMaxRoundsPerGame = kRoundsOnBoard;
constexpr int kMaxSecondsPerRound = 3600;

} // namespace

const QByteArray &GameRules::patternOf(int index) const
{
    static const QByteArray none;
    if (m_round < 1 || m_round > kRoundsOnBoard || index < 1 || index > kWordsPerRound)
        return none;
    return board(m_round, index).pattern;
}

void GameRules::startTimer1(int seconds, int phase)
{
    m_countdown = seconds;
    roundphase = phase;
    m_timer1On = true;
    ++m_timer1Starts;
}

void GameRules::startgame(int sender, const QByteArray &args)
{
    if (sender != 1)
        return; // only the host starts games
    FieldReader f(args);
    const QByteArray name = f.field();
    const QByteArray rounds = f.field();
    const QByteArray seconds = f.field();
    const QByteArray fourth = f.field();

    gameinprogress = true;
    int value = 0;
    roundspergame = toNumber(rounds, &value) ? std::clamp(value, 1, kMaxRoundsPerGame) : 5;
    secondsperround = toNumber(seconds, &value) ? std::clamp(value, 1, kMaxSecondsPerRound) : 60;
    sendAll(msg::startgameRelay(name, rounds, seconds, fourth));
    for (int seat = 1; seat <= seatcount; ++seat) {
        player(seat).total = 0;
        player(seat).watching = false;
    }
    m_round = 0;
    note(Outgoing::Kind::GameStarted, sender, name, roundspergame, secondsperround);
    setboards();
    startround();
}

void GameRules::setboards()
{
    for (auto &round : m_board)
        for (tword &w : round)
            w = tword{};
    const int count = listbox_words ? listbox_words->count() : 0;
    for (int r = 1; r <= kRoundsOnBoard; ++r) {
        for (int i = 1; i <= kWordsPerRound; ++i) {
            tword &w = m_board[static_cast<size_t>(r)][static_cast<size_t>(i)];
            const auto index = static_cast<int>(m_random.Random(static_cast<quint32>(count)));
            const auto shape = m_random.Random(4);
            if (count == 0)
                continue;
            w.target = listbox_words->at(index).toLatin1();
            w.pattern = w.target;
            for (qsizetype k = 0; k < w.pattern.size() && k < 5; ++k)
                if (!kShapes[shape][static_cast<size_t>(k)])
                    w.pattern[k] = '_';
        }
    }
}

void GameRules::startround()
{
    firstfinisher = 0;
    ++m_round;
    if (m_round > roundspergame && checkforwin()) {
        stopTimer1();
        return;
    }
    for (int seat = 1; seat <= seatcount; ++seat) {
        tplayer &p = player(seat);
        p.currentword = 1;
        p.roundpoints = 0;
        p.filled = 0;
        for (QByteArray &w : p.words)
            w.clear();
    }
    sendAll(msg::startround(m_round));
    findplayer();
    startTimer1(secondsperround + 4, 1);
}

void GameRules::findplayer()
{
    if (m_round > kRoundsOnBoard) {
        // Ties have carried the game past the board: draw a new one.
        setboards();
        m_round = kRoundsOnBoard;
    }
    for (int s = 1; s <= highestslot; ++s) {
        if (s <= seatcount)
            sendTo(s, msg::nextplayer(s, player(s).currentword, patternOf(player(s).currentword)));
        else
            sendTo(s, msg::nextplayerSpy());
    }
}

void GameRules::timer1Timer()
{
    if (--m_countdown >= 1)
        return;
    stopTimer1();
    switch (roundphase) {
    case 1:
        for (int s = 1; s <= highestslot; ++s)
            sendTo(s, msg::timeup(s));
        endround();
        break;
    case 2:
        startround();
        break;
    case 3:
        endround();
        break;
    default:
        break;
    }
}

bool GameRules::mayPlay(int sender, FieldReader &fields) const
{
    if (!gameinprogress)
        return false;
    const int seat = fields.numberField();
    return seat >= 1 && seat <= seatcount && seat == sender && roundphase == 1;
}

void GameRules::pass(int sender, const QByteArray &args)
{
    FieldReader f(args);
    if (!mayPlay(sender, f))
        return;
    const int seat = sender;
    tplayer &p = player(seat);
    const int next = findnextempty(seat, p.currentword);
    if (next != 0) {
        p.currentword = next;
        sendTo(seat, msg::newword(seat, 0, next, patternOf(next)));
    } else {
        sendTo(seat, msg::allfilled(seat, 0));
    }
}

int GameRules::findnextempty(int seat, int index) const
{
    const tplayer &p = player(seat);
    for (int k = 1; k <= kWordsPerRound; ++k) {
        const int i = (index + k - 1) % kWordsPerRound + 1;
        if (p.words[static_cast<size_t>(i)].isEmpty())
            return i;
    }
    return 0;
}

bool GameRules::checkforalldone() const
{
    for (int seat = 1; seat <= seatcount; ++seat) {
        const tplayer &p = player(seat);
        if (p.connected && !p.watching && !p.allFilled())
            return false;
    }
    return true;
}

bool GameRules::checkforfirst(int seat) const
{
    for (int s = 1; s <= seatcount; ++s)
        if (s != seat && player(s).connected && player(s).allFilled())
            return false;
    return true;
}

int GameRules::checkforplaying() const
{
    int n = 0;
    for (int seat = 1; seat <= seatcount; ++seat)
        if (player(seat).connected && !player(seat).watching)
            ++n;
    return n;
}
