// Compile time of a varied program at each generation's line limit (symbols and labels up to
// their limits, jumps, calls, variables and expressions), and how it grows with the length.
#include "BenchSupport.h"
#include "Benchmarks.h"

#include "CompileProgram.h"
#include "GeneratedPrograms.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

namespace bench {

namespace {

namespace fs = std::filesystem;

constexpr int kRuns = 7;
constexpr int kRatioPairs = 21;

// Writes a source into the run's own fresh temporary folder (removed when the run ends), so no
// two runs and no other user share files.
fs::path Write(const QTemporaryDir& folder, const std::string& name, const std::string& text) {
    const fs::path source = fs::path(folder.path().toStdString()) / name;
    std::ofstream(source, std::ios::binary) << text;
    return source;
}

// One compile's processor time in ms, or a negative figure when the program does not compile.
double OneCompileMs(const std::function<kaso::compiler::CompileResult()>& compile) {
    const double start = PreciseThreadCpuSeconds();
    const bool compiled = compile().resultCode == kaso::compiler::kResultCompiled;
    const double ms = 1000.0 * (PreciseThreadCpuSeconds() - start);
    return compiled ? ms : -1.0;
}

// The median compile time in ms, or a negative figure when the program does not compile.
double CompileMs(const std::function<kaso::compiler::CompileResult()>& compile) {
    bool failed = false;
    const double ms = MedianOf(kRuns, [&] {
        const double one = OneCompileMs(compile);
        failed = failed || one < 0;
        return one;
    });
    return failed ? -1.0 : ms;
}

// How the compile time grows from the shorter program to the longer: the two compile in turn,
// and the median of the pairs' ratios is taken, so a burst of the machine's own load weighs on
// both sides of a pair alike.
double GrowthRatio(const std::function<kaso::compiler::CompileResult()>& shorter,
                   const std::function<kaso::compiler::CompileResult()>& longer) {
    std::vector<double> ratios;
    for (int run = 0; run < kRatioPairs; ++run) {
        const double shortMs = OneCompileMs(shorter);
        const double longMs = OneCompileMs(longer);
        if (shortMs <= 0 || longMs < 0) return -1.0;
        ratios.push_back(longMs / shortMs);
    }
    return Median(ratios);
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
    const QTemporaryDir folder;
    if (!folder.isValid()) return ReportFailure("compile", "no temporary folder");
    const fs::path gen1 = Write(folder, "gen1.MB", FirstGenerationProgram(2000));
    Report("compile: first generation, 2000 lines",
           CompileMs([&] { return kaso::compiler::CompileProgramGen1(gen1, library); }), 50.0);

    const fs::path half = Write(folder, "gen2_3000.MB", SecondGenerationProgram(3000));
    const fs::path full = Write(folder, "gen2_6000.MB", SecondGenerationProgram(6000));
    const auto compileHalf = [&] { return kaso::compiler::CompileProgramGen2(half); };
    const auto compileFull = [&] { return kaso::compiler::CompileProgramGen2(full); };
    Report("compile: second generation, 6000 lines", CompileMs(compileFull), 50.0);
    const double growth = GrowthRatio(compileHalf, compileFull);
    if (growth < 0)
        ReportFailure("compile: 6000-line time over 3000-line time", "did not compile");
    else
        ReportAtMost("compile: 6000-line time over 3000-line time", growth, "x", 2.1);
}

} // namespace bench
