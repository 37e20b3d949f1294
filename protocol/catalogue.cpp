#include "catalogue.h"

#include "servermessages.h"

namespace vexlo::msg {

namespace {
QByteArray num(int v)
{
    return QByteArray::number(v);
}
QByteArray word(const char *command)
{
    return QByteArray(command) + '+';
}
} // namespace

QByteArray logininfo(int slot, const QByteArray &version, const QByteArray &name)
{
    return word(cmd::logininfo) + num(slot) + '+' + version + '+' + name;
}
QByteArray kickhim(int senderSlot, int targetSlot)
{
    return word(cmd::kickhim) + num(senderSlot) + '+' + num(targetSlot) + '+';
}
QByteArray chat(int slot, const QByteArray &text, const QByteArray &colour)
{
    return word(cmd::chat) + num(slot) + '+' + text + '|' + colour;
}
QByteArray action(int slot, const QByteArray &text, const QByteArray &colour)
{
    return word(cmd::action) + num(slot) + '+' + text + '|' + colour;
}
QByteArray startgame(const QByteArray &name, const QByteArray &rounds, const QByteArray &seconds)
{
    return word(cmd::startgame) + name + '+' + rounds + '+' + seconds + '+';
}
QByteArray justwatch(int seat, int mode)
{
    return word(cmd::justwatch) + num(seat) + '+' + num(mode);
}
QByteArray myword(int seat, const std::array<int, 5> &letters)
{
    QByteArray m = word(cmd::myword) + num(seat);
    for (int i = 0; i < 5; ++i)
        m += '+' + num(i + 1) + '+' + num(letters[static_cast<size_t>(i)]);
    return m;
}
QByteArray pass(int seat)
{
    return word(cmd::pass) + num(seat) + '+';
}
QByteArray playasound(int seat, int wave)
{
    return word(cmd::playasound) + num(seat) + "+wave" + num(wave) + '+';
}

// The server's messages are written by their layout (servermessages.h), which
// the decoder reads back. Only the relays put together text the sender gave.

QByteArray sendlogininfo(int slot)
{
    return encodeServerMessage(SendLoginInfo{slot});
}
QByteArray full()
{
    return encodeServerMessage(Full{});
}
QByteArray newplayerinfo(int slot, const QByteArray &name)
{
    return encodeServerMessage(NewPlayerInfo{slot, name});
}
QByteArray existingplayers(int slot, const QByteArray &name)
{
    return encodeServerMessage(ExistingPlayers{slot, name});
}
QByteArray havewrongversion(const QByteArray &name)
{
    return encodeServerMessage(HaveWrongVersion{name});
}
QByteArray wrongversion()
{
    return encodeServerMessage(WrongVersion{});
}
QByteArray playerdisconnected(int slot, const QByteArray &name)
{
    return encodeServerMessage(PlayerDisconnected{slot, name});
}
QByteArray justwatching(int seat, const QByteArray &mode)
{
    return encodeServerMessage(JustWatching{seat, mode});
}
QByteArray chatRelay(const QByteArray &name, const QByteArray &rest)
{
    return encodeServerMessage(Chat{name + " chats: " + rest});
}
QByteArray actionRelay(const QByteArray &name, const QByteArray &rest)
{
    return encodeServerMessage(Action{name + ' ' + rest});
}
QByteArray playasoundRelay(int slot, const QByteArray &rest)
{
    return word(cmd::playasound) + num(slot) + '+' + rest;
}
QByteArray startgameRelay(const QByteArray &name, const QByteArray &rounds,
                          const QByteArray &seconds, const QByteArray &fourth)
{
    return word(cmd::startgame) + name + '+' + rounds + '+' + seconds + '+' + fourth + '+';
}
QByteArray startround(int round)
{
    return encodeServerMessage(StartRound{num(round)});
}
QByteArray nextplayer(int seat, int wordIndex, const QByteArray &pattern)
{
    return encodeServerMessage(NextPlayer{seat, wordIndex, pattern});
}
QByteArray nextplayerSpy()
{
    return nextplayer(1, 0, "*");
}
QByteArray newword(int seat, int doneIndex, int nextIndex, const QByteArray &pattern)
{
    return encodeServerMessage(NewWord{seat, doneIndex, nextIndex, pattern});
}
QByteArray invalid(int seat, int reason)
{
    return encodeServerMessage(Invalid{seat, reason});
}
QByteArray allfilled(int seat, int doneIndex)
{
    return encodeServerMessage(AllFilled{seat, doneIndex});
}
QByteArray hiscount(int seat, int count)
{
    return encodeServerMessage(HisCount{seat, num(count)});
}
QByteArray alldone()
{
    return encodeServerMessage(AllDone{});
}
QByteArray timeup(int slot)
{
    return encodeServerMessage(TimeUp{slot});
}
// The entries come written by scoreEntry(), in the layout of ScoreEntry.
QByteArray postscores(int firstSeat, const QByteArray &entries)
{
    return encodeServerMessage(PostScores{firstSeat, {}}) + entries;
}
QByteArray winner(const QByteArray &name)
{
    return encodeServerMessage(Winner{name});
}
// The triples come written by statsTriple(), in the layout of SeatStats.
QByteArray loadstats(int slot, int seconds, int left, int rounds, int round, int phase,
                     const QByteArray &triples)
{
    return encodeServerMessage(LoadStats{slot, seconds, left, num(rounds), num(round), phase, {}}) + triples;
}
QByteArray scoreEntry(int seat, ScoreKind kind, const QByteArray &value)
{
    return encodeGroup(ScoreEntry{seat, kind, value});
}
QByteArray statsTriple(int seat, int total, int count)
{
    return encodeGroup(SeatStats{seat, num(total), num(count)});
}

} // namespace vexlo::msg
