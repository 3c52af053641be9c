#include <new>

#include "frame/module_object.h"
#include "module/halvern_module.h"

namespace halvern {

ModuleObject* CreateModuleObject() {
    return new (std::nothrow) HalvernModule;
}

void DestroyModuleObject(ModuleObject* module) {
    delete module;
}

}  // namespace halvern
