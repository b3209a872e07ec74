// repair_buffer and detect_code_page on any bytes: the output within its capacity and untouched
// on failure; a result for every non-empty input given room; the detection's three results with
// the code pages they promise.
#include <cstring>
#include <string>

#include "engine/code_pages.hpp"
#include "engine/one_call_repairs.hpp"
#include "engine/text_score.hpp"
#include "fuzz/fuzz_input.hpp"
#include "platform/system_code_pages.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace tavrik;
    fuzz::Input input(data, size);
    const fuzz::PickedSystem system(input);
    const std::uint8_t room = input.byte();
    const std::string text(input.rest());

    const std::size_t capacity = room < 128 ? room : 3 * text.size() + room;
    std::string output(capacity + 8, '#');
    std::uint64_t length = capacity;
    const int repaired = repair_buffer(text, output.data(), length);
    if (!repaired && (length != capacity || output != std::string(capacity + 8, '#')))
        __builtin_trap();
    if (repaired && length > capacity) __builtin_trap();
    for (std::size_t i = capacity; i < output.size(); ++i) {
        if (output[i] != '#') __builtin_trap();
    }
    if (!text.empty() && capacity >= 3 * text.size() && !repaired) __builtin_trap();
    if (repaired && is_strict_utf8(text) && count_cyrillic_utf8(text) > 0 &&
        std::string_view(output.data(), length) != text) {
        __builtin_trap();
    }

    std::uint32_t code_page = 12345;
    const int detected = detect_code_page(text, code_page);
    if (detected == 2 && code_page != encoding::UTF8_CODE_PAGE) __builtin_trap();
    if (detected == 0 && code_page != system.ansi()) __builtin_trap();
    if (detected < 0 || detected > 2 || code_page == 12345) __builtin_trap();
    return 0;
}
