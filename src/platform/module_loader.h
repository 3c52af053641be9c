#pragma once

// Loading a module file the way the host does: by path, then its exported data by name.

namespace halvern::platform {

class LoadedModule {
  public:
    LoadedModule() = default;
    ~LoadedModule();
    LoadedModule(const LoadedModule&) = delete;
    LoadedModule& operator=(const LoadedModule&) = delete;

    // Loads the module file (a path in the operating system's form); false with a reason.
    bool Load(const char* path, const char** error);
    // The address of an exported symbol; null when there is none.
    void* Find(const char* name) const;
    // Unloads the module; only when none of its code is running any more.
    void Unload();

  private:
    void* handle_ = nullptr;
};

}  // namespace halvern::platform
