// The system ANSI and OEM code pages (1251 and 866 on a Russian-language Windows). Asked
// afresh at every call: nothing is cached.
#pragma once

#include <cstdint>

namespace tavrik::platform {

std::uint32_t system_ansi_code_page();
std::uint32_t system_oem_code_page();

// While it lives, the platform reports these system code pages instead of its own, so that
// tests (and the console tool) can run the program as on a system set up differently. Not
// thread-safe; overrides nest.
class SystemCodePageOverride {
  public:
    SystemCodePageOverride(std::uint32_t ansi, std::uint32_t oem);
    ~SystemCodePageOverride();
    SystemCodePageOverride(const SystemCodePageOverride&) = delete;
    SystemCodePageOverride& operator=(const SystemCodePageOverride&) = delete;

  private:
    const SystemCodePageOverride* previous_;
    std::uint32_t ansi_;
    std::uint32_t oem_;
    friend std::uint32_t system_ansi_code_page();
    friend std::uint32_t system_oem_code_page();
};

}  // namespace tavrik::platform
