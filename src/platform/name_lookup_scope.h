#pragma once

// Names found without regard to letter case, remembered for a while. The host platform finds a
// file whatever the letter case of the name it is given; where the disk compares names exactly
// (the portable layer on POSIX), a name that does not exist as spelled is looked for in its
// directory. While a NameLookupScope lives, every directory read for that is read
// once and every directory found is remembered, so that a walk over thousands of files below a
// folder spelled in another case reads that folder once rather than once a file. A scope
// assumes that the names it has seen do not change while it lives (but for files it creates
// itself); the scenery walk, the database step and the diagnostics each open one, and a scope
// opened within another uses the outer one's memory. On Windows the system finds the names itself
// and a scope does nothing.

#include <memory>

namespace halvern::platform {

class NameLookupScope {
  public:
    NameLookupScope();
    ~NameLookupScope();
    NameLookupScope(const NameLookupScope&) = delete;
    NameLookupScope& operator=(const NameLookupScope&) = delete;

    struct Memory;  // what the platform remembers

  private:
    // Null for a scope inside another, which goes on using the outer one's memory.
    std::unique_ptr<Memory> memory_;
};

}  // namespace halvern::platform
