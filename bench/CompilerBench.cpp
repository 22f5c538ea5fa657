// Compile time of a generated program at the line limit of each generation: 2000 lines for the
// first (with the shipped keyword libraries), 6000 for the second.
#include "CompileProgram.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <fstream>

namespace {

namespace fs = std::filesystem;

// A program of `lines` lines: an event part and a sequence part full of statements.
fs::path WriteProgram(const fs::path& folder, int lines, const char* eventStatement,
                      const char* sequenceStatement) {
    const fs::path source = folder / "bench.MB";
    std::ofstream out(source, std::ios::binary);
    const int half = (lines - 4) / 2;
    out << "EV\r\n";
    for (int i = 0; i < half; ++i)
        out << eventStatement << "\r\n";
    out << "/EV\r\nSQ\r\n";
    for (int i = 0; i < lines - 4 - half; ++i)
        out << sequenceStatement << "\r\n";
    out << "/SQ\r\n";
    return source;
}

fs::path BenchFolder() {
    const fs::path folder = fs::temp_directory_path() / "kasont-compiler-bench";
    fs::create_directories(folder);
    return folder;
}

void BM_CompileGen1At2000Lines(benchmark::State& state) {
    const fs::path source = WriteProgram(BenchFolder(), 2000, "()SVON", "[]SQON");
    const fs::path library = KASONT_LIBRARY_FOLDER;
    int resultCode = 0;
    for (auto _ : state)
        resultCode = kaso::compiler::CompileProgramGen1(source, library).resultCode;
    state.counters["result_code"] = resultCode;
}
BENCHMARK(BM_CompileGen1At2000Lines)->Unit(benchmark::kMillisecond);

void BM_CompileGen2At6000Lines(benchmark::State& state) {
    const fs::path source = WriteProgram(BenchFolder(), 6000, "(IN1)SVON", "[IN2]JOG");
    int resultCode = 0;
    for (auto _ : state)
        resultCode = kaso::compiler::CompileProgramGen2(source).resultCode;
    state.counters["result_code"] = resultCode;
}
BENCHMARK(BM_CompileGen2At6000Lines)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
