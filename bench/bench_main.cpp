// Measures the device library and the executor over a real pseudo-terminal against tevrix-sim
// with a paced line, and prints Markdown tables of the results.
// Usage: tevrix-bench [SIMULATOR] [SECTION], SECTION one of search, runs, transfers, ceiling,
// monitor (all of them when none is named).
#include "app_state.h"
#include "bench_cases.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <string>
#include <sys/utsname.h>
#include <unistd.h>

namespace {

void PrintMachine() {
    char date[64];
    std::time_t now = std::time(nullptr);
    std::strftime(date, sizeof date, "%Y-%m-%d %H:%M UTC", std::gmtime(&now));
    utsname system{};
    uname(&system);
    double load[3] = {};
    getloadavg(load, 3);
    std::printf("Run %s on %s %s %s, %ld CPUs online, load average %.2f %.2f %.2f\n", date, system.sysname,
                system.release, system.machine, sysconf(_SC_NPROCESSORS_ONLN), load[0], load[1], load[2]);
}

} // namespace

int main(int argc, char** argv) {
    std::string simulator = argc > 1 && argv[1][0] != '\0' ? argv[1] : TEVRIX_SIM;
    char dirTemplate[] = "/tmp/tevrix-bench-XXXXXX";
    const char* dir = mkdtemp(dirTemplate);
    if (dir == nullptr) {
        std::perror("mkdtemp");
        return 1;
    }
    // What a search remembers between runs stays in the scratch directory, off the user's home.
    setenv("XDG_STATE_HOME", (std::string(dir) + "/state").c_str(), 1);
    // Messages of the executor go nowhere; the tables are the output.
    g_app.consoleMode = 0;
    PrintMachine();

    const std::string only = argc > 2 ? argv[2] : "";
    auto wanted = [&](const char* section) { return only.empty() || only == section; };

    std::vector<TimeRow> search;
    if (wanted("search")) {
        RunSearchBench(simulator, &search);
        PrintTimeTable("Hardware search", search);
    }

    std::vector<TimeRow> runs;
    if (wanted("runs")) {
        RunRememberedPortBench(simulator, TEVRIX_PROGRAM, dir, &runs);
        PrintTimeTable("Whole runs", runs);
    }

    std::vector<TransferRow> transfers;
    std::vector<TimeRow> trips;
    if (wanted("transfers")) {
        RunTransferBench(simulator, dir, 115200, &transfers, &trips);
        RunTransferBench(simulator, dir, 921600, &transfers, &trips);
        RunAdapterLatencyBench(simulator, &transfers);
        PrintTransferTable(transfers);
        PrintTimeTable("Turnaround", trips);
    }

    std::vector<TransferRow> ceiling;
    if (wanted("ceiling")) {
        RunCeilingBench(&ceiling);
        PrintTransferTable(ceiling);
    }

    std::vector<TimeRow> monitor;
    if (wanted("monitor")) {
        RunMonitorLatencyBench(simulator, dir, &monitor);
        RunMonitorCpuBench(dir, &monitor);
        PrintTimeTable("Monitor", monitor);
    }

    search.insert(search.end(), runs.begin(), runs.end());
    search.insert(search.end(), monitor.begin(), monitor.end());
    bool met = AllMet(transfers, search);
    std::printf("\n%s\n", met ? "All targets met." : "Some targets missed (see the tables).");
    PrintMachine();
    std::filesystem::remove_all(dir);
    // Missed targets are reported, not failed: only a transfer that moved wrong bytes fails.
    return AllCorrect(transfers) ? 0 : 1;
}
