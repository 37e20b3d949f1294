#pragma once
// The tally file: "Vexlotally.tld" in the game's data folder, the grid dump packed
// in the "WRZL" container (LZRW1/KH, the Fast mode of Tlzrw1). Packing and
// unpacking happen in memory; no work file is written.
//
// Writing is atomic: the new file is written beside the old one and renamed over
// it, so a failure part-way never leaves a damaged tally. A file that cannot be
// read as a tally is set aside as "<name>.bad" instead of being replaced by an
// empty tally.
#include "tallygrid.h"

#include <QString>

namespace vexlo::tally {

QString tallyFileName(); // "Vexlotally.tld"
QString tallyFilePath(const QString &dataFolder);

// What reading the file found.
struct ReadResult
{
    TallyGrid grid;    // the tally read, or the empty tally
    QString error;     // empty when the file was read or does not exist
    QString setAside;  // where a damaged file was moved ("" when it was not)
};

// Reads the tally file at path. A missing file gives the empty tally and no
// error. A file that cannot be opened, unpacked or read as a dump gives the
// empty tally, the message (the compressor's own for a damaged container) and,
// when it could be renamed, the damaged file set aside as path + ".bad" (an
// older ".bad" is replaced).
ReadResult readTallyFile(const QString &path);

// Packs the grid and writes it to path atomically. Throws ETallyException
// ("Unable to write to <path>") when it cannot; the old file is then unchanged.
void writeTallyFile(const QString &path, const TallyGrid &grid);

} // namespace vexlo::tally
