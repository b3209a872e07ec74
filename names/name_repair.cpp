#include "names/name_repair.hpp"

#include <algorithm>
#include <optional>
#include <utility>

#include "encoding/single_byte_code_pages.hpp"
#include "names/name_judgement.hpp"
#include "platform/code_page_conversion.hpp"
#include "platform/file_system.hpp"
#include "platform/system_code_pages.hpp"

namespace tavrik {

namespace {

bool is_cyrillic_block(char16_t unit) {
    return unit >= 0x0400 && unit <= 0x04FF;
}

std::size_t cyrillic_units(std::u16string_view text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), is_cyrillic_block));
}

// The name's bytes in a system code page, or nothing when they would not fit in a name buffer
// (terminator included) or some character has no byte there: a candidate made from a
// substituted default character would stand for a name with characters lost.
std::optional<std::string> encode_whole(std::u16string_view name, std::uint32_t code_page) {
    std::string bytes;
    const platform::EncodeResult result = platform::encode_from_utf16(code_page, name, bytes);
    if (!result.ok || result.used_default || bytes.size() + 1 > PATH_BUFFER_UNITS) {
        return std::nullopt;
    }
    return bytes;
}

// `bytes` read in the other code page, when that yields a usable name.
std::optional<std::u16string> reinterpret(const std::optional<std::string>& bytes,
                                          std::uint32_t code_page) {
    std::u16string name;
    if (!bytes || bytes->empty() || !platform::decode_to_utf16(code_page, *bytes, name)) {
        return std::nullopt;
    }
    if (name.empty() || name.size() > platform::MAX_PATH_UNITS) return std::nullopt;
    // A separator would move the entry elsewhere; a NUL would cut its name.
    if (name.find_first_of(std::u16string_view(u"\\/\0", 3)) != std::u16string::npos) {
        return std::nullopt;
    }
    return name;
}

}  // namespace

int score_name(std::u16string_view text) {
    int score = 0;
    for (const char16_t unit : text) {
        if (is_cyrillic_block(unit))
            score += 3;
        else if (unit >= 0x0020 && unit <= 0x007F)
            score += 1;
    }
    return score;
}

std::u16string_view name_of(std::u16string_view path) {
    const std::size_t separator = path.rfind(platform::PATH_SEPARATOR);
    return separator == std::u16string_view::npos ? path : path.substr(separator + 1);
}

namespace {

// reinterpret(encode_whole(name, written), read) at once when both pages are single-byte pages
// of our own tables, as platform's conversions convert them; nothing either way when it cannot be.
std::optional<std::u16string> reread_name(std::u16string_view name, std::uint32_t written,
                                          std::uint32_t read) {
    const int from = encoding::single_byte_index(written);
    const int to = encoding::single_byte_index(read);
    if (from < 0 || to < 0) return reinterpret(encode_whole(name, written), read);
    if (name.empty() || name.size() > platform::MAX_PATH_UNITS) return std::nullopt;
    const auto& encoder = encoding::SINGLE_BYTE_ENCODERS[static_cast<std::size_t>(from)];
    const auto& table = encoding::SINGLE_BYTE_CODE_PAGES[static_cast<std::size_t>(to)].to_unicode;
    std::u16string out(name.size(), u'\0');
    for (std::size_t i = 0; i < name.size(); ++i) {
        const std::int16_t byte = encoder.encode(name[i]);
        if (byte == encoding::SingleByteEncoder::UNMAPPED) return std::nullopt;
        const char16_t unit = table[static_cast<unsigned char>(byte)];
        if (unit == encoding::UNDEFINED_UNIT || unit == u'\\' || unit == u'/' || unit == 0)
            return std::nullopt;
        out[i] = unit;
    }
    return out;
}

}  // namespace

SystemPageReadings read_in_system_pages(std::u16string_view name) {
    const std::uint32_t ansi = platform::system_ansi_code_page();
    const std::uint32_t oem = platform::system_oem_code_page();
    // A: written in ANSI, read in OEM. B: written in OEM, read in ANSI.
    return {reread_name(name, ansi, oem), reread_name(name, oem, ansi), ansi != oem};
}

