#include "temp_dir.h"

#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>

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

void WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::uint8_t> ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::uint8_t> CountingBytes(std::size_t size) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<std::uint8_t>(i);
    }
    return bytes;
}
