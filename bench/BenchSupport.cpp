#include "BenchSupport.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>

#include <sys/resource.h>

namespace bench {

namespace {

int misses = 0;

void Line(const std::string& what, const std::string& figure, const std::string& goal,
          const char* verdict) {
    std::printf("%-58s %14s   %-16s %s\n", what.c_str(), figure.c_str(), goal.c_str(), verdict);
    std::fflush(stdout);
}

std::string Format(double value, const std::string& unit) {
    char text[64];
    std::snprintf(text, sizeof text,
                  value >= 100 ? "%.0f %s"
                  : value >= 1 ? "%.2f %s"
                               : "%.3f %s",
                  value, unit.c_str());
    return text;
}

void Report(const std::string& what, double figure, const std::string& unit, double limit,
            bool inclusive) {
    const bool met = inclusive ? figure <= limit : figure < limit;
    if (!met) ++misses;
    Line(what, Format(figure, unit), (inclusive ? "<= " : "< ") + Format(limit, unit),
         met ? "ok" : "MISS");
}

} // namespace

double ThreadCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    const auto seconds = [](const timeval& t) {
        return double(t.tv_sec) + double(t.tv_usec) * 1e-6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

long ThreadSleeps() {
    rusage usage{};
    getrusage(RUSAGE_THREAD, &usage);
    return usage.ru_nvcsw;
}

double PreciseThreadCpuSeconds() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
}

double WallSeconds() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

double Median(std::vector<double> values) {
    if (values.empty()) return 0.0;
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

double MedianOf(int runs, const std::function<double()>& measure) {
    std::vector<double> figures;
    for (int run = 0; run < runs; ++run)
        figures.push_back(measure());
    return Median(figures);
}

void ReportAtMost(const std::string& what, double figure, const std::string& unit, double limit) {
    Report(what, figure, unit, limit, true);
}

void ReportBelow(const std::string& what, double figure, const std::string& unit, double limit) {
    Report(what, figure, unit, limit, false);
}

void ReportFigure(const std::string& what, double figure, const std::string& unit) {
    Line(what, Format(figure, unit), "(printed)", "");
}

void ReportFailure(const std::string& what, const std::string& reason) {
    ++misses;
    Line(what, "-", reason, "MISS");
}

void ReportNote(const std::string& text) {
    std::printf("  note: %s\n", text.c_str());
    std::fflush(stdout);
}

int Misses() {
    return misses;
}

} // namespace bench
