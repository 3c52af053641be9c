#include "support/temp_dir.h"

#include <atomic>
#include <chrono>
#include <system_error>

namespace halvern::testing {

TempDir::TempDir() {
    static std::atomic<unsigned> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    for (;;) {
        path_ = std::filesystem::temp_directory_path() /
                ("halvern-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
        std::error_code error;
        if (std::filesystem::create_directory(path_, error)) {
            return;
        }
    }
}

TempDir::~TempDir() {
    std::error_code error;
    std::filesystem::remove_all(path_, error);
}

}  // namespace halvern::testing
