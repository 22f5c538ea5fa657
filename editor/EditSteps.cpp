// Step numbering: event steps are numbered through the whole text, sequence steps from 1 in each
// sequence part. Positions below are counted from 1 and are 0 for a text that does not occur, so
// that the comparisons read as the rules are written.
#include "EditSteps.h"

#include <array>
#include <vector>

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

// Whether "SQ" stands in the line in any case of its letters: only such a line can open or
// close a sequence part, so the others need no upper-case copy.
bool MentionsSq(const QString& line) {
    for (qsizetype i = 0; i + 1 < line.size(); ++i) {
        const char16_t first = line[i].unicode();
        const char16_t second = line[i + 1].unicode();
        if ((first == 'S' || first == 's') && (second == 'Q' || second == 'q')) return true;
    }
    return false;
}

bool IsSequenceHeaderUpper(const QString& u) {
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

} // namespace

bool IsSequenceHeader(const QString& line) {
    return IsSequenceHeaderUpper(AsciiUpper(line));
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
    // Made once and shared, as every renumber writes a row for each line.
    static const std::vector<QString> rows = [] {
        std::vector<QString> made(10000);
        made[0] = QString(5, ' ');
        for (int n = 1; n < 10000; ++n)
            made[n] = QString::number(n).rightJustified(5, ' ');
        return made;
    }();
    return number <= 0 || number > 9999 ? rows[0] : rows[number];
}

StepNumbering NumberSteps(const QStringList& lines) {
    StepNumbering result;
    result.gutterRows.reserve(lines.size());
    bool inSequence = false;
    for (const QString& line : lines) {
        if (MentionsSq(line)) {
            const QString u = AsciiUpper(line);
            if (IsSequenceHeaderUpper(u)) {
                inSequence = true;
                result.sequenceSteps = 0;
            }
            if (Contains(u, "/SQ")) inSequence = false;
        }
        int number = 0;
        if (IsStepLine(line)) number = inSequence ? ++result.sequenceSteps : ++result.eventSteps;
        result.gutterRows.append(GutterRow(number));
    }
    return result;
}

} // namespace editor
