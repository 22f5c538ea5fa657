// The rows of a program download as they go on the line: read from a compiled program file or
// taken from the editor's text, checked before the first is sent, and the per-row rules of the
// download (pace, read-back, the "MBCL" pause); and a row of the upload as it comes back. Plain
// code under the editor window.
#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>

namespace editor {

// The longest row the driver takes, in CP932 bytes, without its CR.
inline constexpr int kMaxRowBytes = 29;

// The rows of a compiled program file: cut at each line feed, with a carriage return before it
// dropped, so no row gains a byte; a final line end makes no empty row. ASCII letters are
// upper-cased; the bytes of a double-byte CP932 character stay as they are.
QList<QByteArray> CompiledRows(const QByteArray& fileBytes);

// The rows of the editor's lines, in CP932, as typed.
QList<QByteArray> EditorRows(const QStringList& lines);

// Upper-cases the ASCII letters of CP932 bytes, leaving double-byte characters alone.
QByteArray UpperCaseAscii(const QByteArray& bytes);

enum class RowFault { None, TooLong, Empty, BadCharacter };
struct RowCheck {
    RowFault fault = RowFault::None;
    int row = -1; // the first bad row, from 0
};

// The first row that cannot be sent whole: longer than kMaxRowBytes, empty where empty rows are
// not allowed (a compiled file never holds one), or holding a control character, which the line
// would not carry.
RowCheck CheckRows(const QList<QByteArray>& rows, bool emptyRowsAllowed);

// Whether the driver's copy of a sent row is read back: second generation only, never for an
// empty row or one holding "==", "##", "#$", "#&" or "#%".
bool NeedsReadBack(const QByteArray& row, int seriesIndex);

// Whether a row holds "MBCL" in any letter case (the driver then needs a pause).
bool ClearsProgram(const QByteArray& row);

// The pace after a row of `length` bytes, in 10 ms ticks, by the item index of the baud rate
// box (0 1200, 1 4800, 2 9600, 3 19200, 4 38400 bps).
int PaceTicks(int baudIndex, int length);

} // namespace editor
