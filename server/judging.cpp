// Word judging, the scoring of a round with its report, and the winner test.
#include "catalogue.h"
#include "message.h"
#include "tdictn.h"
#include "gamerules.h"

#include <algorithm>

using namespace vexlo;

namespace {

// The pause after the scores, by the number of playing seats.
int scorePause(int playing)
{
    switch (playing) {
    case 1: return 15;
    case 2: return 18;
    case 3:
    case 4: return 22;
    case 5:
    case 6: return 26;
    default: return 18;
    }
}

} // namespace

QByteArray GameRules::converttoletter(int letter)
{
    if (letter < 1 || letter > 26)
        return {};
    return QByteArray(1, static_cast<char>('a' + letter - 1));
}

void GameRules::myword(int sender, const QByteArray &args)
{
    FieldReader f(args);
    if (!mayPlay(sender, f))
        return;
    const int seat = sender;
    tplayer &p = player(seat);
    if (p.allFilled())
        return; // nothing is left to fill this round
    const int done = p.currentword;

    QByteArray word;
    f.beginGroups();
    while (f.moreGroups()) {
        f.field(); // the position, implied by the order
        word += converttoletter(f.numberField());
    }

    if (!spell || !spell->IsWord(word)) {
        sendTo(seat, msg::invalid(seat, 2));
        return;
    }
    const QByteArray &pattern = patternOf(done);
    bool fits = word.size() == pattern.size();
    for (qsizetype i = 0; fits && i < pattern.size(); ++i)
        fits = pattern[i] == '_' || pattern[i] == word[i];
    if (!fits) {
        sendTo(seat, msg::invalid(seat, 1));
        return;
    }

    ++p.filled;
    p.words[static_cast<size_t>(done)] = word;
    const int next = findnextempty(seat, done);
    sendAll(msg::hiscount(seat, p.filled));
    if (next != 0) {
        p.currentword = next;
        sendTo(seat, msg::newword(seat, done, next, patternOf(next)));
    } else {
        if (firstfinisher == 0 && checkforfirst(seat))
            firstfinisher = seat;
        sendTo(seat, msg::allfilled(seat, done));
    }
    if (checkforalldone()) {
        startTimer1(3, 3);
        sendAll(msg::alldone());
    }
}

void GameRules::endround()
{
    QByteArray report;
    for (int seat = 1; seat <= seatcount; ++seat) {
        tplayer &p = player(seat);
        int points = seat == firstfinisher ? 25 : 0;
        int filled = 0;
        for (int i = 1; i <= kWordsPerRound; ++i) {
            const QByteArray &w = p.words[static_cast<size_t>(i)];
            const tword &target = board(std::clamp(m_round, 1, kRoundsOnBoard), i);
            if (w.isEmpty()) {
                report += msg::scoreEntry(seat, ScoreKind::Other, target.pattern);
                continue;
            }
            ++filled;
            if (w == target.target) {
                report += msg::scoreEntry(seat, ScoreKind::Exact, w);
                points += 10;
            } else {
                report += msg::scoreEntry(seat, ScoreKind::Other, w);
                points += 5;
            }
        }
        if (filled == kWordsPerRound) {
            report += msg::scoreEntry(seat, ScoreKind::AllTen, "25");
            points += 25;
        }
        p.total += points;
        p.roundpoints = points;
        if (points != 0)
            report += msg::scoreEntry(seat, ScoreKind::Points, QByteArray::number(points));
        report += msg::scoreEntry(seat, ScoreKind::Total, QByteArray::number(p.total));
    }
    for (int i = 1; i <= kWordsPerRound; ++i)
        report += msg::scoreEntry(0, ScoreKind::Target, board(std::clamp(m_round, 1, kRoundsOnBoard), i).target);
    sendAll(msg::postscores(firstfinisher, report));
    startTimer1(scorePause(checkforplaying()), 2);
}

bool GameRules::checkforwin()
{
    int best = 1;
    for (int seat = 2; seat <= seatcount; ++seat)
        if (player(seat).connected && player(seat).total > player(best).total)
            best = seat;
    for (int seat = 1; seat <= seatcount; ++seat)
        if (seat != best && player(seat).connected && player(seat).total == player(best).total)
            return false; // a tie for the lead: play on
    const tplayer &w = player(best);
    const QByteArray name = w.name.isEmpty() ? w.fallbackname : w.name;
    sendAll(msg::winner(name));
    gameinprogress = false;
    note(Outgoing::Kind::GameWon, best, name);
    return true;
}
