// Step numbering: event steps are numbered through the whole text, sequence steps from 1 in each
// sequence part. Positions below are counted from 1 and are 0 for a text that does not occur, so
// that the comparisons read as the rules are written.
#include "EditSteps.h"

#include <array>

namespace editor {
namespace {

int Pos(const QString& part, const QString& text) {
    return static_cast<int>(text.indexOf(part)) + 1;
}

bool Contains(const QString& text, const QString& part) {
    return text.contains(part);
}

// Only the ASCII letters change, as the program's upper-case conversion does.
QString AsciiUpper(const QString& line) {
    QString upper = line;
    for (QChar& ch : upper)
        if (ch >= 'a' && ch <= 'z') ch = QChar(ch.unicode() - 'a' + 'A');
    return upper;
}

} // namespace

bool IsSequenceHeader(const QString& line) {
    const QString u = AsciiUpper(line);
    if (!Contains(u, "SQ")) return false;
    static const std::array<QString, 8> commands = {"SQLEN", "SQOF", "SQON", "SQPT",
                                                    "SQSL",  "SQSP", "SQWK", "/SQ"};
    for (const QString& command : commands)
        if (Contains(u, command)) return false;
    const int sq = Pos("SQ", u);
    if (Contains(u, "|")) return sq > Pos("|", u);
    if (Contains(u, "'")) return sq < Pos("'", u);
    if (Contains(u, ")")) return sq < Pos(")", u);
    return true;
}

bool IsStepLine(const QString& line) {
    QString open, close;
    if (Contains(line, "(")) {
        open = "(";
        close = ")";
    } else if (Contains(line, "[")) {
        open = "[";
        close = "]";
    } else {
        return false;
    }
    const int o = Pos(open, line);
    const int q = Pos("'", line);
    const int c = Pos(close, line);
    if (q > 0 && o >= q) return false; // the bracket stands in a comment
    return c > 0 && o < c;
}

QString GutterRow(int number) {
    if (number <= 0 || number > 9999) return QString(5, ' ');
    return QString::number(number).rightJustified(5, ' ');
}

StepNumbering NumberSteps(const QStringList& lines) {
    StepNumbering result;
    result.gutterRows.reserve(lines.size());
    bool inSequence = false;
    for (const QString& line : lines) {
        if (IsSequenceHeader(line)) {
            inSequence = true;
            result.sequenceSteps = 0;
        }
        if (Contains(AsciiUpper(line), "/SQ")) inSequence = false;
        int number = 0;
        if (IsStepLine(line)) number = inSequence ? ++result.sequenceSteps : ++result.eventSteps;
        result.gutterRows.append(GutterRow(number));
    }
    return result;
}

} // namespace editor
