// The checks that every program and data transfer makes before it sends anything: the
// designated axis must be one that answered the last scan, and no other transfer may hold the
// line.
#pragma once

#include <QString>

namespace editor {

// The bit of a designated axis: 1 << (letter - 'A') for a caption that is exactly one of "A" to
// "Z", every bit for any other caption (such as "*").
int TransferAxisBit(const QString& axisCaption);

// True when the axis bit and the scanned axes have a bit in common.
bool TransferAxisAnswered(const QString& axisCaption, int axisMask);

// The same for the main window's designated axis and its AxisMask.
bool DesignatedAxisAnswered();

} // namespace editor
