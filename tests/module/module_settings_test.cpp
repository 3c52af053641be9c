// The display options and the overlay's reach: stored in the registry, chosen in the options
// dialog, kept across starts.

#include <cstring>

#include "module/module_fixture.h"

namespace halvern::testing {
namespace {

namespace desk = platform::desktop;

constexpr const char* kKey = "Software\\Tavrel Software\\Halvern";

std::optional<std::uint32_t> Dword(const char* name) {
    const auto value = desk::ReadRegistryValue(kKey, name);
    if (!value || value->data.size() != 4) {
        return std::nullopt;
    }
    std::uint32_t number = 0;
    std::memcpy(&number, value->data.data(), 4);
    return number;
}

void SetDword(const char* name, std::uint32_t number) {
    desk::RegistryValue value;
    value.type = 4;  // REG_DWORD
    value.data.resize(4);
    std::memcpy(value.data.data(), &number, 4);
    ASSERT_TRUE(desk::WriteRegistryValue(kKey, name, value));
}

// What the user does in one showing of the options dialog.
struct DialogInput {
    const char* distance;  // typed into the edit; null leaves it as shown
    std::uint32_t boxes;   // the six bits to tick
    bool ok = true;        // OK, else Cancel
};

class ModuleSettings : public ModuleFixture {
  protected:
    void SetUp() override {
        ModuleFixture::SetUp();
        WriteWorld(1, 3);
    }

    void Attach() {
        StartModule();
        CreateMainWindow();
        Event();
        NcPaint();
    }

    // Opens the dialog through its menu command and plays `inputs`, one per OK or Cancel; the
    // dialog's state as the module initialised it is kept in `shown`.
    void RunOptionsDialog(const std::vector<DialogInput>& inputs) {
        desk::SetDialogDriver([&](platform::WindowHandle dialog, int resourceId) {
            ASSERT_EQ(resourceId, 1);
            shownDistance = desk::ControlText(dialog, 106);
            shownBoxes = 0;
            const int ids[] = {101, 102, 103, 104, 105, 107};
            const std::uint32_t bits[] = {0x01, 0x02, 0x04, 0x08, 0x10, 0x20};
            for (int i = 0; i < 6; ++i) {
                shownBoxes |= platform::IsDialogButtonChecked(dialog, ids[i]) == 1 ? bits[i] : 0;
            }
            for (const DialogInput& input : inputs) {
                if (input.distance != nullptr) {
                    platform::SetDialogItemText(dialog, 106, input.distance);
                }
                for (int i = 0; i < 6; ++i) {
                    platform::CheckDialogButton(dialog, ids[i], (input.boxes & bits[i]) ? 1 : 0);
                }
                desk::ClickButton(dialog, input.ok ? platform::kIdOk : platform::kIdCancel);
            }
        });
        Send(platform::kWmCommand, 17923);
        desk::SetDialogDriver(nullptr);
    }

    std::vector<std::string> MessageTexts() const {
        std::vector<std::string> texts;
        for (const auto& box : desk::MessageBoxLog()) {
            texts.push_back(box.text);
        }
        return texts;
    }

    std::string shownDistance;
    std::uint32_t shownBoxes = 0;
};

constexpr const char* kDistanceMessage =
    "The airport visibility distance should be between 1 and 250 NM";
constexpr const char* kNameOrCodeMessage = "You must enable either airport name or code";

TEST_F(ModuleSettings, FirstStartUsesTheDefaultsAndCreatesTheKey) {
    EXPECT_FALSE(desk::RegistryKeyExists(kKey));
    Attach();
    EXPECT_TRUE(desk::RegistryKeyExists(kKey));
    EXPECT_FALSE(Dword("AirportOptions")) << "values come at the first OK or shutdown";
    RunOptionsDialog({{nullptr, 0x0D, false}});
    EXPECT_EQ(shownDistance, "30");
    EXPECT_EQ(shownBoxes, 13u);
    StopModule();
    EXPECT_EQ(Dword("AirportOptions"), 13u);
    EXPECT_EQ(Dword("AirportMaxDistance"), 30u);
    EXPECT_EQ(Dword("Version"), 11000u);
}

TEST_F(ModuleSettings, RefusedInputShowsItsMessageKeepsTheDialogOpenAndSavesNothing) {
    struct Case {
        const char* distance;
        std::uint32_t boxes;
        const char* message;
    };
    const Case cases[] = {
        {"0", 0x0D, kDistanceMessage},
        {"251", 0x0D, kDistanceMessage},
        {"", 0x0D, kDistanceMessage},
        {"abc", 0x0D, kDistanceMessage},
        {"99999999999999999999", 0x0D, kDistanceMessage},  // beyond 32 bits: out of range
        {"-5", 0x0D, kDistanceMessage},
        {"0", 0x00, kDistanceMessage},  // the distance is tested first
        {"250", 0x3C, kNameOrCodeMessage},
    };
    int round = 0;
    for (const Case& c : cases) {
        // A fresh module and a fresh registry for each case.
        StopModule();
        module.Unload();
        desk::Reset();
        desk::SetRegistryFilePath(dir.File("registry" + std::to_string(++round)));
        Attach();
        RunOptionsDialog({{c.distance, c.boxes, true}, {nullptr, 0, false}});
        EXPECT_EQ(MessageTexts(), std::vector<std::string>{c.message}) << c.distance;
        const auto boxes = desk::MessageBoxLog();
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].caption, "Error");
        EXPECT_EQ(boxes[0].type, platform::kMbIconError);
        EXPECT_NE(boxes[0].owner, mainWindow) << "owned by the dialog";
        // The dialog stayed open for the Cancel that followed, and nothing was stored.
        std::vector<desk::DialogRecord> dialogs;
        for (const desk::DialogRecord& record : desk::DialogLog()) {
            if (record.resourceId == 1) {
                dialogs.push_back(record);
            }
        }
        ASSERT_EQ(dialogs.size(), 1u);
        EXPECT_EQ(dialogs[0].result, platform::kIdCancel);
        EXPECT_FALSE(Dword("AirportMaxDistance")) << c.distance;
    }
}

