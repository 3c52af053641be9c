#include "platform/directory_listing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "fixtures/temp_dir.h"

namespace halvern {
namespace {

namespace fs = std::filesystem;
using platform::DirectoryListing;
using platform::FileEntry;

// The directory in the host's form: backslash separators and a trailing separator.
std::string HostForm(const fs::path& directory) {
    std::string text = directory.string();
    std::replace(text.begin(), text.end(), '/', '\\');
    return text + '\\';
}

std::map<std::string, FileEntry> ListAll(const std::string& hostDirectory) {
    std::map<std::string, FileEntry> entries;
    DirectoryListing listing(hostDirectory.c_str());
    FileEntry entry{};
    while (listing.Next(entry)) {
        EXPECT_TRUE(entries.emplace(entry.name, entry).second) << "listed twice: " << entry.name;
    }
    EXPECT_FALSE(listing.Next(entry)) << "a finished listing stays finished";
    return entries;
}

TEST(DirectoryListing, ListsBglNamesIgnoringCaseFilesAndDirectoriesAlike) {
    testing::TempDir dir;
    for (const char* name :
         {"a.bgl", "B.BGL", "c.Bgl", ".bgl", "x.bglx", "x.txt", "bgl", "a.bgl.bak"}) {
        std::ofstream(dir.File(name)) << "12345";
    }
    fs::permissions(dir.File("c.Bgl"), fs::perms::owner_read);
    fs::create_directory(dir.path() / "sub.bgl");
    fs::create_directory(dir.path() / "sub");
    std::ofstream(dir.File("sub/inner.bgl")) << "not listed: one level only";

    const auto entries = ListAll(HostForm(dir.path()));
    std::string names;
    for (const auto& [name, entry] : entries) {
        names += name + " ";
    }
    // "x.bglx" is no short (8.3) name, and the short name the system makes of it ends in ".BGL".
    EXPECT_EQ(names, ".bgl B.BGL a.bgl c.Bgl sub.bgl x.bglx ");

    ASSERT_EQ(entries.count("a.bgl"), 1u);
    EXPECT_EQ(entries.at("a.bgl").size, 5u);
    EXPECT_EQ(entries.at("a.bgl").attributes, 0x80u);
    EXPECT_EQ(entries.at("c.Bgl").attributes & 0x01u, 0x01u);  // nobody may write it
    ASSERT_EQ(entries.count("sub.bgl"), 1u);
    EXPECT_EQ(entries.at("sub.bgl").size, 0u);
    EXPECT_EQ(entries.at("sub.bgl").attributes, 0x10u);
}

TEST(DirectoryListing, ListsNamesInTheHostsCodePageAndOrderAsWineDoes) {
    // Names as the disk holds them (UTF-8, or bytes that are none) and the listing Wine's
    // kernel32 gave of them, measured: sorted by the UTF-16 units in upper case (letters before
    // "[_{~", the micro sign and sharp s without an upper case), ties in the units' own order;
    // names in Windows-1252, its best fit or '?'; "*.bgl" matching the made short names too.
    const std::vector<std::string> disk = {" x",     "[q]",        "_x",
                                           "~t",     "{x",         "A",
                                           "a",      "AB",         "ab",
                                           "ABC",    "Abc",        "aBc",
                                           "abc",    "B1",         "a2",
                                           "Zed",    "09",         "10",
                                           "\u00E9", "\u00C9",     "\u00FF",
                                           "\u0178", "\u0161",     "\u0153",
                                           "\u00B5", "\u00DF",     "\u20AC",
                                           "\u00A0", "\u0100",     "\u0142",
                                           "\u0434", "\U0001F600", "\u0141\u00F3d\u017A"};
    testing::TempDir dir;
    for (const std::string& name : disk) {
        std::ofstream(dir.File(name + ".bgl")) << "x";
    }
    for (const char* name :
         {"\xE9.bgl", "zz.BGL", "abcdefghij.bglx", "x.bgla", "x.bgl.bak", "notes.txt", "bgl"}) {
        std::ofstream(dir.File(name)) << "x";
    }
    const std::vector<std::string> expected = {" x.bgl",
                                               "09.bgl",
                                               "10.bgl",
                                               "A.bgl",
                                               "a.bgl",
                                               "a2.bgl",
                                               "AB.bgl",
                                               "ab.bgl",
                                               "ABC.bgl",
                                               "Abc.bgl",
                                               "aBc.bgl",
                                               "abc.bgl",
                                               "abcdefghij.bglx",
                                               "B1.bgl",
                                               "x.bgla",
                                               "Zed.bgl",
                                               "zz.BGL",
                                               "[q].bgl",
                                               "_x.bgl",
                                               "{x.bgl",
                                               "~t.bgl",
                                               "\xA0.bgl",
                                               "\xB5.bgl",
                                               "\xC9.bgl",
                                               "\xE9.bgl",
                                               "\xDF.bgl",
                                               "A.bgl",
                                               "l.bgl",
                                               "L\xF3"
                                               "dz.bgl",
                                               "\x9C.bgl",
                                               "\x9A.bgl",
                                               "\xFF.bgl",
                                               "\x9F.bgl",
                                               "?.bgl",
                                               "\x80.bgl",
                                               "??.bgl",
                                               "?.bgl"};
    std::vector<std::string> listed;
    DirectoryListing listing(HostForm(dir.path()).c_str());
    for (FileEntry entry{}; listing.Next(entry);) {
        listed.emplace_back(entry.name);
    }
    EXPECT_EQ(listed, expected);
}

TEST(DirectoryListing, LastWriteTimeCountsHundredNanosecondsSince1601) {
    using namespace std::chrono;
    constexpr std::uint64_t k1970 = 116444736000000000;  // 1 January 1970 in the host's count
    const struct {
        sys_time<nanoseconds> written;
        std::uint64_t expected;
    } cases[] = {
        {sys_days{1970y / 1 / 1}, k1970},
        {sys_days{2021y / 3 / 4} + 5h + 6min + 7s + 123456789ns,
         k1970 + 1614834367ull * 10000000 + 1234567},
        {sys_days{1960y / 1 / 1} + 999ns, k1970 - 315619200ull * 10000000 + 9},
    };
    testing::TempDir dir;
    const fs::path file = dir.path() / "t.bgl";
    std::ofstream(file) << "x";
    for (const auto& c : cases) {
        fs::last_write_time(file, file_clock::from_sys(c.written));
        const auto entries = ListAll(HostForm(dir.path()));
        ASSERT_EQ(entries.count("t.bgl"), 1u);
        EXPECT_EQ(entries.at("t.bgl").lastWriteTime, c.expected);
    }
}

TEST(DirectoryListing, AMissingDirectoryListsNothing) {
    testing::TempDir dir;
    EXPECT_TRUE(ListAll(HostForm(dir.path() / "absent")).empty());
    std::ofstream(dir.File("file.bgl")) << "x";
    EXPECT_TRUE(ListAll(HostForm(dir.path() / "file.bgl")).empty());  // not a directory
    DirectoryListing none(nullptr);
    FileEntry entry{};
    EXPECT_FALSE(none.Next(entry));
}

}  // namespace
}  // namespace halvern
