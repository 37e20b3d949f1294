#pragma once
// What a hosted game tells the local network about itself, as the TXT records
// of its `_vexlo._tcp` service: the protocol version, the host's name, the
// seats and watchers taken, the state, and for a server with several tables
// their number and the free seats. Reading records back treats them as
// hostile: whatever is too long, not UTF-8 or not believable is clipped or
// dropped, and what is read serves for display only.
#include <QByteArray>
#include <QList>
#include <QString>

namespace vexlo::discovery {

inline constexpr char kServiceType[] = "_vexlo._tcp";
inline constexpr int kMaxShownChars = 40;

struct GameAnnouncement
{
    static constexpr int kSeats = 6;
    static constexpr int kWatchers = 3;
    static constexpr int kMaxTables = 10000; // the most a server holds
    static constexpr int kMaxRounds = 99; // a tie plays on past the rounds chosen

    QString version;  // the protocol version ("1.0.3"); empty when unknown
    QString hostName; // the host's player name; empty when nobody hosts yet
    int players = -1; // seats taken, 0..6; -1 when unknown
    int watchers = -1; // 0..3; -1 when unknown
    bool playing = false;
    int round = 0;    // while playing: round of rounds; 0 when unknown
    int rounds = 0;
    int tables = 0;   // a server with several tables: how many, and the seats free
    int freeSeats = -1;

    // The records, each "key=value", in a fixed order.
    QList<QByteArray> toTxt() const;
    // Reads records as they came: unknown keys are skipped, keys compared
    // without regard to case, and a value that does not pass is left unknown.
    static GameAnnouncement fromTxt(const QList<QByteArray> &records);

    // "2/6", "Waiting", "Round 2 of 5", "4 tables, 13 seats free": what a list
    // shows, with "?" for what is unknown.
    QString playersText() const;
    QString watchersText() const;
    QString stateText() const;

    bool operator==(const GameAnnouncement &) const = default;
};

// Text from the network made fit to show: valid UTF-8 only (else empty),
// control and formatting characters turned into blanks, blanks squeezed, and
// clipped to maxChars with an ellipsis.
QString shownText(const QByteArray &utf8, int maxChars = kMaxShownChars);

} // namespace vexlo::discovery
