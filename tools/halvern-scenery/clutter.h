#pragma once

// What a simulator directory holds besides its scenery: aircraft (.cfg and .air files), textures
// (.dds) and sounds (.wav) of a few bytes each, in folders nested below SimObjects\Aircraft,
// Texture and Sound. Every name is made from the numbers of the folders and files alone, so that
// every run writes the same tree. No file is a scenery file and no folder an area's.

#include <cstdint>
#include <filesystem>
#include <string>

namespace halvern::scenery {

// Writes `folders` folders below the three top folders of `root` (made if missing), holding
// `files` files in all, dealt out over the folders in turn; `files` needs at least one folder.
bool WriteClutter(const std::filesystem::path& root, int folders, std::int64_t files,
                  std::string& error);

}  // namespace halvern::scenery
