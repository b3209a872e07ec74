// Directory links for tests: a symbolic link on POSIX, a directory symbolic link on Windows
// (std::filesystem cannot make one with MinGW).
#pragma once

#include <filesystem>

namespace tavrik::test {

// Makes `link` a link to the directory `target`; false when this system cannot.
bool make_directory_link(const std::filesystem::path& target, const std::filesystem::path& link);

// Removes the link `link` itself (never what it points at); nothing else. TempTree's clean-up
// cannot tell Windows links from directories, so tests remove their links first.
void remove_directory_link(const std::filesystem::path& link);

// Removes a link when it goes.
class DirectoryLinkRemover {
  public:
    explicit DirectoryLinkRemover(std::filesystem::path link) : link_(std::move(link)) {}
    ~DirectoryLinkRemover() { remove_directory_link(link_); }
    DirectoryLinkRemover(const DirectoryLinkRemover&) = delete;
    DirectoryLinkRemover& operator=(const DirectoryLinkRemover&) = delete;

  private:
    std::filesystem::path link_;
};

}  // namespace tavrik::test
