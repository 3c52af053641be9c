#include "platform/mapped_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "fixtures/temp_dir.h"
#include "scenery/scenery_file_writer.h"

namespace halvern {
namespace {

namespace fs = std::filesystem;

std::string HostForm(const fs::path& path) {
    std::string text = path.string();
    std::replace(text.begin(), text.end(), '/', '\\');
    return text;
}

std::vector<unsigned char> Pattern(std::size_t size) {
    std::vector<unsigned char> bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<unsigned char>((i * 131 + i / 4096) & 0xFF);
    }
    return bytes;
}

TEST(MappedFile, HoldsExactlyTheFileBytesWhetherReadOrMapped) {
    testing::TempDir dir;
    // On POSIX systems files up to 1 MiB are read into memory and larger ones mapped: sizes on
    // both sides of that boundary.
    const std::size_t sizes[] = {1,        4095,           4096,    8193, (1u << 20) - 1,
                                 1u << 20, (1u << 20) + 1, 3u << 20};
    for (const std::size_t size : sizes) {
        const fs::path path = dir.path() / ("f" + std::to_string(size) + ".bgl");
        const std::vector<unsigned char> bytes = Pattern(size);
        ASSERT_TRUE(scenery::WriteBytes(path.string(), bytes));
        platform::MappedFile file;
        ASSERT_TRUE(file.Open(HostForm(path).c_str())) << size;
        ASSERT_EQ(file.size(), size);
        EXPECT_EQ(std::memcmp(file.data(), bytes.data(), size), 0) << size;
    }
}

TEST(MappedFile, OpeningAgainReplacesTheFormerFile) {
    testing::TempDir dir;
    ASSERT_TRUE(scenery::WriteBytes((dir.path() / "small.bgl").string(), Pattern(100)));
    ASSERT_TRUE(scenery::WriteBytes((dir.path() / "large.bgl").string(), Pattern(2u << 20)));
    platform::MappedFile file;
    for (const char* name : {"small.bgl", "large.bgl", "small.bgl", "missing.bgl"}) {
        const bool opened = file.Open(HostForm(dir.path() / name).c_str());
        EXPECT_EQ(opened, std::strcmp(name, "missing.bgl") != 0) << name;
        EXPECT_EQ(file.size(), std::strcmp(name, "small.bgl") == 0   ? 100u
                               : std::strcmp(name, "large.bgl") == 0 ? (2u << 20)
                                                                     : 0u)
            << name;
        EXPECT_EQ(file.data() == nullptr, !opened) << name;
    }
}

TEST(MappedFile, EmptyFilesDirectoriesAndMissingFilesCannotBeOpened) {
    testing::TempDir dir;
    ASSERT_TRUE(scenery::WriteBytes((dir.path() / "empty.bgl").string(), {}));
    fs::create_directory(dir.path() / "folder.bgl");
    for (const char* name : {"empty.bgl", "folder.bgl", "missing.bgl"}) {
        platform::MappedFile file;
        EXPECT_FALSE(file.Open(HostForm(dir.path() / name).c_str())) << name;
        EXPECT_EQ(file.data(), nullptr) << name;
        EXPECT_EQ(file.size(), 0u) << name;
    }
}

}  // namespace
}  // namespace halvern
