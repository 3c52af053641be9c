#pragma once

// The generic frame of a module of this host: the root class, and FSModule, which finds the
// host's services in the import table.

#include <cstdint>

#include "frame/exported_records.h"
#include "host/host_services.h"

namespace halvern {

class FSModuleData {
  public:
    FSModuleData() = default;
};

class FSModule : public FSModuleData {
  public:
    // Takes the addresses of the two exported records and looks up the text service, the chain
    // service and the simulation variables block, in that order.
    FSModule();
    virtual ~FSModule() = default;
    FSModule(const FSModule&) = delete;
    FSModule& operator=(const FSModule&) = delete;

    // The address of the first import table entry with that id; none when the end entry comes
    // first.
    const void* FindService(std::uint32_t id) const;

    // The three services as the host interface functions take them.
    HostServices Services() const { return HostServices{textService, chainService, simVariables}; }

  protected:
    const LinkageRecord* linkage;
    const ImportEntry* importTable;
    const HostEntry* textService;
    const HostEntry* chainService;
    const unsigned char* simVariables;
};

}  // namespace halvern
