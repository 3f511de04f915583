#include "port_candidates.h"
#include "scoped_ports.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#ifdef _WIN32
TEST(PortCandidates, AreComOneToTwoHundredFiftyFive) {
    ScopedPorts unset(nullptr);
    auto ports = PortCandidates();
    ASSERT_EQ(ports.size(), 255u);
    EXPECT_EQ(ports.front(), "\\\\.\\COM1");
    EXPECT_EQ(ports[9], "\\\\.\\COM10");
    EXPECT_EQ(ports.back(), "\\\\.\\COM255");
}

TEST(PortCandidates, ComeFromTheEnvironmentWhenSet) {
    struct Case {
        const char* list;
        std::vector<std::string> ports;
    } cases[] = {
        {"COM5;COM7", {"\\\\.\\COM5", "\\\\.\\COM7"}},
        {" COM12 ;;\\\\.\\COM3; ", {"\\\\.\\COM12", "\\\\.\\COM3"}},
        {";", {}},
    };
    for (const auto& c : cases) {
        ScopedPorts ports(c.list);
        EXPECT_EQ(PortCandidates(), c.ports) << c.list;
    }
}

TEST(PortAccessAdvice, NamesTheComPortAnotherProgramHolds) {
    EXPECT_EQ(PortAccessAdvice("\\\\.\\COM7", PortOpenError::Busy),
              "Could not open COM7: in use by another program.");
    EXPECT_EQ(PortAccessAdvice("\\\\.\\COM7", PortOpenError::Failed), "");
}
#else
#include <fstream>
#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A made-up system: device nodes, the console lists and the UART types, in a directory of its own.
class FixtureSystem {
  public:
    FixtureSystem() {
        char pattern[] = "/tmp/tevrix-ports-XXXXXX";
        root_ = ::mkdtemp(pattern);
        files.devices = root_ + "/dev";
        files.consoles = root_ + "/consoles";
        files.activeConsole = root_ + "/active";
        files.ttyClass = root_ + "/tty";
        ::mkdir(files.devices.c_str(), 0755);
        ::mkdir(files.ttyClass.c_str(), 0755);
    }
    ~FixtureSystem() { std::system(("rm -rf " + root_).c_str()); }
    FixtureSystem(const FixtureSystem&) = delete;
    FixtureSystem& operator=(const FixtureSystem&) = delete;

    void Write(const std::string& path, const std::string& text) { std::ofstream(path) << text; }
    // A device node; `uartType` < 0 leaves the driver's type unreported.
    std::string Device(const std::string& name, int uartType = -1) {
        Write(files.devices + "/" + name, "");
        if (uartType >= 0) {
            ::mkdir((files.ttyClass + "/" + name).c_str(), 0755);
            Write(files.ttyClass + "/" + name + "/type", std::to_string(uartType) + "\n");
        }
        return files.devices + "/" + name;
    }

    SystemPortFiles files;

  private:
    std::string root_;
};

} // namespace

TEST(PortCandidates, ComeFromTheEnvironmentWhenSet) {
    ScopedPorts list("/dev/pts/7::/tmp/com2:");
    EXPECT_EQ(PortCandidates(), (std::vector<std::string>{"/dev/pts/7", "/tmp/com2"}));
    {
        ScopedPorts empty("");
        EXPECT_TRUE(PortCandidates().empty());
    }
    std::string many;
    for (int i = 0; i < 300; ++i) {
        many += "/dev/p" + std::to_string(i) + ":";
    }
    ScopedPorts longList(many.c_str());
    EXPECT_EQ(PortCandidates().size(), 255u);
}

