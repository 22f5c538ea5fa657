// Compile time of a varied program at each generation's line limit (symbols and labels up to
// their limits, jumps, calls, variables and expressions), and how it grows with the length.
#include "BenchSupport.h"
#include "Benchmarks.h"

#include "CompileProgram.h"
#include "Compiler.h"

#include <QCoreApplication>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace bench {

namespace {

namespace fs = std::filesystem;
using kaso::compiler::kMaxLabels;
using kaso::compiler::kMaxSymbols;

constexpr int kRuns = 7;

// A label name of the longest length allowed.
std::string Label(int i) {
    char name[32];
    std::snprintf(name, sizeof name, "LBL%017d", i);
    return name;
}

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

fs::path Write(const std::string& name, const std::string& text) {
    const fs::path folder = fs::temp_directory_path() / "kasont-bench";
    fs::create_directories(folder);
    const fs::path source = folder / name;
    std::ofstream(source, std::ios::binary) << text;
    return source;
}

// The median compile time in ms, or a negative figure when the program does not compile.
double CompileMs(const std::function<kaso::compiler::CompileResult()>& compile) {
    int result = 0;
    const double ms = MedianOf(kRuns, [&] {
        const double start = PreciseThreadCpuSeconds();
        result = compile().resultCode;
        return 1000.0 * (PreciseThreadCpuSeconds() - start);
    });
    return result == kaso::compiler::kResultCompiled ? ms : -1.0;
}

void Report(const std::string& what, double ms, double limit) {
    if (ms < 0)
        ReportFailure(what, "did not compile");
    else
        ReportBelow(what, ms, "ms", limit);
}

} // namespace

void RunCompilerBenchmarks() {
    const fs::path library = QCoreApplication::applicationDirPath().toStdString() + "/Lib";
    const fs::path gen1 = Write("gen1.MB", FirstGenerationProgram(2000));
    Report("compile: first generation, 2000 lines",
           CompileMs([&] { return kaso::compiler::CompileProgramGen1(gen1, library); }), 50.0);

    const fs::path half = Write("gen2_3000.MB", SecondGenerationProgram(3000));
    const fs::path full = Write("gen2_6000.MB", SecondGenerationProgram(6000));
    const double halfMs = CompileMs([&] { return kaso::compiler::CompileProgramGen2(half); });
    const double fullMs = CompileMs([&] { return kaso::compiler::CompileProgramGen2(full); });
    Report("compile: second generation, 6000 lines", fullMs, 50.0);
    if (halfMs > 0 && fullMs > 0)
        ReportAtMost("compile: 6000-line time over 3000-line time", fullMs / halfMs, "x", 2.1);
}

} // namespace bench
