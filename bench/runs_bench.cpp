// Whole runs of the program: what remembering the port between runs saves a user whose emulator
// sits behind ports that never answer.
#include "bench_cases.h"

#include "bench_link.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace {

// One console run of the program writing the file, with these candidate ports and this state
// folder; its wall time, or a negative time when it failed.
double TimedRun(const std::string& program, const std::string& dir, const std::string& ports,
                const std::string& state) {
    std::string command = "cd '" + dir + "' && TEVRIX_PORTS='" + ports + "' XDG_STATE_HOME='" + state +
                          "' '" + program +
                          "' -write -infile runs16.bin -noquitprompt </dev/null >/dev/null 2>&1";
    auto start = BenchClock::now();
    int status = std::system(command.c_str());
    double seconds = SecondsSince(start);
    return status == 0 ? seconds : -seconds;
}

std::string Note(double seconds) {
    return seconds < 0 ? "FAILED" : "SUCCESS";
}

} // namespace

void RunRememberedPortBench(const std::string& simulator, const std::string& program, const std::string& dir,
                            std::vector<TimeRow>* rows) {
    if (FILE* file = std::fopen((dir + "/runs16.bin").c_str(), "wb")) {
        std::fwrite("0123456789abcdef", 1, 16, file);
        std::fclose(file);
    }
    SimProcess silent1(simulator, {"--fault", "silent"});
    SimProcess silent2(simulator, {"--fault", "silent"});
    BenchLink link(simulator, {"--model", "corvane"});
    const std::string state = dir + "/runs-state";
    const std::string behind = silent1.Path() + ":" + silent2.Path() + ":" + link.Path();

    std::filesystem::remove_all(state);
    double alone = TimedRun(program, dir, link.Path(), state);
    std::filesystem::remove_all(state);
    double first = TimedRun(program, dir, behind, state);
    double second = TimedRun(program, dir, behind, state);

    char ratio[64];
    std::snprintf(ratio, sizeof ratio, "%s; first run %.1f times as long", Note(second).c_str(),
                  second > 0 ? first / second : 0.0);
    rows->push_back({"16-byte write behind two silent ports, first run", first, 0, Note(first)});
    // Within 0.3 s of the run with no other port.
    rows->push_back(
        {"same write, second run (port remembered)", second, alone > 0 ? alone + 0.3 : 0.001, ratio});
    rows->push_back({"same write with no other port", alone, 0, Note(alone)});
}
