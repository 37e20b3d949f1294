#include "scorereport.h"

using namespace vexlo;

ScoreReport ScoreReport::from(const msg::PostScores &m, const DecodedMessage &d)
{
    ScoreReport r;
    r.fastest = m.first;
    if (!d.ok()) {
        try {
            d.raise();
        } catch (...) {
            r.error = std::current_exception();
        }
    }
    for (const msg::ScoreEntry &e : m.entries) {
        const QString value = QString::fromLatin1(e.value);
        if (e.kind == ScoreKind::Target) {
            r.originals << value;
            continue;
        }
        if (e.seat < 1 || e.seat > SeatCount)
            continue;
        Seat &seat = r.seats[size_t(e.seat)];
        switch (e.kind) {
        case ScoreKind::Exact:
            seat.words << value.toUpper();
            break;
        case ScoreKind::Other:
            seat.words << value;
            break;
        case ScoreKind::Points:
            seat.roundScore = value;
            break;
        case ScoreKind::Total:
            seat.total = value;
            break;
        case ScoreKind::AllTen:
            seat.bonus = true;
            break;
        default:
            break;
        }
    }
    return r;
}
