#pragma once
// Every message of the game, built in one place: no handler glues protocol text
// by hand. The server's messages are written by their layout in
// servermessages.h, which the receivers decode with decodeServerMessage(). Each builder returns the message text without its terminator
// (frame() adds it). Names and free texts are single-byte Latin-1.
#include <QByteArray>
#include <array>

namespace vexlo {

// The version text both sides compare at login.
inline constexpr char kGameVersion[] = "1.0.3";

namespace cmd {
// Client to server, in the order the server's dispatcher tests them.
inline constexpr char logininfo[] = "CMD_logininfo";
inline constexpr char kickhim[] = "CMD_kickhim";
inline constexpr char chat[] = "CMD_chat";
inline constexpr char action[] = "CMD_action";
inline constexpr char startgame[] = "CMD_startgame";
inline constexpr char justwatch[] = "CMD_justwatch";
inline constexpr char myword[] = "CMD_myword";
inline constexpr char pass[] = "CMD_pass";
inline constexpr char playasound[] = "CMD_playasound";
// Server to client.
inline constexpr char sendlogininfo[] = "CMD_sendlogininfo";
inline constexpr char full[] = "CMD_full";
inline constexpr char newplayerinfo[] = "CMD_newplayerinfo";
inline constexpr char existingplayers[] = "CMD_existingplayers";
inline constexpr char havewrongversion[] = "CMD_havewrongversion";
inline constexpr char wrongversion[] = "CMD_wrongversion";
inline constexpr char playerdisconnected[] = "CMD_playerdisconnected";
inline constexpr char justwatching[] = "CMD_justwatching";
inline constexpr char startround[] = "CMD_startround";
inline constexpr char nextplayer[] = "CMD_nextplayer";
inline constexpr char newword[] = "CMD_newword";
inline constexpr char invalid[] = "CMD_invalid";
inline constexpr char allfilled[] = "CMD_allfilled";
inline constexpr char hiscount[] = "CMD_hiscount";
inline constexpr char alldone[] = "CMD_alldone";
inline constexpr char timeup[] = "CMD_timeup";
inline constexpr char postscores[] = "CMD_postscores";
inline constexpr char winner[] = "CMD_winner";
inline constexpr char loadstats[] = "CMD_loadstats";
} // namespace cmd

// Kinds of the "CMD_postscores" entries.
enum class ScoreKind { Exact = 0, Other = 1, Points = 2, Total = 3, AllTen = 4, Target = 5 };

namespace msg {

// --- client to server ---
QByteArray logininfo(int slot, const QByteArray &version, const QByteArray &name);
QByteArray kickhim(int senderSlot, int targetSlot);
QByteArray chat(int slot, const QByteArray &text, const QByteArray &colour);
QByteArray action(int slot, const QByteArray &text, const QByteArray &colour);
QByteArray startgame(const QByteArray &name, const QByteArray &rounds, const QByteArray &seconds);
QByteArray justwatch(int seat, int mode); // 1 = sit out and watch, 2 = play again
QByteArray myword(int seat, const std::array<int, 5> &letters);
QByteArray pass(int seat);
QByteArray playasound(int seat, int wave); // wave1 .. wave12

// --- server to client ---
QByteArray sendlogininfo(int slot);
QByteArray full();
QByteArray newplayerinfo(int slot, const QByteArray &name);
QByteArray existingplayers(int slot, const QByteArray &name);
QByteArray havewrongversion(const QByteArray &name);
QByteArray wrongversion();
QByteArray playerdisconnected(int slot, const QByteArray &name);
QByteArray justwatching(int seat, const QByteArray &mode);
// The relays carry the sender's text as it came ("text|colour").
QByteArray chatRelay(const QByteArray &name, const QByteArray &rest);
QByteArray actionRelay(const QByteArray &name, const QByteArray &rest);
QByteArray playasoundRelay(int slot, const QByteArray &rest);
QByteArray startgameRelay(const QByteArray &name, const QByteArray &rounds,
                          const QByteArray &seconds, const QByteArray &fourth);
QByteArray startround(int round);
QByteArray nextplayer(int seat, int wordIndex, const QByteArray &pattern);
QByteArray nextplayerSpy(); // CMD_nextplayer+1+0+*+
QByteArray newword(int seat, int doneIndex, int nextIndex, const QByteArray &pattern);
QByteArray invalid(int seat, int reason); // 1 = does not fit, 2 = not a word
QByteArray allfilled(int seat, int doneIndex);
QByteArray hiscount(int seat, int count);
QByteArray alldone();
QByteArray timeup(int slot);
QByteArray postscores(int firstSeat, const QByteArray &entries);
QByteArray winner(const QByteArray &name);
QByteArray loadstats(int slot, int seconds, int left, int rounds, int round, int phase,
                     const QByteArray &triples);

// One "+{seat}+{kind}+{value}" entry of a score report.
QByteArray scoreEntry(int seat, ScoreKind kind, const QByteArray &value);
// One "+{seat}+{total}+{count}" triple of "CMD_loadstats".
QByteArray statsTriple(int seat, int total, int count);

} // namespace msg
} // namespace vexlo
