#pragma once

// The frame creates and destroys the one module object without knowing its class: the product
// supplies these two functions.

namespace halvern {

class FSModule;
using ModuleObject = FSModule;

// Allocates and constructs the module object; none when the allocation fails.
ModuleObject* CreateModuleObject();

// Destroys the object through its virtual destructor and frees it; nothing for none.
void DestroyModuleObject(ModuleObject* module);

}  // namespace halvern
