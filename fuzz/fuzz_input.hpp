// Splitting a fuzzer's bytes into the parameters of one call.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "platform/system_code_pages.hpp"

namespace tavrik::fuzz {

class Input {
  public:
    Input(const std::uint8_t* data, std::size_t size)
        : rest_(reinterpret_cast<const char*>(data), size) {}

    // One byte (0 when none is left), taken from the front.
    std::uint8_t byte() {
        if (rest_.empty()) return 0;
        const auto value = static_cast<std::uint8_t>(rest_.front());
        rest_.remove_prefix(1);
        return value;
    }
    // An element of `choices`, chosen by one byte.
    template <typename T, std::size_t N>
    const T& pick(const T (&choices)[N]) {
        return choices[byte() % N];
    }
    std::string_view rest() const { return rest_; }

  private:
    std::string_view rest_;
};

// System code page pairs a fuzzer runs the program under: Russian, Western, Central European
// OEM, swapped, and odd ones that make rows repeat or drop out.
inline constexpr std::uint32_t SYSTEMS[][2] = {
    {1251, 866}, {1252, 437}, {1252, 850}, {866, 1251}, {1251, 1251}, {65001, 866}, {1251, 20127},
};

// Runs the program, while it lives, as on the system that one byte of the input picks.
class PickedSystem {
  public:
    explicit PickedSystem(Input& input)
        : pages_(input.pick(SYSTEMS)), override_(pages_[0], pages_[1]) {}
    std::uint32_t ansi() const { return pages_[0]; }
    std::uint32_t oem() const { return pages_[1]; }

  private:
    const std::uint32_t (&pages_)[2];
    platform::SystemCodePageOverride override_;
};

// Every code page with a converter of ours.
inline constexpr std::uint32_t CODE_PAGES[] = {1251,  866,  20866, 28595, 65001,
                                               20127, 1252, 437,   850};

}  // namespace tavrik::fuzz
