// Directories and renames on Windows.
#include <windows.h>

#include <string>

#include "platform/file_system.hpp"

namespace tavrik::platform {

namespace {

const wchar_t* wide(const std::u16string& text) {
    return reinterpret_cast<const wchar_t*>(text.c_str());
}

}  // namespace

struct DirectoryListing::Handle {
    HANDLE find = INVALID_HANDLE_VALUE;
    WIN32_FIND_DATAW data{};
    bool pending = false;  // data holds an entry not handed out yet
    ~Handle() {
        if (find != INVALID_HANDLE_VALUE) FindClose(find);
    }
};

DirectoryListing::DirectoryListing(std::u16string_view directory)
    : handle_(std::make_unique<Handle>()) {
    std::u16string pattern(directory);
    pattern += u"\\*";
    handle_->find = FindFirstFileW(wide(pattern), &handle_->data);
    handle_->pending = handle_->find != INVALID_HANDLE_VALUE;
}

DirectoryListing::~DirectoryListing() = default;

bool DirectoryListing::is_open() const {
    return handle_->find != INVALID_HANDLE_VALUE;
}

bool DirectoryListing::next(ListedEntry& entry) {
    if (handle_->find == INVALID_HANDLE_VALUE) return false;
    if (!handle_->pending && !FindNextFileW(handle_->find, &handle_->data)) return false;
    handle_->pending = false;
    const WIN32_FIND_DATAW& data = handle_->data;
    entry.name.assign(reinterpret_cast<const char16_t*>(data.cFileName));
    entry.is_directory = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    entry.is_link = (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    return true;
}

bool rename_no_replace(std::u16string_view from, std::u16string_view to) {
    // MoveFileW never replaces an existing entry.
    return MoveFileW(wide(std::u16string(from)), wide(std::u16string(to))) != FALSE;
}

}  // namespace tavrik::platform
