#pragma once

// The generic frame of a module of this host: FSModule, on the frame's root FSModuleData, finds
// the host's services in the import table and knows the module file it was loaded from.

#include <cstdint>

#include "frame/exported_records.h"
#include "host/host_services.h"
#include "platform/desktop.h"

namespace halvern {

// The root of the frame's class tree: what every module of this host is before it is anything
// else. It holds nothing; the frame's classes derive from it so that a module object has the
// same base whatever the product adds.
class FSModuleData {};

class FSModule : public FSModuleData {
  public:
    // Takes the addresses of the two exported records, looks up the text service, the chain
    // service and the simulation variables block, in that order, and the instance handle of the
    // module file that holds the records.
    FSModule();
    virtual ~FSModule() = default;
    FSModule(const FSModule&) = delete;
    FSModule& operator=(const FSModule&) = delete;

    // The three services as the host interface functions take them.
    HostServices Services() const { return HostServices{textService, chainService, simVariables}; }

    // The module file's instance handle: its name and, on Windows, its dialog resources.
    platform::InstanceHandle Instance() const { return instance; }

  private:
    // The address of the first import table entry with that id; none when the end entry comes
    // first.
    const void* FindService(std::uint32_t id) const;

    const LinkageRecord* linkage;
    const ImportEntry* importTable;
    const HostEntry* textService;
    const HostEntry* chainService;
    const unsigned char* simVariables;
    platform::InstanceHandle instance;
};

}  // namespace halvern
