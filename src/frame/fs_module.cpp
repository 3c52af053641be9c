#include "frame/fs_module.h"

namespace halvern {

FSModule::FSModule()
    : linkage(&Linkage),
      importTable(ImportTable),
      textService(static_cast<const HostEntry*>(FindService(kTextServiceId))),
      chainService(static_cast<const HostEntry*>(FindService(kChainServiceId))),
      simVariables(static_cast<const unsigned char*>(FindService(kSimVariablesId))),
      instance(platform::InstanceOfAddress(linkage)) {}

const void* FSModule::FindService(std::uint32_t id) const {
    // The shipped table ends with id 0; the bound only guards against a host that wrote over it.
    for (std::size_t i = 0; i < kImportEntryCount && importTable[i].id != 0; ++i) {
        if (importTable[i].id == id) {
            return importTable[i].address;
        }
    }
    return nullptr;
}

}  // namespace halvern
