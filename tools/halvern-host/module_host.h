#pragma once

// Installs and runs a module the way the simulator does: the module file is placed in the
// simulator's module folder, loaded, its two records are found by name, the import table is
// filled with the simulator's services, and ModuleInit and ModuleDeinit are called.

#include <cstdint>
#include <string>
#include <vector>

#include "frame/exported_records.h"
#include "halvern-host/simulator_services.h"
#include "platform/module_loader.h"

namespace halvern::host {

class ModuleHost {
  public:
    explicit ModuleHost(SimulatorServices& services) : services_(services) {}
    ~ModuleHost();
    ModuleHost(const ModuleHost&) = delete;
    ModuleHost& operator=(const ModuleHost&) = delete;

    // Copies `moduleFile` into SIMDIR/Modules/ (both in the operating system's form) and loads
    // it from there; false with a reason in `error`.
    bool Install(const std::string& moduleFile, const std::string& simulatorDir,
                 std::string& error);

    // Fills the import table and calls ModuleInit. A service withheld leaves its address 0, as
    // a simulator without it does.
    void Start();
    void Withhold(std::uint32_t id) { withheld_.push_back(id); }
    // Calls ModuleDeinit (once).
    void Stop();
    // Unloads the module file; call only when no code of the module is running.
    void Unload();

    const LinkageRecord* Linkage() const { return linkage_; }
    ImportEntry* ImportTable() const { return importTable_; }
    bool Running() const { return running_; }

  private:
    SimulatorServices& services_;
    platform::LoadedModule module_;
    LinkageRecord* linkage_ = nullptr;
    ImportEntry* importTable_ = nullptr;
    bool running_ = false;
    std::vector<std::uint32_t> withheld_;
};

}  // namespace halvern::host
