#include "halvern/report_words.h"

#include <cstdio>

#include "halvern/unnamed_scenery.h"
#include "halvern/utf8_text.h"
#include "platform/path_limit.h"
#include "support/ascii_case.h"

namespace halvern::tool {

Words WordsFor(AreaOutcome outcome) {
    switch (outcome) {
        case AreaOutcome::kRead:
            return {"read", "read"};
        case AreaOutcome::kInactive:
            return {"inactive", "inactive (scenery.cfg does not set Active=TRUE)"};
        case AreaOutcome::kAlreadyWalked:
            return {"alreadyWalked", "left out: an earlier area names the same directory"};
        case AreaOutcome::kMissing:
            return {"missing", "directory missing or unreadable"};
        case AreaOutcome::kBeyondPathLimit:
            return {"beyondPathLimit", "not read: its path is beyond the host platform's limit"};
        case AreaOutcome::kDefaultArea:
            return {"defaultArea", "left out as a built-in default area"};
        case AreaOutcome::kWalkStop:
            return {"walkStop",
                    "not read: the walk stops at its number, which has no Active value"};
        case AreaOutcome::kBeyondStop:
            return {"beyondStop", "not read: the walk stops before its number"};
        case AreaOutcome::kSecondSection:
            return {"secondSection", "not read: a second section of its number"};
        case AreaOutcome::kNeverFormed:
            return {"neverFormed", "not read: a number the walk never asks for"};
    }
    return {"", ""};
}

Words WordsFor(ListState state) {
    switch (state) {
        case ListState::kRead:
            return {"read", "read"};
        case ListState::kAbsent:
            return {"absent", "absent"};
        case ListState::kNotRegular:
            return {"notRegular", "not a regular file (a directory, FIFO or device)"};
        case ListState::kUnreadable:
            return {"unreadable", "present but unreadable"};
    }
    return {"", ""};
}

Words WordsFor(SpellingBasis basis) {
    switch (basis) {
        case SpellingBasis::kCacheMatch:
            return {"cacheMatch", "the cache file's fingerprint matches under it"};
        case SpellingBasis::kNoCache:
            return {"noCache",
                    "the letter case of the disk: no cache file tells the module's own spelling"};
        case SpellingBasis::kNoMatch:
            return {"noMatch", "the cache file's fingerprint matches under none tried"};
        case SpellingBasis::kGiven:
            return {"given", "as given with --module-spelling"};
    }
    return {"", ""};
}

Words WordsFor(AreaSource source) {
    return source == AreaSource::kSceneryConfig ? Words{"scenery.cfg", "scenery.cfg"}
                                                : Words{"world.vis", "world.vis"};
}

Words WordsFor(FileFate fate) {
    switch (fate) {
        case FileFate::kRead:
            return {"read", "read"};
        case FileFate::kDefaultArea:
            return {"defaultArea", "left out: it lies in a built-in default area"};
        case FileFate::kNotOpened:
            return {"notOpened", "left out: it cannot be opened, or is empty"};
        case FileFate::kNotRegular:
            return {"notRegular",
                    "left out: not a regular file (a directory, FIFO or device), never opened"};
        case FileFate::kNoMemory:
            return {"noMemory", "left out: there was not enough memory to read it"};
        case FileFate::kBadHeader:
            return {"badHeader", "left out: bad header (not a scenery file with airports)"};
        case FileFate::kNameHoldsSeparator:
            return {"nameHoldsSeparator",
                    "left out: its name holds \\, which the module takes as a separator"};
        case FileFate::kBeyondPathLimit:
            return {"beyondPathLimit", "left out: its path is beyond the host platform's limit"};
    }
    return {"", ""};
}

Words WordsFor(WalkEnd end) {
    switch (end) {
        case WalkEnd::kRecordPastEnd:
            return {"recordPastEnd", "a record reaches past the end of the file"};
        case WalkEnd::kTextPastEnd:
            return {"textPastEnd", "a name or code text starts past the end of the file"};
        case WalkEnd::kUnterminatedText:
            return {"unterminatedText",
                    "a name or code text runs to the end of the file "
                    "without its terminator"};
        case WalkEnd::kStepEndsWalk:
            return {"stepEndsWalk",
                    "a record of an unknown kind, or a step that is not "
                    "positive, ends the walk"};
    }
    return {"", ""};
}

Words WordsFor(CacheState state) {
    switch (state) {
        case CacheState::kAbsent:
            return {"absent", "absent"};
        case CacheState::kUnreadable:
            return {"unreadable", "unreadable"};
        case CacheState::kNotRegular:
            return {"notRegular",
                    "not a regular file (a directory, FIFO or device): it cannot be opened"};
        case CacheState::kNoRecords:
            return {"noRecords",
                    "without airports: the module writes such a file for scenery without "
                    "airports, and never reads it"};
        case CacheState::kOtherVersion:
            return {"otherVersion", "of another format version"};
        case CacheState::kOtherScenery:
            return {"otherScenery", "written for other scenery"};
        case CacheState::kDamaged:
            return {"damaged", "damaged"};
        case CacheState::kValid:
            return {"valid", "valid"};
    }
    return {"", ""};
}

std::string ComparisonSentence(const SceneryReport& report) {
    if (!report.cacheComparison) {
        return "";
    }
    const CacheComparison& comparison = *report.cacheComparison;
    const std::int32_t cached = comparison.cache->RecordCount();
    if (!comparison.firstDifference) {
        return "It holds the same " + Counted(cached, "airport") +
               " as the scenery, in the same order.";
    }
    std::string sentence = "It differs from the scenery: it holds " + Counted(cached, "airport") +
                           ", the scenery " + std::to_string(report.database.RecordCount()) +
                           ", and they differ from record " +
                           std::to_string(*comparison.firstDifference) + " on; ";
    if (comparison.onlyInCache.empty() && comparison.onlyInScenery.empty()) {
        sentence += "they are the same airports in another order";
    } else {
        sentence += std::to_string(comparison.onlyInCache.size()) + " only in the cache, " +
                    std::to_string(comparison.onlyInScenery.size()) + " only in the scenery";
    }
    return sentence +
           ". The next start shows the cache's airports, not the scenery's: delete the cache "
           "file to have them extracted again.";
}

std::string Counted(std::int64_t count, const char* noun) {
    return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

std::string Hex32(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", value);
    return text;
}

std::string AreaOrigin(const ReportArea& area, ShownText shown) {
    if (area.source == AreaSource::kSceneryConfig) {
        return "scenery.cfg " + shown(area.sectionName);
    }
    return "world.vis entry " + std::to_string(area.entry);
}

std::string WalkEndSentence(const ReportWalkEnd& end) {
    return "at byte " + std::to_string(end.offset) + ": " + WordsFor(end.end).phrase + " (" +
           Counted(end.airportsBefore, "airport") + " before it kept)";
}

std::string PathLimitSentence(std::size_t length) {
    return "its path takes " + std::to_string(length) + " characters, beyond the " +
           std::to_string(platform::kLongestHostPath) +
           " that the host platform's calls take; move the add-on to a shorter path";
}

std::string FileReason(const ReportFile& file) {
    if (file.fate == FileFate::kBeyondPathLimit) {
        return "left out: " + PathLimitSentence(file.path.size());
    }
    return WordsFor(file.fate).phrase;
}

namespace {

// The section of scenery.cfg where the walk stops, where the file has one.
const AreaSection* StopSection(const SceneryReport& report) {
    for (const AreaSection& section : report.sections) {
        if (section.role == SectionRole::kStop) {
            return &section;
        }
    }
    return nullptr;
}

// Why the stop's section ends the walk, after "its section", without a full stop.
std::string StopWhy(const AreaSection& stop, ShownText shown) {
    if (stop.activeGiven) {
        return "has an empty Active value";
    }
    if (!stop.misspeltActive.empty()) {
        return "has no Active key (\"" + shown(stop.misspeltActive) +
               "\" looks like a misspelt one)";
    }
    return "has no Active key";
}

// What to do about the stop, the same wherever it is told.
std::string StopRemedy(const AreaSection& stop, ShownText shown) {
    return shown(stop.name) +
           " has no Active value, so the walk ends there: set Active=TRUE or Active=FALSE";
}

const AreaSection* SectionOf(const SceneryReport& report, const ReportArea& area) {
    return area.section ? &report.sections[*area.section] : nullptr;
}

}  // namespace

std::string AreaReason(const SceneryReport& report, const ReportArea& area, ShownText shown) {
    const AreaSection* section = SectionOf(report, area);
    const AreaSection* stop = StopSection(report);
    switch (area.outcome) {
        case AreaOutcome::kBeyondPathLimit:
            // What the host platform is asked to list is the directory followed by the pattern.
            return "not read: " +
                   PathLimitSentence(area.directory.size() + platform::kSceneryFilePattern.size()) +
                   " (to list its scenery files)";
        case AreaOutcome::kInactive:
            if (section != nullptr && section->activeRepeated) {
                return "inactive: its first Active value is " + shown(section->active) +
                       " (the section sets Active more than once; the first counts)";
            }
            break;
        case AreaOutcome::kWalkStop:
            return "not read: the walk ends here: its section " +
                   (section != nullptr ? StopWhy(*section, shown)
                                       : std::string("has no Active key"));
        case AreaOutcome::kBeyondStop:
            if (stop != nullptr) {
                return "not read: the walk ends at " + shown(stop->name) + ", whose section " +
                       StopWhy(*stop, shown);
            }
            return "not read: the walk ends at " + AreaSectionName(report.list.stoppedAt) +
                   ", a number without a section (a gap in the numbering)";
        case AreaOutcome::kSecondSection:
            return "not read: a second [" + shown(area.sectionName) +
                   "] section; the profile reader uses the first";
        case AreaOutcome::kNeverFormed:
            return "not read: the walk never asks for [" + shown(area.sectionName) +
                   "]: it reads Area.001, Area.002 and on, three digits or more without a leading "
                   "zero";
        default:
            break;
    }
    return WordsFor(area.outcome).phrase;
}

std::string AreaRemedy(const SceneryReport& report, const ReportArea& area, ShownText shown) {
    const AreaSection* section = SectionOf(report, area);
    const AreaSection* stop = StopSection(report);
    const std::string name =
        area.sectionName.empty() ? "its entry" : "[" + shown(area.sectionName) + "]";
    switch (area.outcome) {
        case AreaOutcome::kInactive:
            if (section != nullptr && section->activeRepeated) {
                return "keep one Active line in " + name + ", Active=TRUE";
            }
            return area.source == AreaSource::kSceneryConfig
                       ? "set Active=TRUE in " + name + " to have it read"
                       : std::string();
        case AreaOutcome::kMissing:
            return "put the add-on's folder back, or remove the area from the simulator's "
                   "scenery library";
        case AreaOutcome::kBeyondPathLimit:
            return "move the add-on to a folder with a shorter path, and its area's Local with it";
        case AreaOutcome::kWalkStop:
            return section != nullptr ? StopRemedy(*section, shown) : std::string();
        case AreaOutcome::kBeyondStop:
            if (stop != nullptr) {
                return StopRemedy(*stop, shown);
            }
            return "renumber the areas so that no number is missing (halvern repair writes a "
                   "scenery.cfg that does)";
        case AreaOutcome::kSecondSection:
            return "a second [" + shown(area.sectionName) +
                   "] section: the profile reader uses the first; give this area a number of "
                   "its own (halvern repair writes a scenery.cfg that does)";
        case AreaOutcome::kNeverFormed:
            return "give this area a number the walk reads, after the highest (halvern repair "
                   "writes a scenery.cfg that does)";
        case AreaOutcome::kRead:
        case AreaOutcome::kAlreadyWalked:
        case AreaOutcome::kDefaultArea:
            break;
    }
    return {};
}

std::string FileRemedy(const ReportFile& file) {
    if (file.walkEnd) {
        return "the file is damaged from that byte on: install the add-on again";
    }
    switch (file.fate) {
        case FileFate::kNotOpened:
            return "check that the file can be read and is not empty; else install the add-on "
                   "again";
        case FileFate::kNotRegular:
            return "remove it: only a file of that name is read";
        case FileFate::kNoMemory:
            return "close other programs and start the simulator again";
        case FileFate::kBadHeader:
            return "install the add-on again: this is no scenery file with airports";
        case FileFate::kBeyondPathLimit:
            return "move the add-on to a folder with a shorter path";
        case FileFate::kNameHoldsSeparator:
            return "rename the file without the backslash";
        case FileFate::kRead:
        case FileFate::kDefaultArea:
            break;
    }
    return {};
}

std::string UnreadFolderReason(const SceneryReport& report, const UnreadFolder& folder,
                               ShownText shown) {
    const std::string area =
        folder.area ? "area " + std::to_string(*folder.area + 1) : std::string("an area");
    switch (folder.cause) {
        case UnreadCause::kNoArea:
            return "no area names this folder";
        case UnreadCause::kBesideScenery:
            return area + " reads " + shown(report.areas[*folder.area].directory) +
                   ", but these files lie beside that folder";
        case UnreadCause::kBelowScenery:
            return "in a subfolder of the scenery folder " + area +
                   " reads: the walk enters no subfolder";
        case UnreadCause::kLinkNotFollowed:
            return "a link to a folder outside the simulator directory and its areas' folders: "
                   "not searched";
        case UnreadCause::kUnnameable:
            return "its path holds characters that Windows-1252 lacks (shown as ?): no area can "
                   "name it";
    }
    return {};
}

std::string UnreadFolderRemedy(const SceneryReport& report, const UnreadFolder& folder,
                               ShownText shown) {
    const std::string here = LocalOfFolder(report, folder.directory);
    switch (folder.cause) {
        case UnreadCause::kNoArea: {
            // An area reads the "scenery" folder inside its Local folder.
            const std::size_t cut = here.find_last_of('\\');
            const std::string name = cut == std::string::npos ? here : here.substr(cut + 1);
            if (EqualIgnoringAsciiCase(name, "scenery") && cut != std::string::npos) {
                return "no area names this folder: add " + shown(here.substr(0, cut)) +
                       " to the simulator's scenery library as an active area";
            }
            return "no area reads a folder not named scenery: move these files into a folder "
                   "scenery inside " +
                   shown(here) + ", and add " + shown(here) +
                   " to the simulator's scenery library as an active area";
        }
        case UnreadCause::kBesideScenery:
            return "area " + std::to_string(*folder.area + 1) + " reads " +
                   shown(LocalOfFolder(report, report.areas[*folder.area].directory)) +
                   "\\, but these files lie in " + shown(here) +
                   "\\: move them into its scenery folder";
        case UnreadCause::kBelowScenery: {
            const std::string above = here.substr(0, here.find_last_of('\\'));
            return "the walk enters no subfolder of a scenery folder: move these files up into " +
                   shown(above) + "\\";
        }
        case UnreadCause::kUnnameable:
            return "rename the folder with letters of Windows-1252, then add it to the "
                   "simulator's scenery library";
        case UnreadCause::kLinkNotFollowed:
            break;
    }
    return {};
}

std::string ShortfallRemedy(const SceneryReport& report, const Shortfall& shortfall,
                            ShownText shown) {
    return shortfall.file == nullptr ? AreaRemedy(report, report.areas[shortfall.area], shown)
                                     : FileRemedy(*shortfall.file);
}

std::string ListSentence(const SceneryReport& report) {
    const bool config = report.list.source == AreaSource::kSceneryConfig;
    const std::string name = config ? "scenery.cfg" : "scenery\\world.vis";
    const std::string then = config ? ": the module reads no area, and does not turn to "
                                      "scenery\\world.vis instead"
                                    : ": the module reads no area";
    switch (report.list.state) {
        case ListState::kNotRegular:
            return name + " is " + WordsFor(report.list.state).phrase + then;
        case ListState::kUnreadable:
            return name + " is present but cannot be read" + then;
        case ListState::kRead:
        case ListState::kAbsent:
            break;
    }
    if (config) {
        return "scenery.cfg names no area before " + AreaSectionName(report.list.stoppedAt) +
               ", the first area number without an Active value";
    }
    return "no scenery.cfg, and no scenery\\world.vis naming an area";
}

std::string ShortfallReason(const SceneryReport& report, const Shortfall& shortfall,
                            ShownText shown) {
    if (shortfall.file == nullptr) {
        return AreaReason(report, report.areas[shortfall.area], shown);
    }
    if (shortfall.file->walkEnd) {
        return "ended early " + WalkEndSentence(*shortfall.file->walkEnd);
    }
    return FileReason(*shortfall.file);
}

std::string SpellingSentence(const ModuleSpelling& spelling, ShownText shown) {
    if (spelling.basis != SpellingBasis::kNoMatch) {
        return "the simulator directory as the module spells it: " + shown(spelling.directory) +
               " (" + WordsFor(spelling.basis).phrase + ")";
    }
    std::string tried;
    for (const std::string& candidate : spelling.candidates) {
        tried += (tried.empty() ? "" : ", ") + shown(candidate);
    }
    return "the cache file's fingerprint matches under none of the spellings of the simulator "
           "directory tried (" +
           tried +
           "): it was written for other scenery, or by a module that spells the directory in a "
           "way not tried; unless the latter, the next start extracts the airports from the "
           "scenery. This tool leaves the file as it is; --module-spelling DIR names the "
           "module's spelling outright";
}

std::string Capitalised(std::string sentence) {
    if (!sentence.empty() && sentence[0] >= 'a' && sentence[0] <= 'z') {
        sentence[0] = static_cast<char>(sentence[0] - 'a' + 'A');
    }
    return sentence;
}

std::string CacheSentence(const SceneryReport& report) {
    const CacheInspection& cache = report.cache;
    const std::string next = report.NextStartExtracts()
                                 ? "; the next start extracts the airports from the scenery"
                                 : "; the next start reads it and does not extract";
    switch (cache.state) {
        case CacheState::kNoRecords:
            return WordsFor(cache.state).phrase +
                   std::string("; the next start extracts the airports from the scenery again");
        case CacheState::kOtherVersion:
            return "format version " + std::to_string(cache.version) + ", not " +
                   std::to_string(kCacheFormatVersion) + next;
        case CacheState::kOtherScenery:
            return "written for other scenery (fingerprint " + Hex32(cache.fingerprint) +
                   " in the file, " + Hex32(report.fingerprint) + " now)" + next;
        case CacheState::kDamaged:
            return "damaged at byte " + std::to_string(cache.damagedAt) + ": " + cache.damage +
                   next;
        case CacheState::kValid:
            return "valid: " + Counted(cache.recordCount, "airport") +
                   " for this scenery (fingerprint " + Hex32(cache.fingerprint) + ")" + next;
        default:
            return WordsFor(cache.state).phrase + next;
    }
}

}  // namespace halvern::tool
