#include "platform/system_code_pages.hpp"

#include "platform/os_code_pages.hpp"

namespace tavrik::platform {

namespace {
const SystemCodePageOverride* active_override = nullptr;
}

SystemCodePageOverride::SystemCodePageOverride(std::uint32_t ansi, std::uint32_t oem)
    : previous_(active_override), ansi_(ansi), oem_(oem) {
    active_override = this;
}

SystemCodePageOverride::~SystemCodePageOverride() {
    active_override = previous_;
}

std::uint32_t system_ansi_code_page() {
    return active_override ? active_override->ansi_ : os::system_ansi_code_page();
}

std::uint32_t system_oem_code_page() {
    return active_override ? active_override->oem_ : os::system_oem_code_page();
}

}  // namespace tavrik::platform
