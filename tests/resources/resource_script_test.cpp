// The resource script that the Windows build compiles and the description the portable desktop
// builds its dialogs from must say the same. The script is read here line by line, its style
// names taken at the values the system headers give them, and compared item by item.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "resources/dialog_templates.h"

namespace halvern {
namespace {

namespace resources = halvern::resources;

// The names the script may use, at their values in the system headers.
const std::map<std::string, std::uint32_t, std::less<>> kStyleNames = {
    {"WS_POPUP", 0x80000000},   {"WS_CHILD", 0x40000000},   {"WS_VISIBLE", 0x10000000},
    {"WS_CAPTION", 0x00C00000}, {"WS_BORDER", 0x00800000},  {"WS_SYSMENU", 0x00080000},
    {"WS_GROUP", 0x00020000},   {"WS_TABSTOP", 0x00010000}, {"WS_EX_DLGMODALFRAME", 0x1},
    {"DS_MODALFRAME", 0x80},    {"DS_SETFONT", 0x40},       {"DS_3DLOOK", 0x04},
    {"BS_PUSHBUTTON", 0x0},     {"BS_AUTOCHECKBOX", 0x3},   {"BS_GROUPBOX", 0x7},
    {"BS_CENTER", 0x300},       {"ES_NUMBER", 0x2000},      {"SS_LEFT", 0x0},
};

struct ScriptControl {
    std::string text;
    int id = 0;
    std::string windowClass;
    std::uint32_t style = 0;
    int x = 0, y = 0, width = 0, height = 0;
};

struct ScriptDialog {
    int resourceId = 0;
    int x = 0, y = 0, width = 0, height = 0;
    std::uint32_t style = 0;
    std::uint32_t extendedStyle = 0;
    std::string caption;
    int fontSize = 0;
    std::string fontName;
    std::vector<ScriptControl> controls;
};

std::string_view Trimmed(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos) {
        return {};
    }
    return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// Splits at the commas that are not inside a quoted string; strings keep their quotes.
std::vector<std::string> Fields(std::string_view text) {
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (const char c : text) {
        if (c == '"') {
            quoted = !quoted;
        }
        if (c == ',' && !quoted) {
            fields.emplace_back();
        } else {
            fields.back() += c;
        }
    }
    for (std::string& field : fields) {
        field = std::string(Trimmed(field));
    }
    return fields;
}

std::string Unquoted(std::string_view field) {
    EXPECT_TRUE(field.size() >= 2 && field.front() == '"' && field.back() == '"') << field;
    return field.size() >= 2 ? std::string(field.substr(1, field.size() - 2)) : std::string();
}

int Number(std::string_view field) {
    const std::string text(field);
    char* end = nullptr;
    const long value = std::strtol(text.c_str(), &end, 0);
    EXPECT_TRUE(!text.empty() && *end == '\0') << "not a number: " << field;
    return static_cast<int>(value);
}

// A style: names and numbers joined by '|'.
std::uint32_t Style(std::string_view expression) {
    std::uint32_t style = 0;
    std::size_t start = 0;
    for (;;) {
        const std::size_t bar = expression.find('|', start);
        const std::string_view term = Trimmed(expression.substr(
            start, bar == std::string_view::npos ? std::string_view::npos : bar - start));
        if (const auto named = kStyleNames.find(term); named != kStyleNames.end()) {
            style |= named->second;
        } else if (!term.empty() && term[0] >= '0' && term[0] <= '9') {
            style |=
                static_cast<std::uint32_t>(std::strtoul(std::string(term).c_str(), nullptr, 0));
        } else {
            ADD_FAILURE() << "unknown style name: " << term;
        }
        if (bar == std::string_view::npos) {
            return style;
        }
        start = bar + 1;
    }
}

std::vector<ScriptDialog> ReadScript(const char* path) {
    std::ifstream in(path);
    EXPECT_TRUE(in.good()) << path;
    std::vector<ScriptDialog> dialogs;
    bool inBody = false;
    std::string raw;
    while (std::getline(in, raw)) {
        const std::string_view line = Trimmed(raw);
        if (line.empty() || line.starts_with("//") || line.starts_with("#")) {
            continue;
        }
        const std::size_t space = line.find(' ');
        const std::string_view keyword = line.substr(0, space);
        const std::string_view rest =
            space == std::string_view::npos ? std::string_view() : Trimmed(line.substr(space + 1));
        if (inBody) {
            if (keyword == "END") {
                inBody = false;
            } else if (keyword == "CONTROL") {
                const std::vector<std::string> fields = Fields(rest);
                if (fields.size() != 8) {
                    ADD_FAILURE() << "CONTROL needs 8 fields: " << line;
                    continue;
                }
                dialogs.back().controls.push_back(
                    {Unquoted(fields[0]), Number(fields[1]), Unquoted(fields[2]), Style(fields[3]),
                     Number(fields[4]), Number(fields[5]), Number(fields[6]), Number(fields[7])});
            } else {
                ADD_FAILURE() << "only CONTROL statements are expected in a dialog: " << line;
            }
            continue;
        }
        if (rest.starts_with("DIALOG ")) {
            // "<id> DIALOG x, y, width, height"
            const std::vector<std::string> box = Fields(rest.substr(7));
            if (box.size() != 4) {
                ADD_FAILURE() << "DIALOG needs a position and a size: " << line;
                continue;
            }
            ScriptDialog dialog;
            dialog.resourceId = Number(keyword);
            dialog.x = Number(box[0]);
            dialog.y = Number(box[1]);
            dialog.width = Number(box[2]);
            dialog.height = Number(box[3]);
            dialogs.push_back(dialog);
        } else if (dialogs.empty()) {
            ADD_FAILURE() << "statement outside a dialog: " << line;
        } else if (keyword == "STYLE") {
            dialogs.back().style = Style(rest);
        } else if (keyword == "EXSTYLE") {
            dialogs.back().extendedStyle = Style(rest);
        } else if (keyword == "CAPTION") {
            dialogs.back().caption = Unquoted(rest);
        } else if (keyword == "FONT") {
            const std::vector<std::string> font = Fields(rest);
            if (font.size() == 2) {
                dialogs.back().fontSize = Number(font[0]);
                dialogs.back().fontName = Unquoted(font[1]);
            } else {
                ADD_FAILURE() << "FONT needs a size and a name: " << line;
            }
        } else if (keyword == "BEGIN") {
            inBody = true;
        } else {
            ADD_FAILURE() << "unexpected statement: " << line;
        }
    }
    EXPECT_FALSE(inBody) << "a dialog without END";
    return dialogs;
}

TEST(ResourceScript, EveryDialogOfTheScriptMatchesItsDescription) {
    const std::vector<ScriptDialog> dialogs = ReadScript(HALVERN_RESOURCE_SCRIPT);
    ASSERT_EQ(dialogs.size(), std::size(resources::kDialogTemplates));
    for (const ScriptDialog& dialog : dialogs) {
        SCOPED_TRACE("dialog " + std::to_string(dialog.resourceId));
        const platform::DialogTemplate* described =
            resources::FindDialogTemplate(dialog.resourceId);
        ASSERT_NE(described, nullptr);
        EXPECT_EQ(dialog.caption, described->caption);
        EXPECT_EQ(dialog.style, described->style);
        EXPECT_EQ(dialog.extendedStyle, described->extendedStyle);
        EXPECT_EQ(dialog.fontName, described->fontName);
        EXPECT_EQ(dialog.fontSize, described->fontPointSize);
        EXPECT_EQ(dialog.x, described->x);
        EXPECT_EQ(dialog.y, described->y);
        EXPECT_EQ(dialog.width, described->width);
        EXPECT_EQ(dialog.height, described->height);
        ASSERT_EQ(dialog.controls.size(), described->controls.size());
        for (std::size_t i = 0; i < dialog.controls.size(); ++i) {
            SCOPED_TRACE("control " + std::to_string(i));
            const ScriptControl& control = dialog.controls[i];
            const platform::DialogControl& expected = described->controls[i];
            EXPECT_EQ(control.id, expected.id);
            EXPECT_EQ(control.windowClass, platform::ControlClassName(expected.windowClass));
            EXPECT_EQ(control.text, expected.text);
            EXPECT_EQ(control.style, expected.style);
            EXPECT_EQ(control.x, expected.x);
            EXPECT_EQ(control.y, expected.y);
            EXPECT_EQ(control.width, expected.width);
            EXPECT_EQ(control.height, expected.height);
        }
    }
}

// The styles that the module's documentation gives as numbers come out of the names.
TEST(ResourceScript, TheProgressDialogHasTheDocumentedStyleValues) {
    const platform::DialogTemplate* progress =
        resources::FindDialogTemplate(resources::kProgressDialogResource);
    ASSERT_NE(progress, nullptr);
    EXPECT_EQ(progress->style, 0x90C000C4u);
    EXPECT_EQ(progress->extendedStyle, 0x1u);
    ASSERT_EQ(progress->controls.size(), 2u);
    EXPECT_EQ(progress->controls[0].style, 0x50800000u);
    EXPECT_EQ(progress->controls[1].style, 0x50000000u);
    EXPECT_EQ(resources::FindDialogTemplate(2), nullptr);
}

}  // namespace
}  // namespace halvern
