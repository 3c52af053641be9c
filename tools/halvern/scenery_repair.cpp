#include "halvern/scenery_repair.h"

#include <algorithm>
#include <charconv>

#include "airports/area_sections.h"
#include "halvern/report_words.h"
#include "halvern/utf8_text.h"
#include "support/ascii_case.h"
#include "support/profile_text.h"

namespace halvern::tool {

namespace {

// A change of the text: its units [begin, end) become `text`. Of two at one place, the one made
// first comes first.
struct Edit {
    std::size_t begin;
    std::size_t end;
    std::u16string text;
};

std::u16string Units(const std::string& hostText) {
    return ProfileText::UnitsOfHostText(hostText);
}

// The highest Layer value of any section (0 where none has one).
long long HighestLayer(const ProfileText& text) {
    long long highest = 0;
    for (const ProfileLine& line : text.Lines()) {
        if (ProfileText::SameName(line.key, u"Layer")) {
            const std::string value = ProfileText::ValueAsRead(line, 64);
            long long layer = 0;
            const auto [end, error] =
                std::from_chars(value.data(), value.data() + value.size(), layer);
            if (error == std::errc() && end == value.data() + value.size()) {
                highest = std::max(highest, layer);
            }
        }
    }
    return highest;
}

// "Local=..." for a section as the line tells it.
std::string LocalText(const AreaSection& section) {
    return section.local.empty() ? std::string("no Local") : "Local=" + ShownPath(section.local);
}

}  // namespace

SceneryRepair RepairSceneryConfig(const SceneryReport& report, const std::string& config) {
    SceneryRepair repair;
    repair.bytes = config;
    const ProfileText text(config);
    const std::u16string& units = text.Units();
    const std::u16string lineEnd(text.LineEnd());
    const std::vector<AreaSection> sections = AreaSections(text, report.list.stoppedAt);
    std::vector<Edit> edits;

    // An Active=FALSE line right after a section's header: the first Active value counts.
    const auto addInactive = [&](const AreaSection& section) {
        const std::size_t at = text.Sections()[section.section].headerEnd;
        const bool ended = at > 0 && (units[at - 1] == u'\r' || units[at - 1] == u'\n');
        edits.push_back({at, at, (ended ? u"" : lineEnd) + u"Active=FALSE" + lineEnd});
    };

    // The areas the walk reaches keep their numbers; so does the one where it stops.
    std::uint64_t highest = report.list.stoppedAt > 0 ? report.list.stoppedAt - 1 : 0;
    for (const AreaSection& section : sections) {
        if (section.role == SectionRole::kStop) {
            highest = section.number;
            addInactive(section);
            repair.changes.push_back(
                "[" + ShownPath(section.name) + "] (" + LocalText(section) +
                ") has no Active value, so the walk ended there: Active=FALSE added, and the walk "
                "goes on past it; set Active=TRUE to read its area");
        }
    }

    // Every other area section gets the next number, in order of its written number, then of
    // its place in the file.
    std::vector<const AreaSection*> moved;
    for (const AreaSection& section : sections) {
        if (section.role != SectionRole::kWalked && section.role != SectionRole::kStop) {
            moved.push_back(&section);
        }
    }
    std::stable_sort(moved.begin(), moved.end(), [](const AreaSection* a, const AreaSection* b) {
        return a->number < b->number;
    });
    std::uint64_t next = highest + 1;
    for (const AreaSection* section : moved) {
        const std::u16string_view name = text.Sections()[section->section].name;
        const std::size_t at = static_cast<std::size_t>(name.data() - units.data());
        const std::string renamed = AreaSectionName(next++);
        edits.push_back({at, at + name.size(), Units(renamed)});
        std::string line = "[" + ShownPath(section->name) + "] (" + LocalText(*section) + ")";
        line += section->role == SectionRole::kSecondSection ? ", a second section of its number"
                : section->role == SectionRole::kNeverFormed ? ", a number the walk never forms"
                                                             : ", beyond where the walk ended";
        line += ": now [" + renamed + "]";
        if (section->active.empty()) {
            addInactive(*section);
            line +=
                ", with Active=FALSE added as it has no Active value; set Active=TRUE to read it";
        }
        repair.changes.push_back(line);
    }

    // Each folder named "scenery" that no area names becomes an active area of its own, named
    // by the folder above it.
    long long layer = HighestLayer(text);
    std::u16string added;
    for (const UnreadFolder& folder : report.unreadFolders) {
        const std::string here = LocalOfFolder(report, folder.directory);
        const std::size_t cut = here.find_last_of('\\');
        const bool scenery =
            cut != std::string::npos &&
            EqualIgnoringAsciiCase(std::string_view(here).substr(cut + 1), "scenery");
        if (folder.cause != UnreadCause::kNoArea || !scenery) {
            const std::string remedy = UnreadFolderRemedy(report, folder);
            repair.untouched.push_back(
                "not repaired: " + ShownPath(folder.directory) + ": " +
                (remedy.empty() ? UnreadFolderReason(report, folder) : remedy));
            continue;
        }
        const std::string local = here.substr(0, cut);
        const std::size_t titleCut = local.find_last_of('\\');
        const std::string title =
            titleCut == std::string::npos ? local : local.substr(titleCut + 1);
        const std::string area = AreaSectionName(next++);
        ++layer;
        added += lineEnd + u"[" + Units(area) + u"]" + lineEnd + u"Title=" + Units(title) +
                 lineEnd + u"Local=" + Units(local) + lineEnd + u"Layer=" +
                 Units(std::to_string(layer)) + lineEnd + u"Active=TRUE" + lineEnd +
                 u"Required=FALSE" + lineEnd;
        repair.changes.push_back("added [" + area + "] for " + ShownPath(local) + " (Title=" +
                                 ShownPath(title) + ", Layer=" + std::to_string(layer) +
                                 ", Active=TRUE), a folder of scenery files that no area named");
    }
    if (!added.empty()) {
        const bool ended = units.empty() || units.back() == u'\r' || units.back() == u'\n';
        edits.push_back({units.size(), units.size(), (ended ? u"" : lineEnd) + added});
    }

    // The edits go in from the end, so that each one's place in the bytes is still its own; of
    // two at one place the later goes in first, to stand after the earlier.
    std::vector<std::size_t> order(edits.size());
    for (std::size_t i = 0; i < order.size(); ++i) {
        order[i] = i;
    }
    std::sort(order.begin(), order.end(), [&edits](std::size_t a, std::size_t b) {
        return edits[a].begin != edits[b].begin ? edits[a].begin > edits[b].begin : a > b;
    });
    for (const std::size_t e : order) {
        const Edit& edit = edits[e];
        const std::size_t begin = text.ByteOffset(edit.begin);
        repair.bytes.replace(begin, text.ByteOffset(edit.end) - begin, text.Encoded(edit.text));
    }
    return repair;
}

}  // namespace halvern::tool
