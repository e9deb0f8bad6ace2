// A kill pass of 1,000 names that match nothing, reading the Linux start-up places (the machine's
// own, and a home with 100 desktop entries and 100 services), against the same pass without them.
#include "bench/Figures.h"
#include "bench/PassScene.h"
#include "engine/Context.h"
#include "engine/KillPass.h"
#include "platform/ForwardingPlatform.h"
#include "platform/posix/PosixPlatform.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <filesystem>
#include <fstream>

namespace {

// The machine with a busy home added to its places, or with no Linux places at all.
class Places final : public pestrel::ForwardingPlatform {
public:
    Places(pestrel::Platform& inner, std::string home, bool any)
        : ForwardingPlatform(inner), home_(std::move(home)), any_(any) {}
    pestrel::LinuxPlaces linuxPlaces() override {
        if (!any_)
            return {};
        pestrel::LinuxPlaces places = inner_.linuxPlaces();
        places.users.push_back({"bench", static_cast<std::uint32_t>(::geteuid()), home_});
        return places;
    }

private:
    std::string home_;
    bool any_;
};

void Write(const std::filesystem::path& path, const std::string& text) {
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path) << text;
}

void BM_LinuxPlacesFigure(benchmark::State& state) {
    QTemporaryDir root;
    const std::filesystem::path home = root.filePath("home").toStdString();
    for (int i = 0; i < 100; ++i) {
        const std::string name = "tool" + std::to_string(i);
        Write(home / ".config/autostart" / (name + ".desktop"),
              "[Desktop Entry]\nType=Application\nName=" + name + "\nExec=/usr/bin/" + name +
                  " --tray %U\n");
        Write(home / ".config/systemd/user" / (name + ".service"),
              "[Unit]\nDescription=" + name + "\n[Service]\nExecStart=/usr/bin/" + name + " -d\n");
    }
    pestrel::PosixPlatform machine(root.filePath("data").toStdString(),
                                   root.filePath("app/pestrel").toStdString());
    Places with(machine, home.string(), true), without(machine, home.string(), false);
    pestrel::bench::MissingEntries view(1000);
    const auto pass = [&view](pestrel::Platform& platform) {
        pestrel::Context context(platform);
        pestrel::InitialiseContext(context);
        context.cleanAutostart = true; // the places are read only for this choice
        std::filesystem::create_directories(context.AppPath);
        pestrel::RunKillPass(context, view, view.reports);
    };
    std::vector<double> withPlaces, withoutPlaces;
    for (auto _ : state) {
        for (int round = 0; round < 7; ++round) {
            withPlaces.push_back(pestrel::bench::SecondsOf([&] { pass(with); }));
            withoutPlaces.push_back(pestrel::bench::SecondsOf([&] { pass(without); }));
        }
    }
    pestrel::bench::ReportDirectFigure(
        "kill_pass_1000_misses_with_linux_places_vs_without",
        pestrel::bench::Median(withPlaces) / pestrel::bench::Median(withoutPlaces), 1.5);
}
BENCHMARK(BM_LinuxPlacesFigure)->Iterations(1)->Unit(benchmark::kMillisecond);

} // namespace
