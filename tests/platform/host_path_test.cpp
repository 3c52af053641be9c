// Host paths on this disk as the host platform finds them: in its code page, without regard to
// letter case, and within its path limit, through the platform's public calls.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include "fixtures/long_path.h"
#include "fixtures/temp_dir.h"
#include "platform/file_access.h"
#include "platform/mapped_file.h"

namespace halvern {
namespace {

namespace fs = std::filesystem;

std::string HostForm(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

// The bytes of the file a host path opens; "(none)" when it opens none.
std::string Opened(const std::string& hostPath) {
    platform::MappedFile file;
    if (!file.Open(hostPath.c_str())) {
        return "(none)";
    }
    return std::string(reinterpret_cast<const char*>(file.data()), file.size());
}

TEST(HostPath, NamesAreFoundAsTheHostPlatformFindsThem) {
    testing::TempDir dir;
    const auto write = [&dir](const std::string& path, const std::string& text) {
        fs::create_directories(fs::path(dir.File(path)).parent_path());
        std::ofstream(dir.File(path), std::ios::binary) << text;
    };
    write("Addons/A1/scenery/a.bgl", "a");
    write("Caf\u00E9/x.bgl", "cafe");
    write("\u00FF.txt", "y diaeresis");
    write("\u00DF.txt", "sharp s");
    write("q?.txt", "a wildcard");
    const std::string base = HostForm(dir.path().string()) + '\\';
    const struct {
        std::string path;
        std::string opens;
    } cases[] = {
        {"ADDONS\\a1\\SCENERY\\A.BGL", "a"},
        {"Caf\xE9\\x.bgl", "cafe"},  // Windows-1252 host text, UTF-8 on the disk
        {"CAF\xC9\\X.BGL", "cafe"},
        {"Caf\xC3\xA9\\x.bgl", "(none)"},  // UTF-8 bytes are other characters to the host
        {"\x9F.txt", "y diaeresis"},       // capital Y with diaeresis
        {"SS.txt", "(none)"},              // sharp s has no upper case of one character
        {"q?.txt", "(none)"},              // a wildcard names no file
        {"Addons\\A2\\scenery\\a.bgl", "(none)"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Opened(base + c.path), c.opens) << c.path;
        EXPECT_EQ(platform::FileExists((base + c.path).c_str()), c.opens != "(none)") << c.path;
    }
}

TEST(HostPath, AFileIsCreatedOverTheOneOfAnyCaseAndNoPathBeyondTheLimitIsOpened) {
    testing::TempDir dir;
    std::ofstream(dir.File("HalvernCache.dat")) << "old";
    const std::string base = HostForm(dir.path().string()) + '\\';
    {
        const platform::HostStream stream =
            platform::OpenHostFile((base + "HALVERNCACHE.DAT").c_str(), "wb");
        ASSERT_TRUE(stream);
        std::fputs("new", stream.get());
    }
    EXPECT_EQ(Opened(base + "HalvernCache.dat"), "new");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 1);

    // A file whose path has 259 characters opens; one of 260 does not, though it exists.
    const fs::path deep = testing::DirectoryOfLength(dir.path(), 250);
    for (const std::size_t length : {259u, 260u}) {
        const std::string name(length - deep.string().size() - 1, 'f');
        std::ofstream(deep / name) << "x";
        const std::string path = HostForm((deep / name).string());
        ASSERT_EQ(path.size(), length);
        EXPECT_EQ(Opened(path), length == 259 ? "x" : "(none)") << length;
        EXPECT_EQ(platform::KindOfFile(path.c_str()) == platform::FileKind::kRegular, length == 259)
            << length;
    }
}

}  // namespace
}  // namespace halvern
