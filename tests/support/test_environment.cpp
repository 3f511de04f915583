// Linked into every test program: the program runs with a home and state folders of its own,
// made at start and removed at exit, so that nothing a test does (a search remembering its port
// above all) reaches the user's home or another test's.
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace {

void SetVariable(const char* name, const std::filesystem::path& value) {
#ifdef _WIN32
    ::_putenv_s(name, value.string().c_str());
#else
    ::setenv(name, value.string().c_str(), 1);
#endif
}

struct OwnHome {
    OwnHome() {
        auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
        root = std::filesystem::temp_directory_path() / ("tevrix-home-" + std::to_string(stamp));
        std::error_code ignored;
        std::filesystem::create_directories(root / "state", ignored);
        std::filesystem::create_directories(root / "local", ignored);
        SetVariable("HOME", root);
        SetVariable("XDG_STATE_HOME", root / "state");
        SetVariable("LOCALAPPDATA", root / "local");
    }
    ~OwnHome() {
        std::error_code ignored;
        std::filesystem::remove_all(root, ignored);
    }
    std::filesystem::path root;
};

const OwnHome g_ownHome;

} // namespace
