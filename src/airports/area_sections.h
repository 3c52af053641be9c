#pragma once

// Every section of scenery.cfg that names an area ("Area." and digits, letter case ignored) as
// the file's text holds it, and what the walk makes of it. The walk asks the host's profile
// reader for the sections "Area.%03llu" of n = 1, 2, and so on, and stops at the first number
// without an Active value; the reader takes the first section of a name, and the first key of a
// name in it. So a section the walk reaches is read; the one where it stops ends it; and a
// section beyond the stop, a second section of a number, or a number the walk never forms
// ("Area.4", "Area.0005", "Area.000") names an area that is never read. The module's walk asks
// the reader alone; the diagnostics read the text with this to tell every section.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "support/profile_text.h"

namespace halvern {

// The section name the walk asks for area `number`.
std::string AreaSectionName(std::uint64_t number);

enum class SectionRole {
    kWalked,         // the walk reaches its number
    kStop,           // the walk stops at its number: it has no Active value
    kBeyondStop,     // its number lies above the one where the walk stops
    kSecondSection,  // an earlier section has its name: the reader takes that one
    kNeverFormed,    // its name is no "Area.%03llu" of a number from 1 up
};

struct AreaSection {
    std::string name;      // as the file spells it, in Windows-1252
    std::uint64_t number;  // the value of its digits (the largest 64-bit value beyond)
    SectionRole role;
    std::string local;           // its first Local value as the walk reads it; empty for none
    std::string active;          // its first Active value as the walk reads it
    bool activeGiven;            // it has an Active key, with or without a value
    bool activeRepeated;         // it has more than one: the first counts
    std::string misspeltActive;  // a key that looks like "Active" misspelt ("Activ"), if any
    std::size_t section;         // its index in the text's sections
};

// The area sections of the text in file order, each with its role for a walk that stopped at
// area number `stoppedAt`.
std::vector<AreaSection> AreaSections(const ProfileText& text, std::uint64_t stoppedAt);

}  // namespace halvern
