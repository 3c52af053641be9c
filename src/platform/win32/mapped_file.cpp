#include "platform/mapped_file.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace halvern::platform {

namespace {
// The failures of creating or mapping a view that mean memory or address space ran out.
bool IsMemoryFailure(DWORD error) {
    return error == ERROR_NOT_ENOUGH_MEMORY || error == ERROR_OUTOFMEMORY ||
           error == ERROR_COMMITMENT_LIMIT;
}
HANDLE AsHandle(std::intptr_t value) {
    return reinterpret_cast<HANDLE>(value);
}
std::intptr_t FromHandle(HANDLE handle) {
    return reinterpret_cast<std::intptr_t>(handle);
}
}  // namespace

bool MappedFile::OpenNative(const char* hostPath) {
    HANDLE file = CreateFileA(hostPath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_FLAG_RANDOM_ACCESS, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    file_ = FromHandle(file);
    LARGE_INTEGER length{};
    // A reserved device name or a pipe opens too; only a file on a disk is mapped.
    if (GetFileType(file) != FILE_TYPE_DISK || !GetFileSizeEx(file, &length) ||
        length.QuadPart <= 0 || static_cast<unsigned long long>(length.QuadPart) > SIZE_MAX) {
        Close();
        return false;
    }
    // Maximum size 0 and 0 maps the whole file; this also fails for an empty file.
    HANDLE mapping = CreateFileMappingA(file, nullptr, PAGE_READONLY, 0, 0, nullptr);
    if (mapping == nullptr) {
        outOfMemory_ = IsMemoryFailure(GetLastError());
        Close();
        return false;
    }
    mapping_ = FromHandle(mapping);
    void* image = MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0);
    if (image == nullptr) {
        outOfMemory_ = IsMemoryFailure(GetLastError());
        Close();
        return false;
    }
    image_ = static_cast<const unsigned char*>(image);
    size_ = static_cast<std::size_t>(length.QuadPart);
    return true;
}

void MappedFile::Close() {
    if (image_ != nullptr) {
        UnmapViewOfFile(image_);
        image_ = nullptr;
        size_ = 0;
    }
    if (mapping_ != -1) {
        CloseHandle(AsHandle(mapping_));
        mapping_ = -1;
    }
    if (file_ != -1) {
        CloseHandle(AsHandle(file_));
        file_ = -1;
    }
}

}  // namespace halvern::platform
