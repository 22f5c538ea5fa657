#include "GeneratedPrograms.h"

#include "Compiler.h"

#include <cstdio>
#include <functional>
#include <sstream>

namespace bench {

namespace {

using kaso::compiler::kMaxLabels;
using kaso::compiler::kMaxSymbols;

// A label name of the longest length allowed.
std::string Label(int i) {
    char name[32];
    std::snprintf(name, sizeof name, "LBL%017d", i);
    return name;
}

// Writes an event part of eventLines lines: a labelled line (the label, "|" and labelled) at even
// steps until every label stands, the others from line(i, the label some line jumps to).
void WriteEventLines(std::ostringstream& out, int eventLines, const char* labelled,
                     const std::function<std::string(int, const std::string&)>& line) {
    const int labelEvery = eventLines / kMaxLabels;
    int label = 0;
    for (int i = 0; i < eventLines; ++i) {
        if (i % labelEvery == 0 && label < kMaxLabels)
            out << Label(++label) << "|" << labelled << "\r\n";
        else
            out << line(i, Label(i / labelEvery % kMaxLabels + 1)) << "\r\n";
    }
}

} // namespace

// The second generation: symbols, then an event part whose labels are jumped to, called and
// used in expressions, then a sequence part.
std::string SecondGenerationProgram(int lines, int variant) {
    std::ostringstream out;
    int written = 0;
    for (int s = 1; s <= kMaxSymbols; ++s, ++written)
        out << "DEFSMB SYM" << s << " " << s * 1237 + variant << "\r\n";
    out << "EV\r\n";
    const int body = lines - written - 5;
    const int eventLines = body * 3 / 4;
    WriteEventLines(out, eventLines, "(IN1)SVON", [variant](int i, const std::string& target) {
        switch ((i + variant) % 7) {
        case 0:
            return "()GOTO " + target + "+2";
        case 1:
            return "(IN1)SPD=SYM" + std::to_string(i % kMaxSymbols + 1);
        case 2:
            return "()POS=" + target + "-1";
        case 3:
            return "()CALL " + target;
        case 4:
            return std::string("(IN2)STOP");
        case 5:
            return "()GOTO " + target + "/2";
        default:
            return std::string("(IN3)JOG");
        }
    });
    out << "/EV\r\nSQ\r\n";
    for (int i = eventLines; i < body; ++i)
        out << (i % 2 ? "[IN1]SQWK " + Label(i % kMaxLabels + 1) : std::string("[IN2]JOG"))
            << "\r\n";
    out << "/SQ\r\n";
    return out.str();
}

// The first generation with the shipped keyword libraries: variables, labels, jumps, calls and
// expressions.
std::string FirstGenerationProgram(int lines) {
    std::ostringstream out;
    out << "DEF %A\r\nDEF %X\r\nDEF %%BC\r\nDEFSMB ONE 1\r\nEV\r\n";
    const int body = lines - 9;
    const int eventLines = body * 3 / 4;
    WriteEventLines(out, eventLines, "(#RDY=ONE)JOG", [](int i, const std::string& target) {
        switch (i % 5) {
        case 0:
            return "(#WAIT=1)GOTO " + target;
        case 1:
            return std::string("(#RDY=1)%A=%X+1");
        case 2:
            return "(#RDY,1=1)CALL " + target + ",2,3";
        case 3:
            return std::string("()SVON");
        default:
            return std::string("(#RDY=1)JOG");
        }
    });
    out << "/EV\r\nSQ\r\n";
    for (int i = eventLines; i < body; ++i)
        out << (i % 2 ? "[%A=5]%X=%A+1" : "[]SQON") << "\r\n";
    out << "/SQ\r\n";
    return out.str();
}

} // namespace bench
