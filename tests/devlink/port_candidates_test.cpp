#include "port_candidates.h"

#include <gtest/gtest.h>

#include <cstdlib>

#ifdef _WIN32
TEST(PortCandidates, AreComOneToTwoHundredFiftyFive) {
    auto ports = PortCandidates();
    ASSERT_EQ(ports.size(), 255u);
    EXPECT_EQ(ports.front(), "\\\\.\\COM1");
    EXPECT_EQ(ports[9], "\\\\.\\COM10");
    EXPECT_EQ(ports.back(), "\\\\.\\COM255");
}
#else
TEST(PortCandidates, ComeFromTheEnvironmentWhenSet) {
    const char* saved = std::getenv("TEVRIX_PORTS");
    std::string keep = saved ? saved : "";
    ::setenv("TEVRIX_PORTS", "/dev/pts/7::/tmp/com2:", 1);
    EXPECT_EQ(PortCandidates(), (std::vector<std::string>{"/dev/pts/7", "/tmp/com2"}));
    ::setenv("TEVRIX_PORTS", "", 1);
    EXPECT_TRUE(PortCandidates().empty());
    std::string many;
    for (int i = 0; i < 300; ++i) {
        many += "/dev/p" + std::to_string(i) + ":";
    }
    ::setenv("TEVRIX_PORTS", many.c_str(), 1);
    EXPECT_EQ(PortCandidates().size(), 255u);
    if (saved) {
        ::setenv("TEVRIX_PORTS", keep.c_str(), 1);
    } else {
        ::unsetenv("TEVRIX_PORTS");
    }
}
#endif
