// What every benchmark shares: the program's own processor time, medians of repeated runs, and
// the report of one line per goal (the figure beside the goal) that decides the exit code.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace bench {

// Processor time of the calling thread (the program's GUI thread), by getrusage.
double ThreadCpuSeconds();
// The same with nanosecond resolution, for spans well under a millisecond.
double PreciseThreadCpuSeconds();
// How often this thread has gone to sleep waiting (voluntary context switches).
long ThreadSleeps();
double WallSeconds();

double Median(std::vector<double> values);

// The median over `runs` runs of what `measure` returns.
double MedianOf(int runs, const std::function<double()>& measure);

// One line per goal: the figure, its unit, the goal, and "ok" or "MISS". `atMost` true: the figure
// must not exceed the limit; false: it must stay below it.
void ReportAtMost(const std::string& what, double figure, const std::string& unit, double limit);
void ReportBelow(const std::string& what, double figure, const std::string& unit, double limit);
// A figure with no goal, printed for the record.
void ReportFigure(const std::string& what, double figure, const std::string& unit);
// A goal that could not be measured: counts as a miss.
void ReportFailure(const std::string& what, const std::string& reason);
// A line of explanation under the figures.
void ReportNote(const std::string& text);

int Misses();

} // namespace bench
