#include "tests/support/iconv_converter.hpp"

#include <iconv.h>

#include <cstring>
#include <memory>
#include <vector>

namespace tavrik::test {

namespace {

struct IconvCloser {
    void operator()(void* handle) const { iconv_close(static_cast<iconv_t>(handle)); }
};
using Iconv = std::unique_ptr<void, IconvCloser>;

Iconv open(const char* to, const char* from) {
    iconv_t handle = iconv_open(to, from);
    return Iconv(handle == reinterpret_cast<iconv_t>(-1) ? nullptr : handle);
}

// Runs the whole input through iconv in one call; nothing when it stops early.
std::optional<std::string> run(const char* to, const char* from, const char* data,
                               std::size_t size) {
    Iconv converter = open(to, from);
    if (!converter) return std::nullopt;
    std::vector<char> in(data, data + size);
    std::string out(size * 4 + 16, '\0');
    char* in_ptr = in.data();
    std::size_t in_left = in.size();
    char* out_ptr = out.data();
    std::size_t out_left = out.size();
    if (iconv(static_cast<iconv_t>(converter.get()), &in_ptr, &in_left, &out_ptr, &out_left) ==
            static_cast<std::size_t>(-1) ||
        in_left != 0) {
        return std::nullopt;
    }
    out.resize(out.size() - out_left);
    return out;
}

}  // namespace

std::optional<std::u32string> iconv_decode(const char* name, std::string_view bytes) {
    const auto raw = run("UTF-32LE", name, bytes.data(), bytes.size());
    if (!raw) return std::nullopt;
    std::u32string text(raw->size() / 4, U'\0');
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto* b = reinterpret_cast<const unsigned char*>(raw->data()) + i * 4;
        text[i] =
            char32_t{b[0]} | char32_t{b[1]} << 8 | char32_t{b[2]} << 16 | char32_t{b[3]} << 24;
    }
    return text;
}

std::optional<std::string> iconv_encode(const char* name, std::u32string_view text) {
    std::string raw;
    for (const char32_t c : text) {
        for (int k = 0; k < 4; ++k)
            raw.push_back(static_cast<char>((c >> (8 * k)) & 0xFF));
    }
    return run(name, "UTF-32LE", raw.data(), raw.size());
}

}  // namespace tavrik::test
