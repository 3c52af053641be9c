#include "halvern-scenery/clutter.h"

#include <cstdio>
#include <span>
#include <string_view>
#include <vector>

#include "scenery/scenery_file_writer.h"

namespace halvern::scenery {

namespace {

namespace fs = std::filesystem;

// A kind of file: its name's stem and extension, and its first bytes (all it holds).
struct FileKind {
    const char* stem;
    const char* extension;
    std::string_view bytes;
};

constexpr FileKind kAircraftFiles[] = {{"Aircraft", "cfg", "[fltsim.0]\r\n"},
                                       {"Flight", "air", "AIR\x01"}};
constexpr FileKind kTextureFiles[] = {{"Texture", "dds", "DDS |"}};
constexpr FileKind kSoundFiles[] = {{"Sound", "wav", "RIFF"}};

// A top folder, the name of the folders below it and the kinds of file they hold, taken in turn.
struct Tree {
    const char* top;  // below the simulator directory
    const char* folderName;
    std::span<const FileKind> kinds;
};

constexpr Tree kTrees[] = {{"SimObjects/Aircraft", "Aircraft", kAircraftFiles},
                           {"Texture", "Set", kTextureFiles},
                           {"Sound", "Bank", kSoundFiles}};
constexpr int kTreeCount = 3;

// Each folder holds up to this many folders of its tree: the trees are a few levels deep.
constexpr int kBranching = 8;

std::string Numbered(const char* stem, std::int64_t number, const char* extension) {
    char name[64];
    std::snprintf(name, sizeof name, "%s %05lld%s%s", stem, static_cast<long long>(number),
                  *extension != '\0' ? "." : "", extension);
    return name;
}

}  // namespace

bool WriteClutter(const fs::path& root, int folders, std::int64_t files, std::string& error) {
    if (folders <= 0) {
        if (files > 0) {
            error = "clutter files need at least one folder";
            return false;
        }
        return true;
    }
    std::error_code fsError;
    for (const Tree& tree : kTrees) {
        fs::create_directories(root / tree.top, fsError);
        if (fsError) {
            error = "cannot create '" + (root / tree.top).string() + "': " + fsError.message();
            return false;
        }
    }
    // Folder i belongs to tree i % 3 as its folder j = i / 3. A tree's first kBranching folders
    // lie in its top folder, each later folder j in the tree's folder j / kBranching - 1, which
    // is made before it.
    std::vector<fs::path> paths;
    paths.reserve(static_cast<std::size_t>(folders));
    for (int i = 0; i < folders; ++i) {
        const Tree& tree = kTrees[i % kTreeCount];
        const int j = i / kTreeCount;
        const fs::path parent = j < kBranching
                                    ? root / tree.top
                                    : paths[static_cast<std::size_t>(
                                          (j / kBranching - 1) * kTreeCount + i % kTreeCount)];
        paths.push_back(parent / Numbered(tree.folderName, j, ""));
        fs::create_directory(paths.back(), fsError);
        if (fsError) {
            error = "cannot create '" + paths.back().string() + "': " + fsError.message();
            return false;
        }
    }
    // File k lies in folder k % folders, of the kinds of that folder's tree the one k gives:
    // plain writes of a few bytes each.
    for (std::int64_t k = 0; k < files; ++k) {
        const auto folder = static_cast<std::size_t>(k % folders);
        const std::span<const FileKind> kinds = kTrees[folder % kTreeCount].kinds;
        const FileKind& kind = kinds[static_cast<std::size_t>(k) % kinds.size()];
        const std::string path = (paths[folder] / Numbered(kind.stem, k, kind.extension)).string();
        if (!WriteBytes(path, std::vector<unsigned char>(kind.bytes.begin(), kind.bytes.end()))) {
            error = "cannot write '" + path + "'";
            return false;
        }
    }
    return true;
}

}  // namespace halvern::scenery