// The console (named by either list, or reached through a link) and ttyS nodes without a UART
// are never tried, whether found in the device directory or named in TEVRIX_PORTS.
TEST(PortCandidates, LeaveTheConsoleAndEmptyUartSlotsAlone) {
    FixtureSystem system;
    system.Write(system.files.consoles, "ttyS0                -W- (EC  p a)    4:64\n");
    system.Write(system.files.activeConsole, "tty0 ttyACM1\n");
    std::string console = system.Device("ttyS0", 4);
    std::string noUart = system.Device("ttyS1", 0);
    std::string uart = system.Device("ttyS10", 4);
    std::string unreported = system.Device("ttyS2");
    std::string usb = system.Device("ttyUSB0");
    std::string activeConsole = system.Device("ttyACM1");
    std::string bluetooth = system.Device("rfcomm0");
    system.Device("tty5");
    {
        ScopedPorts unset(nullptr);
        EXPECT_EQ(PortCandidates(system.files), (std::vector<std::string>{usb, bluetooth, unreported, uart}));
    }
    std::string byId = system.files.devices + "/by-id-console";
    ASSERT_EQ(::symlink(console.c_str(), byId.c_str()), 0);
    std::string list = console + ":" + usb + ":" + byId + ":" + noUart + ":/dev/console";
    ScopedPorts named(list.c_str());
    EXPECT_EQ(PortCandidates(system.files), std::vector<std::string>{usb});
}

// On this machine too: whatever the kernel's console is, the search does not try it.
TEST(PortCandidates, NeverIncludeThisSystemsConsole) {
    ScopedPorts unset(nullptr);
    std::ifstream consoles("/proc/consoles");
    std::string name;
    std::vector<std::string> ports = PortCandidates();
    for (std::string line; std::getline(consoles, line);) {
        name = line.substr(0, line.find(' '));
        for (const auto& port : ports) {
            EXPECT_NE(port, "/dev/" + name);
        }
    }
}

TEST(PortAccessAdvice, GivesTheUsualRemedy) {
    FixtureSystem system;
    std::string port = system.Device("ttyUSB0");
    EXPECT_EQ(PortAccessAdvice(port, PortOpenError::Busy),
              "Could not open " + port + ": in use by another program.");
    EXPECT_EQ(PortAccessAdvice(port, PortOpenError::Missing), "");
    EXPECT_EQ(PortAccessAdvice(port, PortOpenError::Failed), "");
}

// The permission advice goes by the node: the group that really may open it, or, where only its
// owner may, how to give it such a group.
TEST(PortAccessAdvice, NamesTheNodesOwnGroupOrHowToGiveItOne) {
    if (::getuid() != 0) {
        GTEST_SKIP() << "giving a node another owner needs the superuser";
    }
    FixtureSystem system;
    std::string port = system.Device("ttyUSB0");
    auto join = [&](const std::string& group) {
        return "Could not open " + port + ": permission denied. Add your user to the group " + group +
               " (sudo usermod -aG " + group + " $USER), then log in again.";
    };
    const std::string ownerOnly =
        "Could not open " + port +
        ": permission denied. Only its owner (root) may open it. To grant access, add a udev rule such as "
        "SUBSYSTEM==\"tty\", KERNEL==\"ttyUSB0\", GROUP=\"dialout\", MODE=\"0660\" to "
        "/etc/udev/rules.d/50-tevrix.rules, reload the rules (sudo udevadm control --reload-rules && sudo "
        "udevadm trigger), add your user to the group dialout (sudo usermod -aG dialout $USER) and log in "
        "again.";
    struct Case {
        const char* group;
        mode_t mode;
        bool ownerOnly;
    } cases[] = {
        {"dialout", 0660, false}, {"tty", 0660, false}, {"tty", 0620, true},
        {"dialout", 0600, true},  {"root", 0660, true},
    };
    for (const Case& c : cases) {
        ::group* entry = ::getgrnam(c.group);
        ASSERT_NE(entry, nullptr) << c.group;
        ASSERT_EQ(::chown(port.c_str(), 0, entry->gr_gid), 0);
        ASSERT_EQ(::chmod(port.c_str(), c.mode), 0);
        EXPECT_EQ(PortAccessAdvice(port, PortOpenError::Denied), c.ownerOnly ? ownerOnly : join(c.group))
            << c.group << " " << std::oct << c.mode;
    }
    EXPECT_EQ(PortAccessAdvice(system.Device("ttyUSB1") + "-gone", PortOpenError::Denied),
              "Could not open " + system.Device("ttyUSB1") +
                  "-gone: permission denied. Add your user to the group dialout (sudo usermod -aG dialout "
                  "$USER), then log in again.");
}
#endif
