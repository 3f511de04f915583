#include "port_candidates.h"

#include <algorithm>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <grp.h>
#include <pwd.h>
#include <set>
#include <sstream>
#include <string_view>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef __linux__
#include <linux/serial.h>
#endif

namespace {

// Device names of serial ports, in the order they are tried: USB adapters first.
#ifdef __APPLE__
constexpr std::string_view kPrefixes[] = {"cu."};
#else
constexpr std::string_view kPrefixes[] = {"ttyUSB", "ttyACM", "rfcomm", "ttyS"};
#endif

// Shorter numbers first, so that ttyS2 comes before ttyS10.
bool NaturalLess(const std::string& a, const std::string& b) {
    return a.size() != b.size() ? a.size() < b.size() : a < b;
}

std::vector<std::string> FromEnvironment(const char* list) {
    std::vector<std::string> ports;
    std::string_view rest(list);
    while (!rest.empty() && ports.size() < kMaxPortCandidates) {
        std::size_t colon = rest.find(':');
        std::string_view path = rest.substr(0, colon);
        if (!path.empty()) {
            ports.emplace_back(path);
        }
        rest = colon == std::string_view::npos ? std::string_view{} : rest.substr(colon + 1);
    }
    return ports;
}

std::vector<std::string> PresentDevices(const std::string& directory) {
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(directory.c_str())) {
        while (dirent* entry = ::readdir(dir)) {
            names.emplace_back(entry->d_name);
        }
        ::closedir(dir);
    }
    std::vector<std::string> ports;
    for (std::string_view prefix : kPrefixes) {
        std::vector<std::string> group;
        for (const auto& name : names) {
            if (name.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0) {
                group.push_back(name);
            }
        }
        std::sort(group.begin(), group.end(), NaturalLess);
        for (const auto& name : group) {
            ports.push_back(directory + "/" + name);
        }
    }
    return ports;
}

// The kernel's name of the terminal at `path` ("ttyS0"), following links such as
// /dev/serial/by-id/...
std::string TerminalName(const std::string& path) {
    char resolved[4096];
    std::string real = ::realpath(path.c_str(), resolved) != nullptr ? resolved : path;
    return real.substr(real.find_last_of('/') + 1);
}

// The terminals the kernel writes its messages to: the first word of each line of the console
// list, and every word of the active console file.
std::set<std::string> ConsoleNames(const SystemPortFiles& files) {
    std::set<std::string> names{"console"};
    std::ifstream consoles(files.consoles);
    for (std::string line; std::getline(consoles, line);) {
        std::istringstream words(line);
        std::string name;
        if (words >> name) {
            names.insert(name);
        }
    }
    std::ifstream active(files.activeConsole);
    for (std::string name; active >> name;) {
        names.insert(name);
    }
    return names;
}

// A ttyS node exists for every UART the driver could have; most PCs have none behind ttyS1 and
// up, and writes to such a node go nowhere. The driver reports the UART type 0 for them.
bool HasNoUart(const std::string& path, const std::string& name, const SystemPortFiles& files) {
    std::ifstream typeFile(files.ttyClass + "/" + name + "/type");
    int type = -1;
    if (typeFile >> type) {
        return type == 0;
    }
#ifdef __linux__
    int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    serial_struct info{};
    bool none = ::ioctl(fd, TIOCGSERIAL, &info) == 0 && info.type == PORT_UNKNOWN;
    ::close(fd);
    return none;
#else
    (void)path;
    return false;
#endif
}

bool LeftAlone(const std::string& path, const std::set<std::string>& consoles, const SystemPortFiles& files) {
    std::string name = TerminalName(path);
    if (consoles.count(name) != 0) {
        return true;
    }
    return name.rfind("ttyS", 0) == 0 && HasNoUart(path, name, files);
}

std::string GroupName(gid_t gid) {
    std::vector<char> buffer(4096);
    group entry{};
    group* found = nullptr;
    if (::getgrgid_r(gid, &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr) {
        return found->gr_name;
    }
    return std::to_string(gid);
}

std::string UserName(uid_t uid) {
    std::vector<char> buffer(4096);
    passwd entry{};
    passwd* found = nullptr;
    if (::getpwuid_r(uid, &entry, buffer.data(), buffer.size(), &found) == 0 && found != nullptr) {
        return found->pw_name;
    }
    return std::to_string(uid);
}

std::string JoinGroupAdvice(const std::string& path, const std::string& group) {
    return "Could not open " + path + ": permission denied. Add your user to the group " + group +
           " (sudo usermod -aG " + group + " $USER), then log in again.";
}

// Joining the node's group helps only when its group may read and write it, and the superuser's
// group is no group to join: otherwise only the owner may open it, and a udev rule has to give
// the node a group first.
std::string DeniedAdvice(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        return JoinGroupAdvice(path, "dialout");
    }
    constexpr mode_t kGroupReadWrite = S_IRGRP | S_IWGRP;
    if ((info.st_mode & kGroupReadWrite) == kGroupReadWrite && info.st_gid != 0) {
        return JoinGroupAdvice(path, GroupName(info.st_gid));
    }
    return "Could not open " + path + ": permission denied. Only its owner (" + UserName(info.st_uid) +
           ") may open it. To grant access, add a udev rule such as SUBSYSTEM==\"tty\", KERNEL==\"" +
           TerminalName(path) +
           "\", GROUP=\"dialout\", MODE=\"0660\" to /etc/udev/rules.d/50-tevrix.rules, reload the rules "
           "(sudo udevadm control --reload-rules && sudo udevadm trigger), add your user to the group "
           "dialout "
           "(sudo usermod -aG dialout $USER) and log in again.";
}

} // namespace

std::vector<std::string> PortCandidates(const SystemPortFiles& files) {
    const char* list = std::getenv("TEVRIX_PORTS");
    std::vector<std::string> named = list != nullptr ? FromEnvironment(list) : PresentDevices(files.devices);
    std::set<std::string> consoles = ConsoleNames(files);
    std::vector<std::string> ports;
    for (const auto& path : named) {
        if (ports.size() < kMaxPortCandidates && !LeftAlone(path, consoles, files)) {
            ports.push_back(path);
        }
    }
    return ports;
}

std::vector<std::string> PortCandidates() {
    return PortCandidates(SystemPortFiles{});
}

std::string PortDisplayName(const std::string& path) {
    return path;
}

std::string PortAccessAdvice(const std::string& path, PortOpenError reason) {
    switch (reason) {
    case PortOpenError::Denied:
        return DeniedAdvice(path);
    case PortOpenError::Busy:
        return "Could not open " + path + ": in use by another program.";
    default:
        return "";
    }
}
