#pragma once
// The end of a round as the server reports it ("CMD_postscores"), read into
// plain data: the seat with the fastest word, each seat's words, round score,
// total and bonus mark, and the original words of the round. Qt Core only.
#include "servermessages.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>
#include <exception>
#include <optional>

struct ScoreReport
{
    static constexpr int SeatCount = 6;

    struct Seat
    {
        // The words in the report's order: a creator's own words (kind 0)
        // upper-cased, the others (kind 1) as they stand.
        QStringList words;
        std::optional<QString> roundScore; // kind 2
        std::optional<QString> total;      // kind 3
        bool bonus = false;                // kind 4
    };

    // 0 when nobody was fastest (or the field is no seat number).
    int fastest = 0;
    std::array<Seat, SeatCount + 1> seats{}; // 1..6
    QStringList originals; // kind 5
    // Set when a group's seat or kind is no number (EConvertError): the report
    // holds the groups before it, which stand, and the rest is lost.
    std::exception_ptr error;

    // Reads the decoded message (d tells where its entries were damaged).
    // Entries for seats beyond 1..6 are left out, as are unknown kinds.
    static ScoreReport from(const vexlo::msg::PostScores &m, const vexlo::DecodedMessage &d);
};