TEST_F(ModuleSettings, OneMileWithTheCodeOnlyIsStoredAndAppliesAtOnce) {
    Attach();
    PressF12(true, false, false);
    Event();
    EXPECT_EQ(services.LinesOfLastEvent().size(), 3u);
    RunOptionsDialog({{"1", 0x02, true}});
    EXPECT_TRUE(MessageTexts().empty());
    EXPECT_EQ(Dword("AirportOptions"), 2u);
    EXPECT_EQ(Dword("AirportMaxDistance"), 1u);
    EXPECT_EQ(Dword("Version"), 11000u);
    Event();
    // Only the airport at the aircraft's position lies within 1 NM; the line shows its code.
    ASSERT_EQ(services.LinesOfLastEvent().size(), 1u);
    EXPECT_EQ(services.LinesOfLastEvent()[0].text, "T000");
}

TEST_F(ModuleSettings, NameOrCodeIsCheckedAfterTheDistanceIsCorrected) {
    Attach();
    RunOptionsDialog({{"0", 0x00, true}, {"40", 0x00, true}, {"40", 0x01, true}});
    EXPECT_EQ(MessageTexts(), (std::vector<std::string>{kDistanceMessage, kNameOrCodeMessage}));
    EXPECT_EQ(Dword("AirportMaxDistance"), 40u);
    EXPECT_EQ(Dword("AirportOptions"), 1u);
}

TEST_F(ModuleSettings, CancelChangesNothingAndRunsNoQuery) {
    Attach();
    PressF12(true, false, false);
    Event();
    const auto before = services.LinesOfLastEvent().size();
    RunOptionsDialog({{"1", 0x02, false}});
    Event();
    EXPECT_EQ(services.LinesOfLastEvent().size(), before);
    EXPECT_FALSE(Dword("AirportOptions"));
}

TEST_F(ModuleSettings, HandSetValuesAreUsedAsTheyAre) {
    SetDword("AirportMaxDistance", 500);
    SetDword("AirportOptions", 0x40 | 0x80 | 0x0D);
    Attach();
    RunOptionsDialog({{nullptr, 0x0D, true}, {"250", 0x0D, true}});
    EXPECT_EQ(shownDistance, "500");
    EXPECT_EQ(MessageTexts(), std::vector<std::string>{kDistanceMessage});
    EXPECT_EQ(Dword("AirportMaxDistance"), 250u);
    // Bits the dialog does not show are kept.
    EXPECT_EQ(Dword("AirportOptions"), 0xCDu);
}

TEST_F(ModuleSettings, AShortRegistryValueGivesADefinedSetting) {
    desk::RegistryValue shortValue;
    shortValue.type = 3;  // REG_BINARY, two bytes
    shortValue.data = {0x07, 0x00};
    ASSERT_TRUE(desk::WriteRegistryValue(kKey, "AirportMaxDistance", shortValue));
    desk::RegistryValue longValue;
    longValue.type = 3;
    longValue.data = {1, 2, 3, 4, 5, 6};  // does not fit 4 bytes: the default stays
    ASSERT_TRUE(desk::WriteRegistryValue(kKey, "AirportOptions", longValue));
    Attach();
    RunOptionsDialog({{nullptr, 0, false}});
    EXPECT_EQ(shownDistance, "7");
    EXPECT_EQ(shownBoxes, 13u);
}

TEST_F(ModuleSettings, SettingsSurviveAStopAndStart) {
    Attach();
    RunOptionsDialog({{"75", 0x23, true}});
    StopModule();
    module.Unload();
    // A new process: the desktop forgets everything but reads the registry file again.
    desk::Reset();
    desk::SetRegistryFilePath(dir.File("registry"));
    Attach();
    RunOptionsDialog({{nullptr, 0, false}});
    EXPECT_EQ(shownDistance, "75");
    EXPECT_EQ(shownBoxes, 0x23u);
}

TEST_F(ModuleSettings, WithoutRegistryAccessTheDefaultsStayAndNothingIsShown) {
    desk::SetRegistryAvailable(false);
    Attach();
    RunOptionsDialog({{"100", 0x0F, true}});
    EXPECT_TRUE(MessageTexts().empty());
    StopModule();
    desk::SetRegistryAvailable(true);
    EXPECT_FALSE(Dword("AirportMaxDistance"));
}

}  // namespace
}  // namespace halvern::testing
