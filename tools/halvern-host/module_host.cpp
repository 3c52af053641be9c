#include "halvern-host/module_host.h"

#include <algorithm>
#include <filesystem>

#include "platform/native_path.h"

namespace halvern::host {

ModuleHost::~ModuleHost() {
    Stop();
    Unload();
}

bool ModuleHost::Install(const std::string& moduleFile, const std::string& simulatorDir,
                         std::string& error) {
    namespace fs = std::filesystem;
    std::error_code fsError;
    // Both paths come from a command line: in the ANSI code page on Windows.
    const fs::path source = platform::PathFromArgument(moduleFile);
    // The module derives the simulator directory from its own file's path: the directory is made
    // absolute and normalised first (no "." steps, no doubled separators), as a simulator's
    // own folder is, so that the module's spelling does not depend on how the host was called.
    const fs::path absolute = fs::absolute(platform::PathFromArgument(simulatorDir), fsError);
    const fs::path modules = absolute.lexically_normal() / "Modules";
    fs::create_directories(modules, fsError);
    const fs::path installed = modules / source.filename();
    // A module installed by an earlier run goes first: MinGW's std::filesystem::copy_file (GCC
    // 12) fails with "File exists" on an existing target even when asked to overwrite it, and a
    // file that a process still maps is better replaced than rewritten in place.
    std::error_code absent;
    fs::remove(installed, absent);
    if (!fsError) {
        fs::copy_file(source, installed, fs::copy_options::overwrite_existing, fsError);
    }
    if (fsError) {
        error = "cannot install the module into '" + platform::ArgumentFromPath(modules) +
                "': " + fsError.message();
        return false;
    }
    const char* reason = nullptr;
    if (!module_.Load(platform::ArgumentFromPath(installed).c_str(), &reason)) {
        error = "cannot load '" + platform::ArgumentFromPath(installed) +
                "': " + (reason ? reason : "unknown");
        return false;
    }
    linkage_ = static_cast<LinkageRecord*>(module_.Find("Linkage"));
    importTable_ = static_cast<ImportEntry*>(module_.Find("ImportTable"));
    if (linkage_ == nullptr || importTable_ == nullptr) {
        error = "the module exports no Linkage or no ImportTable";
        return false;
    }
    if (linkage_->value != kLinkageValue || linkage_->moduleInit == nullptr ||
        linkage_->moduleDeinit == nullptr) {
        error = "the module's Linkage is not one this simulator understands";
        return false;
    }
    return true;
}

void ModuleHost::Start() {
    if (linkage_ == nullptr || running_) {
        return;
    }
    // The simulator writes the address of each service the module asks for.
    const HostServices services = services_.Services();
    for (std::size_t i = 0; i < kImportEntryCount && importTable_[i].id != 0; ++i) {
        const std::uintptr_t id = importTable_[i].id;
        if (std::find(withheld_.begin(), withheld_.end(), id) != withheld_.end()) {
            continue;
        }
        switch (id) {
            case kChainServiceId:
                importTable_[i].address = services.chainService;
                break;
            case kTextServiceId:
                importTable_[i].address = services.textService;
                break;
            case kSimVariablesId:
                importTable_[i].address = services.simVariables;
                break;
            default:
                break;
        }
    }
    running_ = true;
    linkage_->moduleInit();
}

void ModuleHost::Stop() {
    if (running_) {
        running_ = false;
        linkage_->moduleDeinit();
    }
}

void ModuleHost::Unload() {
    linkage_ = nullptr;
    importTable_ = nullptr;
    module_.Unload();
}

}  // namespace halvern::host
