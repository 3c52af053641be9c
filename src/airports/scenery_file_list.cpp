#include "airports/scenery_file_list.h"

#include <cstring>
#include <string_view>

namespace halvern {

namespace {

// The text of a name field: up to its zero, and never longer than the field can hold with a
// terminator.
std::string_view FieldText(const char* field, std::size_t capacity) {
    const void* end = std::memchr(field, 0, capacity - 1);
    return {field, end != nullptr ? static_cast<std::size_t>(static_cast<const char*>(end) - field)
                                  : capacity - 1};
}

}  // namespace

bool SceneryFileList::Append(const char* text, std::size_t length, std::uint32_t& offset) {
    if (texts_.size() > UINT32_MAX || length >= UINT32_MAX - texts_.size()) {
        return false;
    }
    offset = static_cast<std::uint32_t>(texts_.size());
    texts_.append(text, length);
    texts_.push_back('\0');
    return true;
}

void SceneryFileList::Add(const char* path, const platform::FileEntry& entry) {
    if (!complete_) {
        return;
    }
    const std::string_view full(path);
    const std::size_t cut = full.find_last_of("\\/") + 1;  // 0 when there is no separator
    const std::string_view directory = full.substr(0, cut);
    const std::string_view leaf = full.substr(cut);
    const std::string_view name = FieldText(entry.name, sizeof entry.name);

    File file{};
    if (!files_.empty() && directory == std::string_view(texts_.data() + lastDirectory_)) {
        file.directory = lastDirectory_;
    } else {
        complete_ = Append(directory.data(), directory.size(), file.directory);
    }
    complete_ = complete_ && Append(leaf.data(), leaf.size(), file.leaf);
    if (complete_ && name == leaf) {
        file.name = file.leaf;
    } else {
        complete_ = complete_ && Append(name.data(), name.size(), file.name);
    }
    if (!complete_) {
        return;
    }
    lastDirectory_ = file.directory;
    file.attributes = entry.attributes;
    file.size = entry.size;
    file.creationTime = entry.creationTime;
    file.lastAccessTime = entry.lastAccessTime;
    file.lastWriteTime = entry.lastWriteTime;
    files_.push_back(file);
}

void SceneryFileList::Path(std::size_t index, std::string& path) const {
    const File& file = files_[index];
    path.assign(texts_.data() + file.directory);
    path.append(texts_.data() + file.leaf);
}

platform::FileEntry SceneryFileList::Entry(std::size_t index) const {
    const File& file = files_[index];
    platform::FileEntry entry{};
    // Added from a field of the same size, so it fits with its terminator.
    const std::string_view name(texts_.data() + file.name);
    std::memcpy(entry.name, name.data(), name.size());
    entry.attributes = file.attributes;
    entry.size = file.size;
    entry.creationTime = file.creationTime;
    entry.lastAccessTime = file.lastAccessTime;
    entry.lastWriteTime = file.lastWriteTime;
    return entry;
}

void SceneryFileList::Trim() {
    texts_.shrink_to_fit();
    files_.shrink_to_fit();
}

void SceneryFileList::Clear() {
    std::string().swap(texts_);
    std::vector<File>().swap(files_);
    lastDirectory_ = 0;
    complete_ = true;
}

}  // namespace halvern
