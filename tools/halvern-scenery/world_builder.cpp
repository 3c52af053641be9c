#include "halvern-scenery/world_builder.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <deque>
#include <filesystem>
#include <fstream>
#include <map>
#include <random>

#include "halvern-scenery/clutter.h"
#include "halvern-scenery/damaged_files.h"
#include "platform/native_path.h"
#include "scenery/scenery_file_writer.h"
#include "support/byte_order.h"
#include "support/windows_1252.h"

namespace halvern::scenery {

namespace {

namespace fs = std::filesystem;

constexpr double kMetresPerFoot = 0.3048;

struct Area {
    std::string title;
    std::string relativeDir;  // below the simulator directory, host form, no trailing separator
    std::vector<std::vector<const CsvAirport*>> files;
    std::vector<DamagedFile> damagedFiles;  // written after `files`, under their own names
    std::string active = "TRUE";
    bool created = true;    // false: listed, but its directory is never made
    bool afterGap = false;  // its number skips one: the walk stops before it
    // An area of one of the shapes that keep its airports from the walk (WorldOptions::stopArea
    // and those after it): its Local value is its folder as it is, relative, and its section's
    // name and Active lines are its own.
    bool shaped = false;
    std::string activeLines;     // shaped: the lines between Local and Layer, each ended
    std::string section;         // shaped, when set: its section's name instead of a number
    int layer = 0;               // with `section`: its Layer value
    bool secondOfTwo = false;    // shaped: its section repeats the name of Area.002's
    bool filesInFolder = false;  // shaped: its files lie in its folder, not in its scenery folder
    std::string filesSubfolder;  // shaped: its files lie in this folder of its scenery folder
};

// The code a scenery file carries: the GPS code where the CSV has one, else the identifier.
std::string CodeOf(const CsvAirport& airport) {
    return airport.gpsCode.empty() ? airport.ident : airport.gpsCode;
}

std::string Base36(std::int64_t value, int digits) {
    static const char kDigits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    std::string text(static_cast<std::size_t>(digits), '0');
    for (int i = digits - 1; i >= 0 && value > 0; --i) {
        text[static_cast<std::size_t>(i)] = kDigits[value % 36];
        value /= 36;
    }
    return text;
}

// Copies of the airports, cycling through them, with positions jittered by up to half a degree
// and codes of their own, until there are `count`.
std::vector<CsvAirport> Replicate(const std::vector<CsvAirport>& airports, std::int64_t count,
                                  std::uint32_t seed) {
    std::vector<CsvAirport> all(airports);
    // The jitter is drawn in whole millionths of a degree and added in integers, so that every
    // build writes the same bytes: the engine's output is defined to the bit, unlike a
    // floating-point distribution's.
    std::mt19937 random(seed);
    constexpr std::int64_t kMicro = 1000000;
    const auto micro = [](double degrees) { return std::llround(degrees * kMicro); };
    const auto jitter = [&random] {
        return static_cast<std::int64_t>(random() % (kMicro + 1)) - kMicro / 2;
    };
    for (std::int64_t i = static_cast<std::int64_t>(all.size()); i < count; ++i) {
        CsvAirport copy = airports[static_cast<std::size_t>(i) % airports.size()];
        const std::int64_t latitude = micro(copy.latitude) + jitter();
        std::int64_t longitude = micro(copy.longitude) + jitter();
        if (longitude >= 180 * kMicro) {
            longitude -= 360 * kMicro;
        } else if (longitude < -180 * kMicro) {
            longitude += 360 * kMicro;
        }
        copy.latitude = static_cast<double>(
                            std::clamp(latitude, std::int64_t{-89900000}, std::int64_t{89900000})) /
                        static_cast<double>(kMicro);
        copy.longitude = static_cast<double>(longitude) / static_cast<double>(kMicro);
        // Appended piece by piece: g++ 12 at -O2 misreads `"literal" + std::string` as an
        // overlapping copy (-Wrestrict), which breaks the release build.
        copy.name += ' ';
        copy.name += std::to_string(i);
        copy.ident = 'R';
        copy.ident += Base36(i, 3);
        copy.gpsCode = Base36(i, 4);
        all.push_back(std::move(copy));
    }
    return all;
}

std::vector<std::vector<const CsvAirport*>> Chunks(const std::vector<const CsvAirport*>& list,
                                                   std::size_t chunkCount) {
    std::vector<std::vector<const CsvAirport*>> chunks(std::max<std::size_t>(1, chunkCount));
    for (std::size_t i = 0; i < list.size(); ++i) {
        chunks[i * chunks.size() / list.size()].push_back(list[i]);
    }
    return chunks;
}

std::vector<Area> LayOut(const std::vector<CsvAirport>& airports, const WorldOptions& options) {
    std::vector<Area> areas;
    if (options.areaCount > 0) {
        std::vector<const CsvAirport*> all;
        for (const CsvAirport& airport : airports) {
            all.push_back(&airport);
        }
        const auto areaChunks = Chunks(all, static_cast<std::size_t>(options.areaCount));
        const int files = options.fileCount > 0 ? options.fileCount : options.areaCount * 25;
        const auto filesPerArea = static_cast<std::size_t>(std::max(1, files / options.areaCount));
        for (std::size_t a = 0; a < areaChunks.size(); ++a) {
            Area area;
            area.title = "Area " + std::to_string(a + 1);
            area.relativeDir = "Addon Scenery\\Area" + Base36(static_cast<std::int64_t>(a), 3);
            area.files = Chunks(areaChunks[a], filesPerArea);
            areas.push_back(std::move(area));
        }
        return areas;
    }
    std::map<std::string, std::vector<const CsvAirport*>> byCountry;
    for (const CsvAirport& airport : airports) {
        byCountry[airport.country.empty() ? "XX" : airport.country].push_back(&airport);
    }
    for (const auto& [country, list] : byCountry) {
        Area area;
        area.title = country;
        area.relativeDir = "Addon Scenery\\" + country;
        const auto perFile = static_cast<std::size_t>(std::max(1, options.airportsPerFile));
        area.files = Chunks(list, (list.size() + perFile - 1) / perFile);
        areas.push_back(std::move(area));
    }
    return areas;
}

// Airports that must never reach the database: copies of the first few, renamed.
std::vector<CsvAirport> Hidden(const std::vector<CsvAirport>& airports, const std::string& kind) {
    std::vector<CsvAirport> hidden;
    for (std::size_t i = 0; i < airports.size() && i < 5; ++i) {
        CsvAirport copy = airports[i];
        copy.name = kind + " " + copy.name;
        hidden.push_back(std::move(copy));
    }
    return hidden;
}

// The airports of one scenery file, in order.
std::vector<const CsvAirport*> Listed(const std::vector<CsvAirport>& airports) {
    std::vector<const CsvAirport*> listed;
    for (const CsvAirport& airport : airports) {
        listed.push_back(&airport);
    }
    return listed;
}

// An area of a shape that keeps its airports from the walk, holding `airports` in one file.
Area ShapedArea(const std::string& title, const std::string& relativeDir,
                const std::vector<CsvAirport>& airports,
                const std::string& activeLines = "Active=TRUE\r\n") {
    Area area;
    area.title = title;
    area.relativeDir = relativeDir;
    area.files = {Listed(airports)};
    area.shaped = true;
    area.activeLines = activeLines;
    return area;
}

bool WriteSceneryFile(const fs::path& path, const std::vector<const CsvAirport*>& airports) {
    SceneryFileWriter writer;
    for (const CsvAirport* airport : airports) {
        writer.Add(MakeAirport(Windows1252FromUtf8(airport->name), CodeOf(*airport),
                               airport->latitude, airport->longitude,
                               airport->elevationFeet.value_or(0.0) * kMetresPerFoot));
    }
    return WriteBytes(path.string(), writer.Build());
}

// The text with each ASCII letter in the other case: "Addon Scenery\\GB" gives
// "aDDON sCENERY\\gb", so that every folder name with a letter differs from its spelling on the
// disk, whatever case the name has there.
std::string InOtherCase(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        } else if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return text;
}

void PutWorldVisEntry(std::vector<unsigned char>& bytes, const std::string& path,
                      const std::string& title) {
    bytes.insert(bytes.end(), {1, 0, 0});
    bytes.insert(bytes.end(), path.begin(), path.end());
    bytes.push_back(0);
    bytes.insert(bytes.end(), title.begin(), title.end());
    bytes.push_back(0);
}

}  // namespace

