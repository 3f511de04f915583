#include "temp_dir.h"

#include <atomic>
#include <chrono>

TempDir::TempDir() {
    static std::atomic<int> serial{0};
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    root_ = std::filesystem::temp_directory_path() /
            ("tevrix-test-" + std::to_string(stamp) + "-" + std::to_string(serial++));
    std::filesystem::create_directories(root_);
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}
