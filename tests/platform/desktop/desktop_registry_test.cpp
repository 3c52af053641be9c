// The portable desktop's registry: RegistryKey as the module uses it, kept in a file under
// XDG_CONFIG_HOME that outlives the process and survives damage.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "fixtures/temp_dir.h"
#include "platform/desktop.h"
#include "platform/desktop/desktop_fixture.h"
#include "platform/posix/desktop/portable_desktop.h"

namespace halvern {
namespace {

namespace desktop = platform::desktop;
using platform::RegistryKey;
using testing::DesktopTest;

constexpr const char* kSettingsKey = "Software\\Tavrel Software\\Halvern";
constexpr std::uint32_t kRegSz = 1;
constexpr std::uint32_t kRegDword = 4;

// Every test has a configuration directory of its own, named by XDG_CONFIG_HOME as a user's
// session would name it.
class DesktopRegistry : public DesktopTest {
  protected:
    void SetUp() override {
        if (const char* previous = std::getenv("XDG_CONFIG_HOME")) {
            previous_ = previous;
        }
        setenv("XDG_CONFIG_HOME", dir_.path().c_str(), 1);
        DesktopTest::SetUp();
    }
    void TearDown() override {
        DesktopTest::TearDown();
        if (previous_) {
            setenv("XDG_CONFIG_HOME", previous_->c_str(), 1);
        } else {
            unsetenv("XDG_CONFIG_HOME");
        }
    }

    std::filesystem::path RegistryFile() const { return dir_.path() / "halvern" / "registry"; }

    void WriteRegistryFile(const std::string& text) const {
        std::filesystem::create_directories(RegistryFile().parent_path());
        std::ofstream(RegistryFile(), std::ios::binary) << text;
    }

    static std::optional<std::uint32_t> QueryDword(const RegistryKey& key, const char* name) {
        std::uint32_t value = 0;
        std::uint32_t size = sizeof value;
        if (!key.QueryValue(name, &value, size) || size != sizeof value) {
            return std::nullopt;
        }
        return value;
    }

