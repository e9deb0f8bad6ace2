// A child program for the crash and concurrency tests: it writes the working files and a hive
// through the engine and the platform, as the program does.
//   FileWriter DATA_ROOT cycle FIRST   writes generation FIRST, FIRST+1, ... of the virus list,
//                                      Config.ini and a hive value, without end; prints one line
//                                      once generation FIRST is on disk
//   FileWriter DATA_ROOT values PREFIX COUNT
//                                      sets COUNT hive values named PREFIX0, PREFIX1, ...
#include "engine/Context.h"
#include "engine/WorkFiles.h"
#include "platform/posix/PosixPlatform.h"
#include "tests/helpers/Generation.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

namespace {

using namespace pestrel;

bool WriteGeneration(Context& context, long long generation) {
    RegValue payload;
    payload.text = test::GenerationText(generation);
    const std::unique_ptr<HeldFolder> work = HoldWorkFolder(context);
    return SaveVirusList(context, test::GenerationEntries(generation)) && work &&
           work->writeProfileString("Config.ini", "RunData", "Version",
                                    test::GenerationText(generation)) &&
           context.platform.setValue(RegRoot::CurrentUser, test::kGenerationKey, "Payload",
                                     payload);
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 4)
        return 2;
    const std::string root = argv[1], mode = argv[2];
    std::filesystem::create_directories(root + "/app");
    PosixPlatform platform(root, root + "/app/pestrel");
    Context context(platform);
    InitialiseContext(context);
    if (mode == "cycle") {
        for (long long generation = std::atoll(argv[3]);; ++generation) {
            if (!WriteGeneration(context, generation))
                return 1;
            if (generation == std::atoll(argv[3])) {
                std::puts("written");
                std::fflush(stdout);
            }
        }
    }
    if (mode == "values" && argc == 5) {
        RegValue value;
        for (int i = 0; i < std::atoi(argv[4]); ++i) {
            value.text = std::to_string(i);
            if (!platform.setValue(RegRoot::CurrentUser, test::kGenerationKey,
                                   argv[3] + std::to_string(i), value))
                return 1;
        }
        return 0;
    }
    return 2;
}
