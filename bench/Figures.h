#pragma once
// A figure is the ratio of one benchmark's time to a reference benchmark's, measured in the same
// run. Benchmarks register figures next to their definitions; main prints one line per figure.

#include <string>

namespace pestrel::bench {

struct FigureRegistration {
    FigureRegistration(std::string name, std::string measured, std::string reference, double limit);
};

// A figure computed by the benchmark itself (for ratios that are not two timings).
void ReportDirectFigure(const std::string& name, double ratio, double limit);

} // namespace pestrel::bench

#define PESTREL_FIGURE_CONCAT2(a, b) a##b
#define PESTREL_FIGURE_CONCAT(a, b) PESTREL_FIGURE_CONCAT2(a, b)
// PESTREL_FIGURE("name", "BM_Measured", "BM_Reference", 3.0): measured / reference <= 3.0.
#define PESTREL_FIGURE(name, measured, reference, limit)                                           \
    static ::pestrel::bench::FigureRegistration PESTREL_FIGURE_CONCAT(figure_, __LINE__)(          \
        name, measured, reference, limit)
