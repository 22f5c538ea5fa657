// Compile time of a varied program at each generation's line limit (symbols and labels up to
// their limits, jumps, calls, variables and expressions), and how it grows with the length.
#include "BenchSupport.h"
#include "Benchmarks.h"

#include "CompileProgram.h"
#include "GeneratedPrograms.h"

#include <QCoreApplication>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace bench {

namespace {

namespace fs = std::filesystem;

constexpr int kRuns = 7;

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
