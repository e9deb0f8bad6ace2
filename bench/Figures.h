#pragma once
// A figure is the ratio of one benchmark's time to a reference benchmark's, measured in the same
// run. Benchmarks register figures next to their definitions; main prints one line per figure.

#include <functional>
#include <string>
#include <vector>

namespace pestrel::bench {

struct FigureRegistration {
    FigureRegistration(std::string name, std::string measured, std::string reference, double limit);
};

// A figure computed by the benchmark itself (for ratios that are not two timings).
void ReportDirectFigure(const std::string& name, double ratio, double limit);

// A ratio printed for the record, with no target: an older reference kept for comparison.
void ReportRecordedRatio(const std::string& name, double ratio);

// The median of `times` (not empty).
double Median(std::vector<double> times);
// The seconds `work` takes.
double SecondsOf(const std::function<void()>& work);
// Runs `measured` and `reference` in turn, round after round, each answering the seconds it
// measured, and answers the ratio of their medians, so that other work on the machine weighs on
// both alike.
double InterleavedRatio(int rounds, const std::function<double()>& measured,
                        const std::function<double()>& reference);
// Reports that ratio as figure `name`.
void ReportInterleavedFigure(const std::string& name, double limit, int rounds,
                             const std::function<double()>& measured,
                             const std::function<double()>& reference);

} // namespace pestrel::bench

#define PESTREL_FIGURE_CONCAT2(a, b) a##b
#define PESTREL_FIGURE_CONCAT(a, b) PESTREL_FIGURE_CONCAT2(a, b)
// PESTREL_FIGURE("name", "BM_Measured", "BM_Reference", 3.0): measured / reference <= 3.0.
#define PESTREL_FIGURE(name, measured, reference, limit)                                           \
    static ::pestrel::bench::FigureRegistration PESTREL_FIGURE_CONCAT(figure_, __LINE__)(          \
        name, measured, reference, limit)