bool BuildWorld(const std::vector<CsvAirport>& source, const std::string& simulatorDir,
                const WorldOptions& options, WorldSummary& summary, std::string& error) {
    if (source.empty()) {
        error = "no airports to write";
        return false;
    }
    const std::vector<CsvAirport> airports = Replicate(source, options.airportCount, options.seed);
    std::vector<Area> areas = LayOut(airports, options);

    const std::vector<CsvAirport> inactive = Hidden(source, "Inactive");
    const std::vector<CsvAirport> defaults = Hidden(source, "Default");
    const std::vector<CsvAirport> unnumbered = Hidden(source, "After gap");
    if (options.inactiveArea && !options.worldVis) {
        Area area;
        area.title = "Switched off";
        area.relativeDir = "Addon Scenery\\Switched Off";
        area.files = {Listed(inactive)};
        area.active = "FALSE";
        areas.insert(areas.begin() + static_cast<long>(areas.size() / 2), std::move(area));
    }
    if (options.defaultArea) {
        Area area;
        area.title = "Default world";
        area.relativeDir = "Scenedb\\world";
        area.files = {Listed(defaults)};
        areas.insert(areas.begin(), std::move(area));
    }

    if (options.damagedArea) {
        Area area;
        area.title = "Damaged files";
        area.relativeDir = "Addon Scenery\\Damaged";
        area.damagedFiles = DamagedSceneryFiles();
        areas.push_back(std::move(area));
    }
    std::vector<CsvAirport> addon;
    if (!options.addonAirport.empty()) {
        const auto stock = std::find_if(source.begin(), source.end(), [&](const CsvAirport& a) {
            return CodeOf(a) == options.addonAirport;
        });
        if (stock == source.end()) {
            error = "no airport with the code '" + options.addonAirport + "' to copy";
            return false;
        }
        addon.push_back(*stock);
        addon.back().name += " (add-on)";
        Area area;
        area.title = "Add-on " + options.addonAirport;
        area.relativeDir = "Addon Scenery\\Addon " + options.addonAirport;
        area.files = {{&addon.back()}};
        areas.push_back(std::move(area));
    }
    if (options.missingArea) {
        Area area;
        area.title = "Removed";
        area.relativeDir = "Addon Scenery\\Removed";
        area.created = false;
        areas.push_back(std::move(area));
    }

    // Copies of the first airports for each shape below; a deque, so that the areas' pointers to
    // the copies made before stay valid.
    std::deque<std::vector<CsvAirport>> copies;
    const auto copiesNamed = [&](const std::string& kind) -> const std::vector<CsvAirport>& {
        return copies.emplace_back(Hidden(source, kind));
    };
    // Read by the walk, but inactive: the first of the two Active lines counts.
    if (options.repeatedKey && !options.worldVis) {
        areas.push_back(ShapedArea("Repeated key", "Addon Scenery\\Repeated Key",
                                   copiesNamed("Repeated key"), "Active=FALSE\r\nActive=TRUE\r\n"));
    }
    // Read by the walk, which finds no scenery folder, or one without scenery files.
    if (options.flatArea) {
        areas.push_back(ShapedArea("Flat", "Addons\\Flat", copiesNamed("Flat")));
        areas.back().filesInFolder = true;
    }
    if (options.deepArea) {
        areas.push_back(ShapedArea("Deep", "Addons\\Deep", copiesNamed("Deep")));
        areas.back().filesSubfolder = "more";
    }
    if (!options.worldVis) {
        // Sections the walk never asks for: the reader takes the first of two of one name, and
        // the walk forms only the names "Area." and three digits (or more without a leading zero)
        // from 1 on.
        if (options.secondSection) {
            areas.push_back(ShapedArea("Second section", "Addon Scenery\\Second Section",
                                       copiesNamed("Second section")));
            areas.back().secondOfTwo = true;
        }
        if (options.misnumberedAreas) {
            for (const char* digits : {"4", "0005", "000"}) {
                const std::string kind = std::string("Misnumbered ") + digits;
                areas.push_back(ShapedArea(kind, "Addon Scenery\\" + kind, copiesNamed(kind)));
                areas.back().section = std::string("Area.") + digits;
                areas.back().layer = std::stoi(digits);
            }
        }
        // The next number's section has no Active value: the walk ends there, before the active
        // area after it.
        if (options.stopArea != StopArea::kNone) {
            const char* activeLines = options.stopArea == StopArea::kEmpty      ? "Active=\r\n"
                                      : options.stopArea == StopArea::kMisspelt ? "Activ=TRUE\r\n"
                                                                                : "";
            areas.push_back(
                ShapedArea("Stop", "Addon Scenery\\Stop", copiesNamed("Stop"), activeLines));
            areas.push_back(ShapedArea("After the stop", "Addon Scenery\\After Stop",
                                       copiesNamed("After stop")));
        }
    }

    // Listed last, so that no area after it takes its number.
    if (options.gapArea && !options.worldVis) {
        Area area;
        area.title = "After a gap";
        area.relativeDir = "Addon Scenery\\After Gap";
        area.files = {Listed(unnumbered)};
        area.afterGap = true;
        areas.push_back(std::move(area));
    }
    // The folder of world.vis, which the walk names "scenery"; in another case, "Scenery".
    const std::string listFolder = options.otherCase ? "Scenery" : "scenery";
    std::error_code fsError;
    const fs::path root(simulatorDir);
    fs::create_directories(root / listFolder, fsError);
    if (fsError) {
        error = "cannot create '" + (root / listFolder).string() + "': " + fsError.message();
        return false;
    }
    const fs::path absoluteRoot = fs::absolute(root, fsError);
    if (fsError) {
        error = "cannot resolve '" + root.string() + "': " + fsError.message();
        return false;
    }
    const std::string hostRoot = platform::HostPathFromNative(absoluteRoot.string());
    const std::string hostRootDir = hostRoot.back() == '\\' ? hostRoot : hostRoot + '\\';

    std::string config = "[General]\r\nTitle=Halvern demo world\r\n";
    std::vector<unsigned char> worldVis(16, 0);
    StoreU16(worldVis.data() + 10, 16);
    const char* activeSpellings[] = {"TRUE", "true", "True"};
    std::size_t lastNumber = 0;  // the area number given last
    for (std::size_t a = 0; a < areas.size(); ++a) {
        Area& area = areas[a];
        // Some areas name their scenery folder themselves, in other capitals than the module
        // appends ("Scenery"); the others leave it to the module ("scenery\\"). In another case,
        // every scenery folder is "Scenery", which neither the module's "scenery" nor a Local
        // value's "sCENERY" spells.
        const bool namesSceneryFolder = a % 2 == 0 && !options.worldVis && !area.shaped;
        const char* sceneryFolder = namesSceneryFolder || options.otherCase ? "Scenery" : "scenery";
        fs::path dir = root;
        std::string relative = area.relativeDir;
        for (char& c : relative) {
            c = c == '\\' ? '/' : c;
        }
        dir /= relative;
        if (!area.filesInFolder) {
            dir /= sceneryFolder;
        }
        if (!area.filesSubfolder.empty()) {
            dir /= area.filesSubfolder;
        }
        if (area.created) {
            fs::create_directories(dir, fsError);
        }
        if (fsError) {
            error = "cannot create '" + dir.string() + "': " + fsError.message();
            return false;
        }
        for (std::size_t f = 0; f < area.files.size(); ++f) {
            const fs::path file = dir / ("AP" + Base36(static_cast<std::int64_t>(f), 4) + ".bgl");
            if (!WriteSceneryFile(file, area.files[f])) {
                error = "cannot write '" + file.string() + "'";
                return false;
            }
            ++summary.files;
            const bool hidden = area.active != "TRUE" || area.afterGap || area.shaped ||
                                area.relativeDir == "Scenedb\\world";
            if (!hidden) {
                summary.airports += static_cast<std::int64_t>(area.files[f].size());
            }
        }
        for (const DamagedFile& damaged : area.damagedFiles) {
            if (!WriteBytes((dir / damaged.name).string(), damaged.bytes)) {
                error = "cannot write '" + (dir / damaged.name).string() + "'";
                return false;
            }
            ++summary.files;
            summary.airports += damaged.airportsKept;
        }
        // Some areas are named by absolute paths, some relative.
        const bool absolute = options.absoluteEvery > 0 && !area.shaped &&
                              a % static_cast<std::size_t>(options.absoluteEvery) == 1;
        const std::string listed =
            options.otherCase ? InOtherCase(area.relativeDir) : area.relativeDir;
        std::string local = (absolute ? hostRootDir : std::string()) + listed;
        if (namesSceneryFolder) {
            local += options.otherCase ? "\\sCENERY" : "\\Scenery";
        }
        if (options.worldVis) {
            const std::string entry =
                absolute ? local + "\\area.dat" : "=:\\=\\" + listed + "\\area.dat";
            PutWorldVisEntry(worldVis, entry, area.title);
        } else {
            std::string section = area.section;
            auto number = static_cast<std::size_t>(area.layer);
            if (section.empty()) {
                // An area after the gap, listed last, takes the number after the next one; a
                // second section that of Area.002 (Area.001 where there is no other).
                number = area.secondOfTwo ? std::min<std::size_t>(lastNumber, 2)
                                          : lastNumber + (area.afterGap ? 2 : 1);
                lastNumber = std::max(lastNumber, number);
                char name[32];
                std::snprintf(name, sizeof name, "Area.%03zu", number);
                section = name;
            }
            const std::string activeLines =
                area.shaped
                    ? area.activeLines
                    : "Active=" + (area.active == "TRUE" ? activeSpellings[a % 3] : area.active) +
                          "\r\n";
            config += "\r\n[" + section + "]\r\nTitle=" + area.title + "\r\nLocal=" + local +
                      "\r\n" + activeLines + "Layer=" + std::to_string(number) + "\r\n";
        }
        ++summary.areas;
    }

    // The orphan folder's files lie where an area's would, but no area names it.
    if (options.orphanFolder) {
        const fs::path folder = root / "Addon Scenery" / "Orphan" / "scenery";
        fs::create_directories(folder, fsError);
        if (fsError || !WriteSceneryFile(folder / "o.bgl", Listed(copiesNamed("Orphan")))) {
            error = "cannot write '" + (folder / "o.bgl").string() + "'";
            return false;
        }
        ++summary.files;
    }
    // Before the list of areas, which is written last: a world whose list exists is whole.
    if (!WriteClutter(root, options.clutterFolders, options.clutterFiles, error)) {
        return false;
    }

    if (options.worldVis) {
        worldVis.push_back(0);
        fs::remove(root / "scenery.cfg", fsError);
        if (!WriteBytes((root / listFolder / "world.vis").string(), worldVis)) {
            error = "cannot write world.vis";
            return false;
        }
        return true;
    }
    std::ofstream out(root / "scenery.cfg", std::ios::binary | std::ios::trunc);
    out << config;
    if (!out) {
        error = "cannot write scenery.cfg";
        return false;
    }
    return true;
}

}  // namespace halvern::scenery
