// kaso-bench: runs the benchmarks, one line per goal with the figure beside the goal, and exits
// with 1 when any goal is missed. With arguments, runs only the groups named: routes, idle,
// redraw, spectrum, compiler, startup, or single routes (the README lists them).
#include "BenchSupport.h"
#include "Benchmarks.h"

#include "platform/MemoryReuse.h"

#include <QApplication>

#include <cstdio>
#include <cstring>
#include <set>
#include <string>

namespace {

// Keeps the report readable: the offscreen platform's notes on what it does not do (window hints,
// raising a window) and Qt's own of its platform are dropped.
void QuietMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (message.contains("propagateSizeHints") || message.contains("XDG_RUNTIME_DIR") ||
        message.startsWith("This plugin does not support") ||
        QByteArray(context.category ? context.category : "").startsWith("qt.qpa"))
        return;
    std::fprintf(stderr, "%s%s\n", type >= QtWarningMsg ? "warning: " : "", qPrintable(message));
}

} // namespace

int main(int argc, char** argv) {
    platform::KeepFreedMemoryForReuse(); // as the program starts
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qInstallMessageHandler(QuietMessages);
    if (argc > 1 && std::strcmp(argv[1], "--startup-probe") == 0)
        return bench::RunStartupProbe(argc, argv);

    const std::set<std::string> groups(argv + 1, argv + argc);
    const auto wanted = [&](const char* group) { return groups.empty() || groups.count(group); };
    QApplication app(argc, argv);
    std::printf("%-58s %14s   %-16s %s\n", "goal", "figure", "limit", "");
    if (wanted("spectrum")) bench::RunSpectrumBenchmarks();
    if (wanted("compiler")) bench::RunCompilerBenchmarks();
    if (wanted("redraw")) bench::RunRedrawBenchmarks();
    if (wanted("routes"))
        bench::RunRouteBenchmarks();
    else
        bench::RunRouteBenchmarks(groups); // the single routes named, if any
    if (wanted("idle")) bench::RunIdleBenchmarks();
    if (wanted("startup")) bench::RunStartupBenchmarks(argv[0]);
    std::printf("%d goal(s) missed\n", bench::Misses());
    return bench::Misses() == 0 ? 0 : 1;
}
