#include "bench_link.h"

#include "corvane.h"
#include "program_device.h"

#include <cstdlib>

namespace {

std::vector<std::string> Paced(std::vector<std::string> options) {
    options.push_back("--pace");
    return options;
}

} // namespace

void SetSearchCandidates(const std::vector<std::string>& paths) {
    std::string list;
    for (const auto& path : paths) {
        list += (list.empty() ? "" : ":") + path;
    }
    ::setenv("TEVRIX_PORTS", list.c_str(), 1);
}

BenchLink::BenchLink(const std::string& simulator, std::vector<std::string> options)
    : sim_(simulator, Paced(std::move(options))) {}

BenchLink::~BenchLink() {
    ClosePort(&g_device);
}

bool BenchLink::Connect(std::uint32_t baud) {
    if (Path().empty()) {
        return false;
    }
    SetSearchCandidates({Path()});
    char name[kHardwareNameSize];
    if ((FindHardware(&g_device, name, nullptr) & CAPS_EMULATION) == 0) {
        return false;
    }
    SetVendorID(&g_device, 3);
    std::uint32_t index = 921600 / baud - 1;
    return g_device.baudIndex == index || SetUSBBaud(&g_device, index) == CV_S_OK;
}
