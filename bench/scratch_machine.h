// A throw-away machine directory for a benchmark of the GUI layer's widgets
// (they need a registry and a desktop), which draw headless meanwhile, and
// the main of such a benchmark.
#pragma once

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

class ScratchMachine {
public:
    explicit ScratchMachine(const char* name)
    {
        std::string pattern = (std::filesystem::temp_directory_path() / (std::string(name) + "-XXXXXX")).string();
        if (const char* made = mkdtemp(pattern.data())) {
            path_ = made;
            setenv("ZAVO_MACHINE", made, 1);
        }
        setenv("ZAVO_GUI_HEADLESS", "1", 1);
    }
    ~ScratchMachine()
    {
        std::error_code ignored;
        if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
    }
    ScratchMachine(const ScratchMachine&) = delete;
    ScratchMachine& operator=(const ScratchMachine&) = delete;

private:
    std::filesystem::path path_;
};

// Runs the benchmarks named on the command line on a scratch machine.
inline int RunOnScratchMachine(int argc, char** argv, const char* name)
{
    ScratchMachine machine(name);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
