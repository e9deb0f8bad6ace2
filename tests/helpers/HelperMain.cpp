// A stand-in program for the tests: it runs until it is killed.
//   --ignore-term   ignores the polite termination request (SIGTERM)
//   --ready FILE    writes FILE once it runs
#include <chrono>
#include <csignal>
#include <fstream>
#include <string>
#include <thread>

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string option = argv[i];
        if (option == "--ignore-term")
            std::signal(SIGTERM, SIG_IGN);
        else if (option == "--ready" && i + 1 < argc)
            std::ofstream(argv[++i]) << "ready\n";
    }
    for (;;)
        std::this_thread::sleep_for(std::chrono::seconds(1));
}
