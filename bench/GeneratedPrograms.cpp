#include "GeneratedPrograms.h"

#include "Compiler.h"

#include <cstdio>
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

} // namespace

// The second generation: symbols, then an event part whose labels are jumped to, called and
// used in expressions, then a sequence part.
std::string SecondGenerationProgram(int lines) {
    std::ostringstream out;
    int written = 0;
    for (int s = 1; s <= kMaxSymbols; ++s, ++written)
        out << "DEFSMB SYM" << s << " " << s * 1237 << "\r\n";
    out << "EV\r\n";
    const int body = lines - written - 5;
    const int eventLines = body * 3 / 4;
    const int labelEvery = eventLines / kMaxLabels;
    int label = 0;
    for (int i = 0; i < eventLines; ++i) {
        const int target = i / labelEvery % kMaxLabels + 1;
        if (i % labelEvery == 0 && label < kMaxLabels) {
            out << Label(++label) << "|(IN1)SVON\r\n";
            continue;
        }
        switch (i % 7) {
        case 0: out << "()GOTO " << Label(target) << "+2\r\n"; break;
        case 1: out << "(IN1)SPD=SYM" << i % kMaxSymbols + 1 << "\r\n"; break;
        case 2: out << "()POS=" << Label(target) << "-1\r\n"; break;
        case 3: out << "()CALL " << Label(target) << "\r\n"; break;
        case 4: out << "(IN2)STOP\r\n"; break;
        case 5: out << "()GOTO " << Label(target) << "/2\r\n"; break;
        default: out << "(IN3)JOG\r\n"; break;
        }
    }
    out << "/EV\r\nSQ\r\n";
    for (int i = eventLines; i < body; ++i)
        out << (i % 2 ? "[IN1]SQWK " + Label(i % kMaxLabels + 1) : std::string("[IN2]JOG")) << "\r\n";
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
    const int labelEvery = eventLines / kMaxLabels;
    int label = 0;
    for (int i = 0; i < eventLines; ++i) {
        const int target = i / labelEvery % kMaxLabels + 1;
        if (i % labelEvery == 0 && label < kMaxLabels) {
            out << Label(++label) << "|(#RDY=ONE)JOG\r\n";
            continue;
        }
        switch (i % 5) {
        case 0: out << "(#WAIT=1)GOTO " << Label(target) << "\r\n"; break;
        case 1: out << "(#RDY=1)%A=%X+1\r\n"; break;
        case 2: out << "(#RDY,1=1)CALL " << Label(target) << ",2,3\r\n"; break;
        case 3: out << "()SVON\r\n"; break;
        default: out << "(#RDY=1)JOG\r\n"; break;
        }
    }
    out << "/EV\r\nSQ\r\n";
    for (int i = eventLines; i < body; ++i)
        out << (i % 2 ? "[%A=5]%X=%A+1" : "[]SQON") << "\r\n";
    out << "/SQ\r\n";
    return out.str();
}

} // namespace bench
