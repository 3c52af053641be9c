#include "platform/folder_entries.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "fixtures/temp_dir.h"
#include "platform/directory_identity.h"

namespace halvern {
namespace {

namespace fs = std::filesystem;
using platform::FolderEntryKind;

TEST(FolderEntries, EachEntryWithItsKindAndTheFolderByItsIdentity) {
    testing::TempDir dir;
    const fs::path folder = dir.path() / "Sim";
    fs::create_directories(folder / "Addon");
    std::ofstream(folder / "a.bgl") << "x";
    fs::create_directory_symlink(folder / "Addon", folder / "ToAddon");
    fs::create_symlink(folder / "a.bgl", folder / "ToFile.bgl");
    fs::create_symlink(folder / "gone", folder / "Dangling");
    std::map<std::string, FolderEntryKind> seen;
    const std::string identity = platform::ListFolderEntries(
        folder, [&](const fs::path::string_type& name, FolderEntryKind kind) {
            seen.emplace(fs::path(name).string(), kind);
        });
    const std::map<std::string, FolderEntryKind> expected = {
        {"Addon", FolderEntryKind::kFolder},         {"a.bgl", FolderEntryKind::kFile},
        {"ToAddon", FolderEntryKind::kLinkToFolder}, {"ToFile.bgl", FolderEntryKind::kFile},
        {"Dangling", FolderEntryKind::kOther},
    };
    EXPECT_EQ(seen, expected);
    EXPECT_EQ(identity, platform::DirectoryIdentity(folder.string().c_str()));

    bool called = false;
    EXPECT_EQ(
        platform::ListFolderEntries(folder / "a.bgl", [&](const fs::path::string_type&,
                                                          FolderEntryKind) { called = true; }),
        "");
    EXPECT_FALSE(called);
}

}  // namespace
}  // namespace halvern
