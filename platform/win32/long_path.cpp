#include "platform/win32/long_path.hpp"

#include <vector>

#include "platform/win32/wide_text.hpp"

#ifdef _WIN32
#include <windows.h>
#endif

namespace tavrik::platform::win32 {

namespace {

bool is_separator(char16_t unit) {
    return unit == u'\\' || unit == u'/';
}

bool starts_with_drive(std::u16string_view path) {
    return path.size() >= 2 && path[1] == u':' &&
           ((path[0] >= u'A' && path[0] <= u'Z') || (path[0] >= u'a' && path[0] <= u'z'));
}

char16_t upper(char16_t unit) {
    return unit >= u'a' && unit <= u'z' ? static_cast<char16_t>(unit - u'a' + u'A') : unit;
}

// The next component of `rest` (which is advanced past it and its separators).
std::u16string_view next_component(std::u16string_view& rest) {
    while (!rest.empty() && is_separator(rest.front()))
        rest.remove_prefix(1);
    std::size_t end = 0;
    while (end < rest.size() && !is_separator(rest[end]))
        ++end;
    const std::u16string_view component = rest.substr(0, end);
    rest.remove_prefix(end);
    return component;
}

// The root of a full path: "X:" or "\\server\share".
std::u16string root_of(std::u16string_view full) {
    if (starts_with_drive(full)) return std::u16string(full.substr(0, 2));
    std::u16string_view rest = full.substr(2);
    const std::u16string_view server = next_component(rest);
    const std::u16string_view share = next_component(rest);
    return u"\\\\" + std::u16string(server) + u"\\" + std::u16string(share);
}

}  // namespace

std::u16string long_path_from(std::u16string_view path, std::u16string_view current_directory) {
    // An empty path names nothing; taken from the current directory it would name that.
    if (path.empty()) return {};
    for (const std::u16string_view device : {u"\\\\?\\", u"\\\\.\\", u"\\??\\"}) {
        if (path.substr(0, device.size()) == device) return std::u16string(path);
    }
    std::u16string root;
    std::u16string_view rest;
    if (path.size() >= 2 && is_separator(path[0]) && is_separator(path[1])) {
        rest = path.substr(2);
        const std::u16string_view server = next_component(rest);
        const std::u16string_view share = next_component(rest);
        root = u"\\\\?\\UNC\\" + std::u16string(server) + u"\\" + std::u16string(share);
    } else if (starts_with_drive(path) && path.size() >= 3 && is_separator(path[2])) {
        root = u"\\\\?\\";
        root += upper(path[0]);
        root += u':';
        rest = path.substr(3);
    } else {
        // Relative: made full from the current directory, which must be full itself.
        const bool current_is_full =
            (starts_with_drive(current_directory) && current_directory.size() >= 3 &&
             is_separator(current_directory[2])) ||
            (current_directory.size() >= 2 && is_separator(current_directory[0]) &&
             is_separator(current_directory[1]));
        if (!current_is_full) return std::u16string(path);
        std::u16string full;
        if (starts_with_drive(path)) {  // "X:name": relative to that drive
            if (starts_with_drive(current_directory) &&
                upper(current_directory[0]) == upper(path[0])) {
                full = std::u16string(current_directory) + u"\\" + std::u16string(path.substr(2));
            } else {
                full = std::u16string(path.substr(0, 2)) + u"\\" + std::u16string(path.substr(2));
            }
        } else if (!path.empty() && is_separator(path[0])) {  // "\name": the current root
            full = root_of(current_directory) + std::u16string(path);
        } else {
            full = std::u16string(current_directory) + u"\\" + std::u16string(path);
        }
        return long_path_from(full, {});
    }
    std::vector<std::u16string_view> components;
    while (!rest.empty()) {
        const std::u16string_view component = next_component(rest);
        if (component.empty() || component == u".") continue;
        if (component == u"..") {
            if (!components.empty()) components.pop_back();
            continue;
        }
        components.push_back(component);
    }
    std::u16string full = root;
    for (const std::u16string_view component : components) {
        full += u'\\';
        full += component;
    }
    if (components.empty() && root.size() == 6) full += u'\\';  // a drive's root: "\\?\X:\"
    return full;
}

#ifdef _WIN32
std::u16string long_path(std::u16string_view path) {
    std::wstring current(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetCurrentDirectoryW(static_cast<DWORD>(current.size()), current.data());
        if (length == 0) {
            current.clear();
            break;
        }
        if (length < current.size()) {
            current.resize(length);
            break;
        }
        current.resize(length);
    }
    return long_path_from(path, from_wide(current));
}

std::wstring long_path_wide(std::u16string_view path) {
    const std::u16string full = long_path(path);
    return wide_string(full);
}
#endif

}  // namespace tavrik::platform::win32
