// Compile time of a varied program at each generation's line limit (symbols and labels up to
// their limits, jumps, calls, variables and expressions), and how it grows with the length.
#include "BenchSupport.h"
#include "Benchmarks.h"

#include "CompileProgram.h"
#include "GeneratedPrograms.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

namespace bench {

namespace {

namespace fs = std::filesystem;

constexpr int kRuns = 7;
constexpr int kRatioRounds = 25;
constexpr int kProgramsPerLength = 4;

using Compile = std::function<kaso::compiler::CompileResult()>;

// Writes a source into the run's own fresh temporary folder (removed when the run ends), so no
// two runs and no other user share files.
fs::path Write(const QTemporaryDir& folder, const std::string& name, const std::string& text) {
    const fs::path source = fs::path(folder.path().toStdString()) / name;
    std::ofstream(source, std::ios::binary) << text;
    return source;
}

// One compile's processor time in ms, or a negative figure when the program does not compile.
double OneCompileMs(const Compile& compile) {
    const double start = PreciseThreadCpuSeconds();
    const bool compiled = compile().resultCode == kaso::compiler::kResultCompiled;
    const double ms = 1000.0 * (PreciseThreadCpuSeconds() - start);
    return compiled ? ms : -1.0;
}

// The median compile time in ms, or a negative figure when the program does not compile.
double CompileMs(const Compile& compile) {
    bool failed = false;
    const double ms = MedianOf(kRuns, [&] {
        const double one = OneCompileMs(compile);
        failed = failed || one < 0;
        return one;
    });
    return failed ? -1.0 : ms;
}

// Walks memory larger than a processor's caches, so that the next compile finds none of what the
// last one left there, as a user's compile in the editor does: a short program's compile would
// otherwise run on memory the compile before it left in the cache, and a long one's would not
// where the caches hold less than its tables, so the growth would tell the machine's caches.
void EvictCaches() {
    constexpr std::size_t kBytes = std::size_t(32) << 20;
    constexpr std::size_t kCacheLine = 64;
    static std::vector<unsigned char> memory(kBytes);
    for (std::size_t i = 0; i < memory.size(); i += kCacheLine)
        ++memory[i];
}

// The processor time in ms of compiling each program of a set once, each on cold caches, or a
// negative figure when one does not compile.
double SetCompileMs(const std::vector<Compile>& set) {
    double total = 0;
    for (const Compile& compile : set) {
        EvictCaches();
        const double ms = OneCompileMs(compile);
        if (ms < 0) return -1.0;
        total += ms;
    }
    return total;
}

// How the compile time grows from the shorter programs to the longer. Each side is a set of
// programs of its length that differ from one another, each compiled once a round on cold caches;
// the two sets compile in turn, which one first alternating, and the median of the rounds' ratios
// is taken, so that a burst of the machine's own load weighs on both sides of a round alike.
double GrowthRatio(const std::vector<Compile>& shorter, const std::vector<Compile>& longer) {
    std::vector<double> ratios;
    for (int round = 0; round < kRatioRounds; ++round) {
        const bool shorterFirst = round % 2 == 0;
        const double first = SetCompileMs(shorterFirst ? shorter : longer);
        const double second = SetCompileMs(shorterFirst ? longer : shorter);
        const double shortMs = shorterFirst ? first : second;
        const double longMs = shorterFirst ? second : first;
        if (shortMs <= 0 || longMs < 0) return -1.0;
        ratios.push_back(longMs / shortMs);
    }
    return Median(ratios);
}

// The compiles of kProgramsPerLength second-generation programs of `lines` lines.
std::vector<Compile> SecondGenerationSet(const QTemporaryDir& folder, int lines) {
    std::vector<Compile> set;
    for (int variant = 0; variant < kProgramsPerLength; ++variant) {
        const fs::path source =
            Write(folder, "gen2_" + std::to_string(lines) + "_" + std::to_string(variant) + ".MB",
                  SecondGenerationProgram(lines, variant));
        set.push_back([source] { return kaso::compiler::CompileProgramGen2(source); });
    }
    return set;
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

    const std::vector<Compile> full = SecondGenerationSet(folder, 6000);
    Report("compile: second generation, 6000 lines", CompileMs(full.front()), 50.0);
    // The growth is the compilers': its programs are written where the files stay in memory
    // when there is such a place, so that the disk's own time, which differs from one machine,
    // and one moment, to another, weighs on neither side.
    const QTemporaryDir inMemory(QDir("/dev/shm").exists()
                                     ? "/dev/shm/kaso-bench-XXXXXX"
                                     : QDir::tempPath() + "/kaso-bench-XXXXXX");
    if (!inMemory.isValid()) return ReportFailure("compile", "no temporary folder");
    const double growth =
        GrowthRatio(SecondGenerationSet(inMemory, 3000), SecondGenerationSet(inMemory, 6000));
    if (growth < 0)
        ReportFailure("compile: 6000-line time over 3000-line time", "did not compile");
    else
        ReportAtMost("compile: 6000-line time over 3000-line time", growth, "x", 2.1);
}

} // namespace bench