namespace {

bool keeps_ascii(std::uint32_t code_page) {
    std::u16string ascii(0x80, u'\0');
    for (char16_t c = 0; c < 0x80; ++c)
        ascii[c] = c;
    std::string bytes;
    std::u16string back;
    const platform::EncodeResult result = platform::encode_from_utf16(code_page, ascii, bytes);
    return result.ok && !result.used_default && platform::decode_to_utf16(code_page, bytes, back) &&
           back == ascii;
}

}  // namespace

bool system_pages_keep_ascii() {
    struct Known {
        std::uint32_t ansi = 0, oem = 0;
        bool keep = false;
    };
    thread_local Known known;
    const std::uint32_t ansi = platform::system_ansi_code_page();
    const std::uint32_t oem = platform::system_oem_code_page();
    if (known.ansi != ansi || known.oem != oem)
        known = {ansi, oem, keeps_ascii(ansi) && keeps_ascii(oem)};
    return known.keep;
}

int repair_name_from(std::u16string_view name, const SystemPageReadings& readings,
                     std::u16string& out) {
    if (name.empty()) return 0;
    const std::optional<std::u16string>& a = readings.ansi_in_oem;
    const std::optional<std::u16string>& b = readings.oem_in_ansi;
    const std::u16string* best = a ? &*a : nullptr;
    if (b && (!a || score_name(*b) > score_name(*a))) best = &*b;
    if (best == nullptr || score_name(*best) == 0 || *best == name ||
        cyrillic_units(*best) <= cyrillic_units(name)) {
        return 0;
    }
    out = *best;
    return 1;
}

int repair_name(std::u16string_view path, std::u16string& out) {
    const std::u16string_view name = name_of(path);
    if (name.empty()) return 0;
    // An ASCII name reads back as itself through pages that keep ASCII.
    if (std::all_of(name.begin(), name.end(), [](char16_t unit) { return unit < 0x80; }) &&
        system_pages_keep_ascii())
        return 0;
    return repair_name_from(name, read_in_system_pages(name), out);
}

int repair_broken_name_from(std::u16string_view name, const SystemPageReadings& readings,
                            std::u16string& out) {
    std::u16string repaired;
    if (!repair_name_from(name, readings, repaired) || !is_convincing_name_repair(name, repaired))
        return 0;
    out = std::move(repaired);
    return 1;
}

int repair_broken_name(std::u16string_view path, std::u16string& out) {
    std::u16string repaired;
    if (!repair_name(path, repaired) || !is_convincing_name_repair(name_of(path), repaired))
        return 0;
    out = std::move(repaired);
    return 1;
}

std::optional<std::u16string> join_path(std::u16string_view directory, std::u16string_view name) {
    // A folder given with its separator at the end ("./", "/") already has one.
    const bool separated = !directory.empty() && directory.back() == platform::PATH_SEPARATOR;
    if (directory.size() + (separated ? 0 : 1) + name.size() > platform::MAX_PATH_UNITS) {
        return std::nullopt;
    }
    std::u16string path(directory);
    if (!separated) path += platform::PATH_SEPARATOR;
    path += name;
    return path;
}

std::u16string with_name(std::u16string_view path, std::u16string_view name) {
    const std::size_t separator = path.rfind(platform::PATH_SEPARATOR);
    std::u16string renamed(separator == std::u16string_view::npos
                               ? platform::CURRENT_DIRECTORY_PREFIX
                               : path.substr(0, separator + 1));
    renamed += name;
    return renamed;
}

int rename_if_broken(std::u16string_view path) {
    std::u16string repaired;
    if (!repair_broken_name(path, repaired)) return 0;
    const std::u16string target = with_name(path, repaired);
    // Never rename under a path cut to fit.
    if (path.size() > platform::MAX_PATH_UNITS || target.size() > platform::MAX_PATH_UNITS ||
        target == path)
        return 0;
    return platform::rename_no_replace(path, target) ? 1 : 0;
}

}  // namespace tavrik
