#pragma once

// Scenery files damaged in each of the ways the extraction meets, for worlds that show what the
// diagnostics say about them: a header that is not a scenery file's, an empty file, and files
// whose facility section ends early at a record of a kind the section does not list, at a
// detail block cut off by the file's end, at a name that would start past the end and at a name
// that runs to the end without its terminator. Each file that holds airports has two before
// its damage, which the extraction keeps, and one after it, which is lost.

#include <cstdint>
#include <string>
#include <vector>

namespace halvern::scenery {

struct DamagedFile {
    std::string name;  // the file's name, telling its damage
    std::vector<unsigned char> bytes;
    int airportsKept = 0;  // the airports the extraction reports before the damage
};

std::vector<DamagedFile> DamagedSceneryFiles();

}  // namespace halvern::scenery
