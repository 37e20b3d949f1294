#pragma once
// Every message the server sends a client, described once: a struct per message
// with its fields in wire order, and one field layout (fields()) that both the
// server's builders (encodeServerMessage, used by catalogue.cpp) and the
// receivers' decoder (decodeServerMessage) walk, so a field added shows at both
// ends.
//
// A field is an int where a receiver converts it strictly: a field that is no
// number there is a decode error. It is the text as it came where the receivers
// show it as it came (a round number in a label, a word count, a score), and a
// lenient int where the receivers take a field that is no number for 0.
#include "catalogue.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>
#include <variant>

namespace vexlo {

// The field kinds of a layout, as a layout calls them on its walker (the writer
// in servermessages.cpp, the reader behind decodeServerMessage). Fields are
// joined by "+"; plus() writes the "+" some messages put after their last field.
//   number(int &)        a decimal number; one that is no number is a decode error
//   numberOrEmpty(int &) the same, but an empty field reads as 0
//   lenient(int &)       a number; one that is no number reads as 0, no error
//   text(QByteArray &)   the text before the next "+" (empty when none is left)
//   rest(QByteArray &)   all remaining text, "+" included; ends the message
//   restNumber(int &)    all remaining text as a number
//   groups(QList<G> &)   repeated groups up to the end (G has fields() too)
//   key(int &)           in a group: a number; a group whose key is no number is left out
namespace msg {

struct SendLoginInfo
{
    static constexpr const char *command = cmd::sendlogininfo;
    int slot = 0; // the receiver's own slot
    template<class L> void fields(L &l) { l.restNumber(slot); }
    bool operator==(const SendLoginInfo &) const = default;
};

struct Full
{
    static constexpr const char *command = cmd::full;
    template<class L> void fields(L &) {}
    bool operator==(const Full &) const = default;
};

struct NewPlayerInfo
{
    static constexpr const char *command = cmd::newplayerinfo;
    int slot = 0;
    QByteArray name; // the rest: a name may hold "+"
    template<class L> void fields(L &l) { l.number(slot); l.rest(name); }
    bool operator==(const NewPlayerInfo &) const = default;
};

struct ExistingPlayers
{
    static constexpr const char *command = cmd::existingplayers;
    int slot = 0;
    QByteArray name; // empty when that slot has not logged in yet
    template<class L> void fields(L &l) { l.number(slot); l.rest(name); }
    bool operator==(const ExistingPlayers &) const = default;
};

struct HaveWrongVersion
{
    static constexpr const char *command = cmd::havewrongversion;
    QByteArray name; // the newcomer
    template<class L> void fields(L &l) { l.rest(name); }
    bool operator==(const HaveWrongVersion &) const = default;
};

struct WrongVersion
{
    static constexpr const char *command = cmd::wrongversion;
    template<class L> void fields(L &) {}
    bool operator==(const WrongVersion &) const = default;
};

struct PlayerDisconnected
{
    static constexpr const char *command = cmd::playerdisconnected;
    int slot = 0;
    QByteArray name;
    template<class L> void fields(L &l) { l.number(slot); l.rest(name); }
    bool operator==(const PlayerDisconnected &) const = default;
};

struct JustWatching
{
    static constexpr const char *command = cmd::justwatching;
    int seat = 0;
    QByteArray mode; // the rest: "1" watches, "2" plays again
    template<class L> void fields(L &l) { l.number(seat); l.rest(mode); }
    // The mode's first field is "1".
    bool watching() const { return mode.split('+').constFirst() == "1"; }
    bool operator==(const JustWatching &) const = default;
};

// The relays of "CMD_chat" and "CMD_action": one text, "NAME chats: TEXT|COLOUR"
// and "NAME TEXT|COLOUR" as the server put them together.
struct Chat
{
    static constexpr const char *command = cmd::chat;
    QByteArray text;
    template<class L> void fields(L &l) { l.rest(text); }
    bool operator==(const Chat &) const = default;
};

struct Action
{
    static constexpr const char *command = cmd::action;
    QByteArray text;
    template<class L> void fields(L &l) { l.rest(text); }
    bool operator==(const Action &) const = default;
};

struct PlayASound
{
    static constexpr const char *command = cmd::playasound;
    int seat = 0;     // of the sender; 0 when no number
    QByteArray sound; // "wave1" .. "wave12"
    template<class L> void fields(L &l) { l.lenient(seat); l.text(sound); l.plus(); }
    bool operator==(const PlayASound &) const = default;
};

// The host's game start, its fields echoed as the host sent them.
struct StartGame
{
    static constexpr const char *command = cmd::startgame;
    QByteArray name;   // the host's
    QByteArray rounds; // rounds per game, as shown
    int seconds = 0;   // creation time per round
    QByteArray fourth; // empty as sent
    template<class L> void fields(L &l)
    {
        l.text(name);
        l.text(rounds);
        l.number(seconds);
        l.text(fourth);
        l.plus();
    }
    bool operator==(const StartGame &) const = default;
};

struct StartRound
{
    static constexpr const char *command = cmd::startround;
    QByteArray round; // as shown
    template<class L> void fields(L &l) { l.text(round); l.plus(); }
    bool operator==(const StartRound &) const = default;
};

// To a seat its current word; to a spy slot seat 1, index 0 and pattern "*".
struct NextPlayer
{
    static constexpr const char *command = cmd::nextplayer;
    int seat = 0;
    int index = 0;
    QByteArray pattern;
    template<class L> void fields(L &l) { l.number(seat); l.number(index); l.text(pattern); l.plus(); }
    bool operator==(const NextPlayer &) const = default;
};

struct NewWord
{
    static constexpr const char *command = cmd::newword;
    int seat = 0;
    int done = 0; // the word just filled; 0 after a pass or a login
    int next = 0;
    QByteArray pattern; // of the next word
    template<class L> void fields(L &l)
    {
        l.number(seat);
        l.number(done);
        l.number(next);
        l.text(pattern);
        l.plus();
    }
    bool operator==(const NewWord &) const = default;
};

struct Invalid
{
    static constexpr const char *command = cmd::invalid;
    int seat = 0;
    int reason = 0; // 1 does not fit, 2 not a word; 0 when no number
    template<class L> void fields(L &l) { l.number(seat); l.lenient(reason); l.plus(); }
    bool operator==(const Invalid &) const = default;
};

struct AllFilled
{
    static constexpr const char *command = cmd::allfilled;
    int seat = 0;
    int done = 0; // the last word filled; 0 after a pass (or when empty)
    template<class L> void fields(L &l) { l.number(seat); l.numberOrEmpty(done); l.plus(); }
    bool operator==(const AllFilled &) const = default;
};

struct HisCount
{
    static constexpr const char *command = cmd::hiscount;
    int seat = 0;
    QByteArray count; // words filled this round, as shown
    template<class L> void fields(L &l) { l.number(seat); l.text(count); l.plus(); }
    bool operator==(const HisCount &) const = default;
};

struct AllDone
{
    static constexpr const char *command = cmd::alldone;
    template<class L> void fields(L &) {}
    bool operator==(const AllDone &) const = default;
};

struct TimeUp
{
    static constexpr const char *command = cmd::timeup;
    int slot = 0; // the receiver's own; 0 when no number
    template<class L> void fields(L &l) { l.lenient(slot); l.plus(); }
    bool operator==(const TimeUp &) const = default;
};

// One entry of a score report.
struct ScoreEntry
{
    int seat = 0; // 0 with the round's targets
    ScoreKind kind = ScoreKind::Exact;
    QByteArray value; // a word, a pattern, points or a total, as shown
    template<class L> void fields(L &l)
    {
        int k = static_cast<int>(kind);
        l.number(seat);
        l.number(k);
        kind = static_cast<ScoreKind>(k);
        l.text(value);
    }
    bool operator==(const ScoreEntry &) const = default;
};

// The end of a round. A damaged entry ends the list: the entries before it stand.
struct PostScores
{
    static constexpr const char *command = cmd::postscores;
    int first = 0; // the first seat to fill all ten; 0 for none (or no number)
    QList<ScoreEntry> entries;
    template<class L> void fields(L &l) { l.lenient(first); l.groups(entries); }
    bool operator==(const PostScores &) const = default;
};

struct Winner
{
    static constexpr const char *command = cmd::winner;
    QByteArray name;
    template<class L> void fields(L &l) { l.text(name); l.plus(); }
    bool operator==(const Winner &) const = default;
};

// One seat's line of "CMD_loadstats"; a line whose seat is no number is left out.
struct SeatStats
{
    int seat = 0;
    QByteArray total; // as shown
    QByteArray count; // words filled this round, as shown
    template<class L> void fields(L &l) { l.key(seat); l.text(total); l.text(count); }
    bool operator==(const SeatStats &) const = default;
};

// The state of a running game, for a newcomer.
struct LoadStats
{
    static constexpr const char *command = cmd::loadstats;
    int slot = 0;      // the newcomer's
    int seconds = 0;   // per round
    int left = 0;      // of the current phase
    QByteArray rounds; // per game, as shown
    QByteArray round;  // the current one, as shown
    int phase = 0;     // 1 running, 2 scores shown, 3 all done
    QList<SeatStats> seats;
    template<class L> void fields(L &l)
    {
        l.number(slot);
        l.number(seconds);
        l.number(left);
        l.text(rounds);
        l.text(round);
        l.number(phase);
        l.groups(seats);
    }
    bool operator==(const LoadStats &) const = default;
};

} // namespace msg

using ServerMessage = std::variant<msg::SendLoginInfo, msg::Full, msg::NewPlayerInfo, msg::ExistingPlayers,
                                   msg::HaveWrongVersion, msg::WrongVersion, msg::PlayerDisconnected,
                                   msg::JustWatching, msg::Chat, msg::Action, msg::PlayASound, msg::StartGame,
                                   msg::StartRound, msg::NextPlayer, msg::NewWord, msg::Invalid, msg::AllFilled,
                                   msg::HisCount, msg::AllDone, msg::TimeUp, msg::PostScores, msg::Winner,
                                   msg::LoadStats>;

// What decodeServerMessage() made of a message.
struct DecodedMessage
{
    QByteArray command;
    // Empty when the text holds no command word or one no receiver knows: both
    // are ignored.
    std::optional<ServerMessage> message;
    // The first field (counted from 0 after the command word, group fields
    // included) that did not convert, -1 when none did so; that field and every
    // one after it keep their defaults, as a receiver reading the message field
    // by field stops there.
    int badField = -1;
    QByteArray badText; // that field as it came

    bool ok() const { return badField < 0; }
    // Whether the first n fields all converted.
    bool converted(int n) const { return badField < 0 || badField >= n; }
    // The error report's text: "'x' is not a valid integer value".
    QString errorText() const;
    // Throws that error as EConvertError, for a receiver whose error report
    // catches it. Does nothing when every field converted.
    void raise() const;
};

// Never throws: damage is told in the result.
DecodedMessage decodeServerMessage(const QByteArray &text);
// The message text without its terminator.
QByteArray encodeServerMessage(const ServerMessage &message);
// One group as it follows the fields before it: "+" and its fields.
QByteArray encodeGroup(const msg::ScoreEntry &entry);
QByteArray encodeGroup(const msg::SeatStats &stats);

} // namespace vexlo
