#include "tests/support/temp_tree.hpp"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>

#include "platform/file_system.hpp"

namespace tavrik::test {

TempTree::TempTree() {
    static std::atomic<int> counter{0};
    const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    root_ = std::filesystem::temp_directory_path() /
            ("tavrik-test-" + std::to_string(stamp) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(root_);
}

TempTree::~TempTree() {
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

std::filesystem::path TempTree::native(std::u16string_view relative) const {
    return relative.empty() ? root_ : root_ / std::filesystem::path(std::u16string(relative));
}

std::u16string TempTree::path(std::u16string_view relative) const {
    std::u16string joined = root();
    if (relative.empty()) return joined;
    joined += platform::PATH_SEPARATOR;
    for (const char16_t unit : relative)
        joined += unit == u'/' ? platform::PATH_SEPARATOR : unit;
    return joined;
}

void TempTree::make_file(std::u16string_view relative, std::string_view contents) const {
    std::ofstream out(native(relative), std::ios::binary);
    out.write(contents.data(), static_cast<std::streamsize>(contents.size()));
}

void TempTree::make_directory(std::u16string_view relative) const {
    const auto path = native(relative);
    // One level at a time when the parent exists: deep trees exceed what create_directories
    // takes.
    if (std::filesystem::exists(path.parent_path()))
        std::filesystem::create_directory(path);
    else
        std::filesystem::create_directories(path);
}

bool TempTree::exists(std::u16string_view relative) const {
    std::error_code error;
    return std::filesystem::exists(std::filesystem::symlink_status(native(relative), error));
}

std::string TempTree::read(std::u16string_view relative) const {
    std::ifstream in(native(relative), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::vector<std::u16string> TempTree::names_in(std::u16string_view relative) const {
    std::vector<std::u16string> names;
    for (const auto& entry : std::filesystem::directory_iterator(native(relative))) {
        names.push_back(entry.path().filename().u16string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace tavrik::test
