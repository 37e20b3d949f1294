#include "catalogue.h"

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

QByteArray sendlogininfo(int slot)
{
    return word(cmd::sendlogininfo) + num(slot);
}
QByteArray full()
{
    return word(cmd::full);
}
QByteArray newplayerinfo(int slot, const QByteArray &name)
{
    return word(cmd::newplayerinfo) + num(slot) + '+' + name;
}
QByteArray existingplayers(int slot, const QByteArray &name)
{
    return word(cmd::existingplayers) + num(slot) + '+' + name;
}
QByteArray havewrongversion(const QByteArray &name)
{
    return word(cmd::havewrongversion) + name;
}
QByteArray wrongversion()
{
    return word(cmd::wrongversion);
}
QByteArray playerdisconnected(int slot, const QByteArray &name)
{
    return word(cmd::playerdisconnected) + num(slot) + '+' + name;
}
QByteArray justwatching(int seat, const QByteArray &mode)
{
    return word(cmd::justwatching) + num(seat) + '+' + mode;
}
QByteArray chatRelay(const QByteArray &name, const QByteArray &rest)
{
    return word(cmd::chat) + name + " chats: " + rest;
}
QByteArray actionRelay(const QByteArray &name, const QByteArray &rest)
{
    return word(cmd::action) + name + ' ' + rest;
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
    return word(cmd::startround) + num(round) + '+';
}
QByteArray nextplayer(int seat, int wordIndex, const QByteArray &pattern)
{
    return word(cmd::nextplayer) + num(seat) + '+' + num(wordIndex) + '+' + pattern + '+';
}
QByteArray nextplayerSpy()
{
    return nextplayer(1, 0, "*");
}
QByteArray newword(int seat, int doneIndex, int nextIndex, const QByteArray &pattern)
{
    return word(cmd::newword) + num(seat) + '+' + num(doneIndex) + '+' + num(nextIndex) + '+'
           + pattern + '+';
}
QByteArray invalid(int seat, int reason)
{
    return word(cmd::invalid) + num(seat) + '+' + num(reason) + '+';
}
QByteArray allfilled(int seat, int doneIndex)
{
    return word(cmd::allfilled) + num(seat) + '+' + num(doneIndex) + '+';
}
QByteArray hiscount(int seat, int count)
{
    return word(cmd::hiscount) + num(seat) + '+' + num(count) + '+';
}
QByteArray alldone()
{
    return word(cmd::alldone);
}
QByteArray timeup(int slot)
{
    return word(cmd::timeup) + num(slot) + '+';
}
QByteArray postscores(int firstSeat, const QByteArray &entries)
{
    return word(cmd::postscores) + num(firstSeat) + entries;
}
QByteArray winner(const QByteArray &name)
{
    return word(cmd::winner) + name + '+';
}
QByteArray loadstats(int slot, int seconds, int left, int rounds, int round, int phase,
                     const QByteArray &triples)
{
    return word(cmd::loadstats) + num(slot) + '+' + num(seconds) + '+' + num(left) + '+'
           + num(rounds) + '+' + num(round) + '+' + num(phase) + triples;
}
QByteArray scoreEntry(int seat, ScoreKind kind, const QByteArray &value)
{
    return '+' + num(seat) + '+' + num(static_cast<int>(kind)) + '+' + value;
}
QByteArray statsTriple(int seat, int total, int count)
{
    return '+' + num(seat) + '+' + num(total) + '+' + num(count);
}

} // namespace vexlo::msg
