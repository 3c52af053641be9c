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
    Add(std::string_view(path), entry);
}

void SceneryFileList::Add(std::string_view path, const platform::FileEntry& entry) {
    if (!complete_) {
        return;
    }
    // The directory part ends at the last separator, found from the end.
    std::size_t cut = path.size();
    while (cut > 0 && path[cut - 1] != '\\' && path[cut - 1] != '/') {
        --cut;
    }
    const std::string_view directory = path.substr(0, cut);
    const std::string_view leaf = path.substr(cut);

    File file{};
    if (!files_.empty() &&
        directory == std::string_view(texts_.data() + lastDirectory_, lastDirectoryLength_)) {
        file.directory = lastDirectory_;
    } else {
        complete_ = Append(directory.data(), directory.size(), file.directory);
    }
    complete_ = complete_ && Append(leaf.data(), leaf.size(), file.leaf);
    // The entry's name is most often the leaf: the field then holds it and its terminator.
    const bool fieldIsLeaf = leaf.size() < sizeof entry.name && entry.name[leaf.size()] == '\0' &&
                             std::memcmp(entry.name, leaf.data(), leaf.size()) == 0;
    const std::string_view name = fieldIsLeaf ? leaf : FieldText(entry.name, sizeof entry.name);
    if (complete_ && (fieldIsLeaf || name == leaf)) {
        file.name = file.leaf;
    } else {
        complete_ = complete_ && Append(name.data(), name.size(), file.name);
    }
    if (!complete_) {
        return;
    }
    lastDirectory_ = file.directory;
    lastDirectoryLength_ = directory.size();
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
    lastDirectoryLength_ = 0;
    complete_ = true;
}

}  // namespace halvern
