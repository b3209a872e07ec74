// A temporary directory tree for tests that list and rename: made fresh under the system's
// temporary folder, removed with everything in it at the end. Never the user's own folders.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace tavrik::test {

class TempTree {
  public:
    TempTree();
    ~TempTree();
    TempTree(const TempTree&) = delete;
    TempTree& operator=(const TempTree&) = delete;

    // The tree's root, and paths inside it (relative parts joined with the platform's separator).
    std::u16string root() const { return root_.u16string(); }
    std::u16string path(std::u16string_view relative) const;

    void make_file(std::u16string_view relative, std::string_view contents = "x") const;
    void make_directory(std::u16string_view relative) const;
    bool exists(std::u16string_view relative) const;
    std::string read(std::u16string_view relative) const;
    // Names in a directory of the tree, sorted.
    std::vector<std::u16string> names_in(std::u16string_view relative = u"") const;

  private:
    std::filesystem::path native(std::u16string_view relative) const;
    std::filesystem::path root_;
};

}  // namespace tavrik::test
