#include "halvern/report_words.h"

#include <cstdio>

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
        case AreaOutcome::kDefaultArea:
            return {"defaultArea", "left out as a built-in default area"};
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
        case FileFate::kNoMemory:
            return {"noMemory", "left out: there was not enough memory to read it"};
        case FileFate::kBadHeader:
            return {"badHeader", "left out: bad header (not a scenery file with airports)"};
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

std::string Counted(std::int64_t count, const char* noun) {
    return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}

std::string Hex32(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", value);
    return text;
}

std::string AreaOrigin(const ReportArea& area) {
    char text[64];
    if (area.source == AreaSource::kSceneryConfig) {
        std::snprintf(text, sizeof text, "scenery.cfg Area.%03llu",
                      static_cast<unsigned long long>(area.entry));
    } else {
        std::snprintf(text, sizeof text, "world.vis entry %llu",
                      static_cast<unsigned long long>(area.entry));
    }
    return text;
}

std::string WalkEndSentence(const ReportWalkEnd& end) {
    return "at byte " + std::to_string(end.offset) + ": " + WordsFor(end.end).phrase + " (" +
           Counted(end.airportsBefore, "airport") + " before it kept)";
}

std::string ShortfallReason(const SceneryReport& report, const Shortfall& shortfall) {
    if (shortfall.file == nullptr) {
        return WordsFor(report.areas[shortfall.area].outcome).phrase;
    }
    if (shortfall.file->walkEnd) {
        return "ended early " + WalkEndSentence(*shortfall.file->walkEnd);
    }
    return WordsFor(shortfall.file->fate).phrase;
}

std::string CacheSentence(const SceneryReport& report) {
    const CacheInspection& cache = report.cache;
    const std::string next = report.NextStartExtracts()
                                 ? "; the next start extracts the airports from the scenery"
                                 : "; the next start reads it and does not extract";
    switch (cache.state) {
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
