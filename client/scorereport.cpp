#include "scorereport.h"

#include "message.h"

using namespace vexlo;

ScoreReport ScoreReport::parse(const QByteArray &args)
{
    ScoreReport r;
    FieldReader f(args);
    const QByteArray first = f.field();
    if (first != "0" && !toNumber(first, &r.fastest))
        r.fastest = 0;
    f.beginGroups();
    while (f.moreGroups()) {
        int slot = 0;
        int kind = 0;
        try {
            slot = f.numberField();
            kind = f.numberField();
        } catch (...) {
            r.error = std::current_exception();
            break;
        }
        const QString value = QString::fromLatin1(f.field());
        if (kind == 5) {
            r.originals << value;
            continue;
        }
        if (slot < 1 || slot > SeatCount)
            continue;
        Seat &seat = r.seats[size_t(slot)];
        switch (kind) {
        case 0:
            seat.words << value.toUpper();
            break;
        case 1:
            seat.words << value;
            break;
        case 2:
            seat.roundScore = value;
            break;
        case 3:
            seat.total = value;
            break;
        case 4:
            seat.bonus = true;
            break;
        default:
            break;
        }
    }
    return r;
}
