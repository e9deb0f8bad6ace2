#include "bench/Figures.h"

#include <QApplication>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <map>
#include <vector>

namespace pestrel::bench {
namespace {

struct Figure {
    std::string name, measured, reference;
    double limit;
};

std::vector<Figure>& Figures() {
    static std::vector<Figure> figures;
    return figures;
}

std::vector<std::string>& DirectLines() {
    static std::vector<std::string> lines;
    return lines;
}

// Passes everything to the console and remembers each benchmark's time per iteration.
class RecordingReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (!run.error_occurred && run.iterations > 0)
                times[run.benchmark_name()] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> times;
};

void PrintFigure(const std::string& name, double ratio, double limit) {
    std::printf("figure: %s %.3f target<=%g%s\n", name.c_str(), ratio, limit,
                ratio <= limit ? "" : "  (over target)");
}

} // namespace

FigureRegistration::FigureRegistration(std::string name, std::string measured,
                                       std::string reference, double limit) {
    Figures().push_back({std::move(name), std::move(measured), std::move(reference), limit});
}

void ReportDirectFigure(const std::string& name, double ratio, double limit) {
    char line[512];
    std::snprintf(line, sizeof line, "figure: %s %.3f target<=%g%s", name.c_str(), ratio, limit,
                  ratio <= limit ? "" : "  (over target)");
    DirectLines().push_back(line);
}

void ReportRecordedRatio(const std::string& name, double ratio) {
    char line[512];
    std::snprintf(line, sizeof line, "report: %s %.3f", name.c_str(), ratio);
    DirectLines().push_back(line);
}

double Median(std::vector<double> times) {
    std::nth_element(times.begin(), times.begin() + times.size() / 2, times.end());
    return times[times.size() / 2];
}

double SecondsOf(const std::function<void()>& work) {
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double InterleavedRatio(int rounds, const std::function<double()>& measured,
                        const std::function<double()>& reference) {
    std::vector<double> measuredTimes, referenceTimes;
    for (int round = 0; round < rounds; ++round) {
        measuredTimes.push_back(measured());
        referenceTimes.push_back(reference());
    }
    return Median(measuredTimes) / Median(referenceTimes);
}

void ReportInterleavedFigure(const std::string& name, double limit, int rounds,
                             const std::function<double()>& measured,
                             const std::function<double()>& reference) {
    ReportDirectFigure(name, InterleavedRatio(rounds, measured, reference), limit);
}

} // namespace pestrel::bench

int main(int argc, char** argv) {
    using namespace pestrel::bench;
    QApplication app(argc, argv); // skin and window benchmarks paint real widgets
    benchmark::Initialize(&argc, argv);
    RecordingReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    std::printf("\n");
    for (const std::string& line : DirectLines())
        std::printf("%s\n", line.c_str());
    for (const Figure& f : Figures()) {
        auto measured = reporter.times.find(f.measured);
        auto reference = reporter.times.find(f.reference);
        if (measured == reporter.times.end() || reference == reporter.times.end() ||
            reference->second <= 0) {
            std::printf("figure: %s not measured (%s / %s)\n", f.name.c_str(), f.measured.c_str(),
                        f.reference.c_str());
            continue;
        }
        PrintFigure(f.name, measured->second / reference->second, f.limit);
    }
    return 0;
}
