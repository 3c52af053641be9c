// The exported records and the routines they name. Both lie in one section of their own, in
// source order (this file is compiled without top-level reordering), so that ImportTable follows
// Linkage directly; both carry their natural alignment explicitly, which keeps the compiler from
// raising it and padding between them.

#include "frame/exported_records.h"

#include <new>

#include "frame/host_boundary.h"
#include "frame/module_object.h"
#include "host/host_services.h"

namespace halvern {
namespace {

// The one module object (RunningModule).
ModuleObject* theModule = nullptr;

// A start that fails leaves no module object: what its construction did so far is undone by
// the destructors of the parts already built, and the host goes on without the module.
void HALVERN_HOSTCALL ModuleInit() {
    if (theModule != nullptr) {
        return;  // already started
    }
    theModule =
        GuardHostCall(static_cast<ModuleObject*>(nullptr), [] { return CreateModuleObject(); });
}

void HALVERN_HOSTCALL ModuleDeinit() {
    ModuleObject* module = theModule;
    theModule = nullptr;
    GuardHostCall([module] { DestroyModuleObject(module); });
}

}  // namespace

ModuleObject* RunningModule() {
    return theModule;
}

}  // namespace halvern

extern "C" {

HALVERN_EXPORT_SECTION alignas(sizeof(void*)) halvern::LinkageRecord Linkage = {
    halvern::kLinkageValue, &halvern::ModuleInit, &halvern::ModuleDeinit, {0, 0, 0, 0}, {}};

HALVERN_EXPORT_SECTION alignas(sizeof(void*)) halvern::ImportEntry
    ImportTable[halvern::kImportEntryCount] = {
        {halvern::kChainServiceId, nullptr},
        {halvern::kTextServiceId, nullptr},
        {halvern::kSimVariablesId, nullptr},
        {0, nullptr},
};
}