    testing::TempDir dir_;
    std::optional<std::string> previous_;
};

TEST_F(DesktopRegistry, ValuesOutliveTheProcessInTheFileUnderTheConfigDirectory) {
    {
        RegistryKey key;
        ASSERT_TRUE(key.OpenOrCreate(kSettingsKey));
        ASSERT_TRUE(key.SetDword("AirportOptions", 0x4D));
        ASSERT_TRUE(key.SetDword("AirportMaxDistance", 250));
        ASSERT_TRUE(key.SetDword("Version", 11000));
        ASSERT_TRUE(key.SetDword("AirportOptions", 2));  // a second write replaces the first
    }
    EXPECT_EQ(desktop::RegistryFilePath(), RegistryFile().string());
    ASSERT_TRUE(std::filesystem::exists(RegistryFile()));

    desktop::Reset();  // as a new process
    RegistryKey key;
    ASSERT_TRUE(key.OpenOrCreate("SOFTWARE\\tavrel software\\HALVERN"));  // any letter case
    EXPECT_EQ(QueryDword(key, "AirportOptions"), 2u);
    EXPECT_EQ(QueryDword(key, "airportmaxdistance"), 250u);
    EXPECT_EQ(QueryDword(key, "Version"), 11000u);
    EXPECT_EQ(QueryDword(key, "Missing"), std::nullopt);

    // Stored as four little-endian bytes of type REG_DWORD.
    const std::optional<desktop::RegistryValue> raw =
        desktop::ReadRegistryValue(kSettingsKey, "Version");
    ASSERT_TRUE(raw.has_value());
    EXPECT_EQ(raw->type, kRegDword);
    EXPECT_EQ(raw->data, (std::vector<unsigned char>{0xF8, 0x2A, 0x00, 0x00}));

    // The file is replaced whole: no temporary file stays behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(RegistryFile().parent_path()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST_F(DesktopRegistry, AKeyCreatedWithoutValuesExistsAtTheNextStart) {
    {
        RegistryKey key;
        ASSERT_TRUE(key.OpenOrCreate(kSettingsKey));
    }
    desktop::Reset();
    EXPECT_TRUE(desktop::RegistryKeyExists(kSettingsKey));
    EXPECT_TRUE(desktop::RegistryKeyExists("Software\\Tavrel Software"));  // parents come along
    EXPECT_FALSE(desktop::RegistryKeyExists("Software\\Other"));
}

TEST_F(DesktopRegistry, QueryingReadsOnlyValuesThatFitTheBuffer) {
    ASSERT_TRUE(desktop::WriteRegistryValue(kSettingsKey, "Dword", {kRegDword, {1, 2, 3, 4}}));
    ASSERT_TRUE(desktop::WriteRegistryValue(kSettingsKey, "Short", {kRegDword, {9, 8}}));
    ASSERT_TRUE(desktop::WriteRegistryValue(kSettingsKey, "Text", {kRegSz, {'a', 'b', 'c', 0}}));
    ASSERT_TRUE(desktop::WriteRegistryValue(kSettingsKey, "Empty", {kRegDword, {}}));
    RegistryKey key;
    ASSERT_TRUE(key.OpenOrCreate(kSettingsKey));

    struct Case {
        const char* name;
        std::uint32_t bufferSize;
        bool found;
        std::uint32_t sizeAfter;
        std::vector<unsigned char> bufferAfter;
    };
    const Case cases[] = {
        {"Dword", 4, true, 4, {1, 2, 3, 4, 0xEE, 0xEE}},
        {"Dword", 6, true, 4, {1, 2, 3, 4, 0xEE, 0xEE}},
        // Too large for the buffer: not read, and the size it needs is given back.
        {"Dword", 3, false, 4, {0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE}},
        // Shorter than the buffer: only its own bytes are written.
        {"Short", 4, true, 2, {9, 8, 0xEE, 0xEE, 0xEE, 0xEE}},
        // Any type is read; the type is not asked for.
        {"Text", 4, true, 4, {'a', 'b', 'c', 0, 0xEE, 0xEE}},
        {"Empty", 4, true, 0, {0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE}},
        {"Absent", 4, false, 4, {0xEE, 0xEE, 0xEE, 0xEE, 0xEE, 0xEE}},
    };
    for (const Case& c : cases) {
        std::vector<unsigned char> buffer(6, 0xEE);
        std::uint32_t size = c.bufferSize;
        EXPECT_EQ(key.QueryValue(c.name, buffer.data(), size), c.found) << c.name;
        EXPECT_EQ(size, c.sizeAfter) << c.name;
        EXPECT_EQ(buffer, c.bufferAfter) << c.name << " " << c.bufferSize;
    }
    std::uint32_t size = 0;
    EXPECT_TRUE(key.QueryValue("Text", nullptr, size));  // the size alone
    EXPECT_EQ(size, 4u);
}

TEST_F(DesktopRegistry, ADamagedFileCountsAsAnEmptyRegistryAndIsReplacedAtTheNextWrite) {
    const std::string good =
        "halvern registry 1\n"
        "key Software\\Tavrel Software\\Halvern\n"
        "value 4 1e000000 AirportMaxDistance\n"
        "end\n";
    struct Case {
        const char* name;
        std::string text;
        bool readable;
    };
    const Case cases[] = {
        {"whole", good, true},
        {"escaped path",
         "halvern registry 1\nkey Software\\Tavrel%20Software\\Halvern\nvalue 4 "
         "1e000000 AirportMaxDistance\nend\n",
         true},
        {"empty", "", false},
        {"other header", "REGEDIT4\n" + good.substr(good.find('\n') + 1), false},
        {"cut before end", good.substr(0, good.rfind("end")), false},
        {"cut in the last line", good.substr(0, good.size() - 2), false},
        {"odd hex", "halvern registry 1\nkey K\nvalue 4 1e00000 V\nend\n", false},
        {"bad hex", "halvern registry 1\nkey K\nvalue 4 1g000000 V\nend\n", false},
        {"bad type", "halvern registry 1\nkey K\nvalue x 1e000000 V\nend\n", false},
        {"huge type", "halvern registry 1\nkey K\nvalue 99999999999 1e000000 V\nend\n", false},
        {"value before key", "halvern registry 1\nvalue 4 1e000000 V\nend\n", false},
        {"empty key component", "halvern registry 1\nkey a\\\\b\nend\n", false},
        {"bad escape", "halvern registry 1\nkey a%zz\nend\n", false},
        {"unknown line", good.substr(0, good.rfind("end")) + "junk\nend\n", false},
        {"after end", good + "key More\n", false},
        {"binary", std::string("\0\xff\x01halvern", 10), false},
    };
    for (const Case& c : cases) {
        desktop::Reset();
        WriteRegistryFile(c.text);
        const std::optional<desktop::RegistryValue> value =
            desktop::ReadRegistryValue(kSettingsKey, "AirportMaxDistance");
        EXPECT_EQ(value.has_value(), c.readable) << c.name;
        if (value) {
            EXPECT_EQ(value->data, (std::vector<unsigned char>{0x1e, 0, 0, 0})) << c.name;
        }
    }

    // After damage, the next change writes a whole file again.
    desktop::Reset();
    WriteRegistryFile("halvern registry 1\nkey K\nvalue 4 1e");
    {
        RegistryKey key;
        ASSERT_TRUE(key.OpenOrCreate(kSettingsKey));
        ASSERT_TRUE(key.SetDword("AirportOptions", 13));
    }
    desktop::Reset();
    RegistryKey key;
    ASSERT_TRUE(key.OpenOrCreate(kSettingsKey));
    EXPECT_EQ(QueryDword(key, "AirportOptions"), 13u);

    // A FIFO under the file's name is no registry: reading it neither waits for a writer nor
    // takes what one writes.
    desktop::Reset();
    std::filesystem::remove(RegistryFile());
    ASSERT_EQ(::mkfifo(RegistryFile().c_str(), 0600), 0);
    EXPECT_FALSE(desktop::ReadRegistryValue(kSettingsKey, "AirportOptions").has_value());
}

TEST_F(DesktopRegistry, NamesWithControlCharactersAndPercentSignsSurviveTheFile) {
    const char* const names[] = {"100% sure", "tab\there", "line\nbreak", "", " spaced "};
    RegistryKey key;
    ASSERT_TRUE(key.OpenOrCreate("Odd %41 key\\x\ty"));
    for (std::uint32_t i = 0; i < std::size(names); ++i) {
        ASSERT_TRUE(key.SetDword(names[i], i + 1)) << i;
    }
    desktop::Reset();
    RegistryKey again;
    ASSERT_TRUE(again.OpenOrCreate("odd %41 KEY\\X\tY"));
    for (std::uint32_t i = 0; i < std::size(names); ++i) {
        EXPECT_EQ(QueryDword(again, names[i]), i + 1) << i;
    }
    EXPECT_FALSE(desktop::RegistryKeyExists("Odd A key"));
}

TEST_F(DesktopRegistry, AFileReplacedByAnotherProcessIsReadAgain) {
    RegistryKey key;
    ASSERT_TRUE(key.OpenOrCreate(kSettingsKey));
    ASSERT_TRUE(key.SetDword("AirportOptions", 13));
    // Another process writes its own file under the same name (a new file, as renaming does).
    std::filesystem::remove(RegistryFile());
    WriteRegistryFile(
        "halvern registry 1\n"
        "key Software\\Tavrel Software\\Halvern\n"
        "value 4 20000000 AirportOptions\n"
        "value 4 f4010000 AirportMaxDistance\n"
        "end\n");
    EXPECT_EQ(QueryDword(key, "AirportOptions"), 0x20u);
    EXPECT_EQ(QueryDword(key, "AirportMaxDistance"), 500u);
    // A key that the other process's file lacks is gone for open handles too.
    std::filesystem::remove(RegistryFile());
    WriteRegistryFile("halvern registry 1\nend\n");
    EXPECT_EQ(QueryDword(key, "AirportOptions"), std::nullopt);
    EXPECT_FALSE(key.SetDword("AirportOptions", 1));
}

TEST_F(DesktopRegistry, KeysThatCannotBeOpenedOrStoredFailWithoutChangingAnything) {
    RegistryKey key;
    for (const char* name :
         {static_cast<const char*>(nullptr), "\\Software", "Software\\", "Software\\\\Halvern"}) {
        EXPECT_FALSE(key.OpenOrCreate(name)) << (name == nullptr ? "null" : name);
    }
    EXPECT_FALSE(key.OpenOrCreate(std::string(256, 'k').c_str()));
    EXPECT_TRUE(key.OpenOrCreate(std::string(255, 'k').c_str()));

    // Access denied: nothing opens, not even an existing key.
    desktop::SetRegistryAvailable(false);
    EXPECT_FALSE(key.OpenOrCreate(kSettingsKey));
    EXPECT_FALSE(key.SetDword("AirportOptions", 1));  // the failed open closed the old key
    desktop::SetRegistryAvailable(true);

    // A file that cannot be written: a new key is refused and not kept in memory either.
    std::ofstream(dir_.File("plain-file")) << "not a directory";
    desktop::SetRegistryFilePath(dir_.File("plain-file") + "/halvern/registry");
    EXPECT_FALSE(key.OpenOrCreate(kSettingsKey));
    EXPECT_FALSE(desktop::RegistryKeyExists(kSettingsKey));
    EXPECT_FALSE(desktop::WriteRegistryValue("", "Root", {kRegDword, {1, 0, 0, 0}}));
    EXPECT_FALSE(desktop::ReadRegistryValue("", "Root").has_value());
}

TEST_F(DesktopRegistry, AKeyOpenedBeforeAResetIsClosedForGood) {
    RegistryKey key;
    ASSERT_TRUE(key.OpenOrCreate(kSettingsKey));
    ASSERT_TRUE(key.SetDword("Version", 11000));
    desktop::Reset();
    EXPECT_EQ(QueryDword(key, "Version"), std::nullopt);
    EXPECT_FALSE(key.SetDword("Version", 1));
    RegistryKey fresh;
    ASSERT_TRUE(fresh.OpenOrCreate(kSettingsKey));
    EXPECT_EQ(QueryDword(fresh, "Version"), 11000u);
}

}  // namespace
}  // namespace halvern
