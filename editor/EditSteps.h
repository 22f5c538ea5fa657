// Step numbers of a controller program: which lines are steps, where sequence parts begin and
// end, and the five-character gutter row that shows each line's number.
#pragma once

#include <QStringList>

namespace editor {

struct StepNumbering {
    QStringList gutterRows; // one per line
    int eventSteps = 0;     // steps outside sequence parts, counted through the whole text
    int sequenceSteps = 0;  // steps of the last sequence part
};

// A line that opens a sequence part ("SQ" outside a comment, not one of the SQ commands).
bool IsSequenceHeader(const QString& line);
// A line with a bracketed expression that a comment does not hide.
bool IsStepLine(const QString& line);
// The number right-aligned in five characters; five blanks for no number (0) or a number of
// five digits or more.
QString GutterRow(int number);

StepNumbering NumberSteps(const QStringList& lines);

} // namespace editor
