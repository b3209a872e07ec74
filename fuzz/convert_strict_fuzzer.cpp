// convert_strict between every pair of our code pages: it succeeds exactly when decoding and
// encoding again through UTF-16 succeeds, gives the same bytes within the capacity, and leaves
// the length alone when it fails.
#include <cstring>
#include <string>

#include "engine/code_pages.hpp"
#include "fuzz/fuzz_input.hpp"
#include "tests/reference/plain_engine.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    tavrik::fuzz::Input input(data, size);
    const std::uint32_t from = input.pick(tavrik::fuzz::CODE_PAGES);
    const std::uint32_t to = input.pick(tavrik::fuzz::CODE_PAGES);
    const std::uint8_t room = input.byte();
    const std::string source(input.rest());
    // Room for none, some, or all of any result.
    const std::size_t capacity = room < 64    ? room
                                 : room < 128 ? source.size()
                                              : 3 * source.size() + room;

    std::string fast(capacity + 16, '\x5A'), slow(capacity, '\0');
    std::uint64_t fast_length = capacity, slow_length = capacity;
    const int fast_ok = tavrik::convert_strict(source, fast.data(), fast_length, from, to);
    const int slow_ok = tavrik::plain::convert_strict(source, slow.data(), slow_length, from, to);
    if (fast_ok != slow_ok) __builtin_trap();
    if (!fast_ok && fast_length != capacity) __builtin_trap();
    if (fast_ok) {
        if (fast_length > capacity || fast_length != slow_length) __builtin_trap();
        if (std::memcmp(fast.data(), slow.data(), static_cast<std::size_t>(fast_length)) != 0)
            __builtin_trap();
    }
    // Nothing is written past the capacity.
    for (std::size_t i = capacity; i < fast.size(); ++i) {
        if (fast[i] != '\x5A') __builtin_trap();
    }
    return 0;
}
