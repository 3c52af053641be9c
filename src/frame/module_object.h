#pragma once

// The one module object: the frame creates and destroys it without knowing the product's class,
// which derives from FSModuleWithMenu (the product supplies the two functions below), and
// reaches it from the host's callbacks.

namespace halvern {

class FSModuleWithMenu;
using ModuleObject = FSModuleWithMenu;

// Allocates and constructs the module object; none when the allocation fails.
ModuleObject* CreateModuleObject();

// Destroys the object through its virtual destructor and frees it; nothing for none.
void DestroyModuleObject(ModuleObject* module);

// The module object from the end of a start that succeeded (ModuleInit) to the beginning of the
// stop (ModuleDeinit); none at any other time, and none after a start that failed.
ModuleObject* RunningModule();

}  // namespace halvern
