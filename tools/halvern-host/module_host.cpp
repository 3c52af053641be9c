#include "halvern-host/module_host.h"

#include <algorithm>
#include <filesystem>

namespace halvern::host {

ModuleHost::~ModuleHost() {
    Stop();
    Unload();
}

bool ModuleHost::Install(const std::string& moduleFile, const std::string& simulatorDir,
                         std::string& error) {
    namespace fs = std::filesystem;
    std::error_code fsError;
    const fs::path modules = fs::path(simulatorDir) / "Modules";
    fs::create_directories(modules, fsError);
    const fs::path installed = modules / fs::path(moduleFile).filename();
    if (!fsError) {
        fs::copy_file(moduleFile, installed, fs::copy_options::overwrite_existing, fsError);
    }
    if (fsError) {
        error = "cannot install the module into '" + modules.string() + "': " + fsError.message();
        return false;
    }
    const char* reason = nullptr;
    if (!module_.Load(fs::absolute(installed).string().c_str(), &reason)) {
        error = "cannot load '" + installed.string() + "': " + (reason ? reason : "unknown");
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
    for (std::size_t i = 0; i < kImportEntryCount && importTable_[i].id != 0; ++i) {
        const std::uintptr_t id = importTable_[i].id;
        if (std::find(withheld_.begin(), withheld_.end(), id) != withheld_.end()) {
            continue;
        }
        switch (id) {
            case kChainServiceId:
                importTable_[i].address = services_.ChainTable();
                break;
            case kTextServiceId:
                importTable_[i].address = services_.TextTable();
                break;
            case kSimVariablesId:
                importTable_[i].address = services_.Variables();
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
