// The Ansible playbook's real pass over two test hosts against the same pass over one: the hosts
// run in parallel, so two cost little more than one. The hosts, their sshd and the timing are
// tests/fleet/time-passes.sh's.

#include "bench/Figures.h"

#include <QProcess>
#include <QStringList>
#include <benchmark/benchmark.h>
#include <vector>

namespace {

// Three rounds, each a pass over both hosts and then over the first alone.
void BM_PlaybookTwoHostsVsOne(benchmark::State& state) {
    for (auto _ : state) {
        QProcess timing;
        timing.start("bash", {PESTREL_SOURCE_DIR "/tests/fleet/time-passes.sh", "3",
                              PESTREL_PACKAGE_FILE, PESTREL_TEST_HELPER});
        timing.waitForFinished(-1);
        std::vector<double> two, one;
        for (const QByteArray& line : timing.readAllStandardOutput().split('\n')) {
            const QList<QByteArray> fields = line.split(' ');
            if (fields.size() == 2)
                (fields[0] == "two" ? two : one).push_back(fields[1].toDouble());
        }
        if (timing.exitCode() != 0 || two.empty() || one.empty()) {
            state.SkipWithError(timing.readAllStandardError().toStdString().c_str());
            return;
        }
        pestrel::bench::ReportDirectFigure(
            "playbook_two_hosts_vs_one", pestrel::bench::Median(two) / pestrel::bench::Median(one),
            1.5);
    }
}
BENCHMARK(BM_PlaybookTwoHostsVsOne)->Iterations(1)->Unit(benchmark::kSecond);

} // namespace
