// The player table: slots and logins, the dispatcher, removals, watching and
// the relays of chat, actions and sounds.
#include "catalogue.h"
#include "gamerules.h"
#include "message.h"

using namespace vexlo;

GameRules::GameRules(const TDictn *spellDictionary, const TargetList *words)
    : spell(spellDictionary), listbox_words(words), m_random(RandomGenerator::timeOfDaySeed())
{
    static const char *const fallbacks[] = {"", "", "Klot", "Klock", "Kling", "Klick", "Krazy"};
    for (int seat = 1; seat <= kSeatCount; ++seat)
        players[static_cast<size_t>(seat)].fallbackname = fallbacks[seat];
}

// --- answering ---

void GameRules::sendTo(int slot, const QByteArray &text)
{
    if (player(slot).connected)
        m_outbox.append({Outgoing::Kind::Send, slot, text});
}

void GameRules::sendAll(const QByteArray &text)
{
    m_outbox.append({Outgoing::Kind::Send, Outgoing::kEveryone, text});
}

void GameRules::note(Outgoing::Kind kind, int slot, const QByteArray &text, int rounds, int seconds)
{
    m_outbox.append({kind, slot, text, rounds, seconds});
}

// --- connections ---

int GameRules::slotForNewcomer() const
{
    if (highestslot == 0)
        return 1;
    for (int s = 1; s <= highestslot; ++s)
        if (!player(s).connected)
            return s;
    return highestslot >= kMaxSlots ? kMaxSlots + 1 : highestslot + 1;
}

void GameRules::opened(int slot)
{
    if (slot < 1 || slot > kMaxSlots)
        return;
    highestslot = std::max(highestslot, slot);
    player(slot).connected = true;
    sendTo(slot, msg::sendlogininfo(slot));
}

void GameRules::closed(int slot)
{
    if (slot < 1 || slot > kMaxSlots || !player(slot).connected)
        return;
    tplayer &p = player(slot);
    for (int s = 1; s <= highestslot; ++s)
        if (s != slot)
            sendTo(s, msg::playerdisconnected(slot, p.name));
    p.connected = false;
    p.name.clear();
    p.watching = false;
}

void GameRules::vacate(int slot)
{
    if (slot < 1 || slot > kMaxSlots)
        return;
    tplayer &p = player(slot);
    p.connected = false;
    p.name.clear();
    p.watching = false;
}

// --- dispatch ---

void GameRules::receive(int sender, const QByteArray &text)
{
    const Message m = parseMessage(text);
    if (m.command.isEmpty())
        return;
    using Handler = void (GameRules::*)(int, const QByteArray &);
    static const std::pair<const char *, Handler> table[] = {
        {cmd::logininfo, &GameRules::receivedlogininfo},
        {cmd::kickhim, &GameRules::kickhim},
        {cmd::chat, &GameRules::chat},
        {cmd::action, &GameRules::action},
        {cmd::startgame, &GameRules::startgame},
        {cmd::justwatch, &GameRules::justwatch},
        {cmd::myword, &GameRules::myword},
        {cmd::pass, &GameRules::pass},
        {cmd::playasound, &GameRules::playasound},
    };
    for (const auto &[word, handler] : table) {
        if (m.command == word) {
            (this->*handler)(sender, m.args);
            return;
        }
    }
}

// --- login ---

void GameRules::receivedlogininfo(int sender, const QByteArray &args)
{
    FieldReader f(args);
    const int slot = f.numberField();
    const QByteArray version = f.field();
    const QByteArray name = f.rest();
    if (slot != sender || slot < 1 || slot > kMaxSlots)
        return; // a connection logs in only itself

    tplayer &p = player(slot);
    p.name = name;
    p.connected = true;

    sendAll(msg::newplayerinfo(slot, name));
    for (int s = 1; s <= highestslot; ++s)
        if (s != slot && player(s).connected)
            sendTo(slot, msg::existingplayers(s, player(s).name));

    if (version != kGameVersion) {
        sendTo(1, msg::havewrongversion(name));
        sendTo(slot, msg::wrongversion());
    }

    if (gameinprogress) {
        if (roundphase == 1 && slot <= seatcount)
            sendTo(slot, msg::newword(slot, 0, p.currentword, patternOf(p.currentword)));
        QByteArray seats;
        for (int s = 1; s <= seatcount; ++s)
            if (player(s).connected || s == 2)
                seats += msg::statsTriple(s, player(s).total, player(s).filled);
        sendTo(slot, msg::loadstats(slot, secondsperround, m_countdown - 4, roundspergame, m_round,
                                    roundphase, seats));
    }
    note(Outgoing::Kind::Arrived, slot, name);
}

// --- removal ---

void GameRules::kickhim(int sender, const QByteArray &args)
{
    FieldReader f(args);
    const int from = f.numberField();
    const int target = f.numberField();
    if (sender != 1 || from != 1 || target < 1 || target > kMaxSlots || !player(target).connected)
        return;
    note(Outgoing::Kind::Close, target);
}

// --- watching and relays ---

void GameRules::justwatch(int sender, const QByteArray &args)
{
    FieldReader f(args);
    const int seat = f.numberField();
    const QByteArray mode = f.rest();
    if (seat < 1 || seat > seatcount)
        return;
    if (seat != sender && sender != 1)
        return; // only the host may set another seat to watch
    if (mode == "2") {
        player(seat).watching = false;
        sendAll(msg::justwatching(seat, mode));
    } else if (mode == "1" && gameinprogress) {
        player(seat).watching = true;
        sendAll(msg::justwatching(seat, mode));
    }
}

void GameRules::chat(int sender, const QByteArray &args)
{
    FieldReader f(args);
    if (f.numberField() != sender)
        return;
    sendAll(msg::chatRelay(player(sender).name, f.rest()));
}

void GameRules::action(int sender, const QByteArray &args)
{
    FieldReader f(args);
    if (f.numberField() != sender)
        return;
    sendAll(msg::actionRelay(player(sender).name, f.rest()));
}

void GameRules::playasound(int sender, const QByteArray &args)
{
    FieldReader f(args);
    if (f.numberField() != sender)
        return;
    sendAll(msg::playasoundRelay(sender, f.rest()));
}
