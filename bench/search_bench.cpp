#include "bench_cases.h"

#include "bench_link.h"
#include "corvane.h"
#include "program_device.h"

namespace {

// The state of a fresh run: nothing remembered yet.
void ForgetLastDevice() {
    ClosePort(&g_device);
    g_device.lastPortIndex = 0;
    g_device.lastBaudIndex = 7;
}

double TimedSearch(bool* found) {
    char name[kHardwareNameSize];
    auto start = BenchClock::now();
    *found = FindHardware(&g_device, name, nullptr) != 0;
    return SecondsSince(start);
}

} // namespace

void RunSearchBench(const std::string& simulator, std::vector<TimeRow>* rows) {
    bool found = false;
    {
        BenchLink link(simulator, {"--model", "corvane"});
        ForgetLastDevice();
        SetSearchCandidates({link.Path()});
        double seconds = TimedSearch(&found);
        rows->push_back({"device on the first candidate", seconds, 0, found ? "found" : "NOT FOUND"});
    }
    {
        // Two ports that never answer come before the device, which runs at 921600 baud.
        SimProcess silent1(simulator, {"--fault", "silent"});
        SimProcess silent2(simulator, {"--fault", "silent"});
        BenchLink link(simulator, {"--model", "corvane", "--rate", "921600"});
        ForgetLastDevice();
        SetSearchCandidates({silent1.Path(), silent2.Path(), link.Path()});
        double first = TimedSearch(&found);
        rows->push_back({"device on the third candidate at 921600, first search", first, 0,
                         found ? "found" : "NOT FOUND"});
        double again = TimedSearch(&found);
        rows->push_back(
            {"same device again (remembered port and rate)", again, 0.3, found ? "found" : "NOT FOUND"});
    }
    ForgetLastDevice();
    SetSearchCandidates({});
    double none = TimedSearch(&found);
    rows->push_back({"no candidate port: give up", none, 0, found ? "FOUND?" : "none found"});
}
