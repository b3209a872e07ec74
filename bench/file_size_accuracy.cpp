// Not a benchmark of speed: how often the console tool's `fix` restores a garbled file exactly,
// by garbling path and file size, before and after files of any size. "Whole" is the repair of
// the whole text at once (the most plausible of every chain's reading, each step capped by the
// work buffer, the input by FILE_REPAIR_LIMIT): what `fix` did before. "Streamed" is what it
// does now: the reading chosen on the start, applied to the whole file a piece at a time.
// The texts are paragraphs written for this measure alone (in no test and not in the model's
// training text), each file a different mix of them repeated to its size.
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "bench/reencode.hpp"
#include "engine/candidate_choice.hpp"
#include "engine/candidate_list.hpp"
#include "engine/one_call_repairs.hpp"
#include "engine/streamed_conversion.hpp"
#include "platform/code_page_conversion.hpp"
#include "platform/system_code_pages.hpp"

namespace {

using namespace tavrik;

const char* const PARAGRAPHS[] = {
    "Утром на станции было пусто: только дворник сметал листья с платформы, а в кассе дремала "
    "пожилая женщина в вязаной шапке. Электричка опаздывала уже на двадцать минут.\n",
    "Протокол собрания жильцов. Присутствовали восемнадцать человек. Решили заменить лифт в "
    "третьем подъезде, покрасить скамейки во дворе и собрать деньги на новые почтовые ящики.\n",
    "Глава седьмая, в которой капитан узнаёт правду о пропавшем грузе и впервые за много лет "
    "пишет письмо брату, оставшемуся на берегу.\n",
    "Щётки для пылесоса продаются отдельно. Гарантия на мотор: два года, на корпус: один год. "
    "Сохраняйте чек и упаковку до конца гарантийного срока.\n",
    "Ёлочные игрушки мы хранили в старом чемодане на антресолях: стеклянные шары, бумажные "
    "гирлянды и картонного зайца, которого когда-то склеил отец.\n",
    "Эксперимент повторили трижды, и каждый раз температура раствора поднималась быстрее, чем "
    "предсказывала модель. Юлия предложила проверить датчики.\n",
};

using bench::convert;

struct Path {
    const char* name;
    std::uint32_t written;  // the text's bytes in this code page...
    bool twice;             // ...then, for UTF-8, shown as 1251 and saved as UTF-8
};

std::string text_of_size(std::size_t size, std::size_t variant) {
    std::string text;
    for (std::size_t i = 0; text.size() < size; ++i)
        text += PARAGRAPHS[(i * (variant + 1) + variant) % std::size(PARAGRAPHS)];
    // A whole paragraph at the end, at or under the size.
    const std::size_t end = text.rfind('\n', size);
    text.resize(end == std::string::npos ? 0 : end + 1);
    return text;
}

bool whole(const std::string& input, const std::string& expected) {
    if (input.size() > FILE_REPAIR_LIMIT) return false;  // "too large"
    const CandidateList candidates(input);
    return !candidates.empty() &&
           candidates[most_plausible_candidate(candidates.view())].view() == expected;
}

bool streamed(const std::string& input, const std::string& expected) {
    const std::string_view text(input);
    const std::string_view start = text.substr(0, READING_DECISION_SIZE);
    const auto chosen = choose_reading_of_start(
        start.substr(0, reading_decision_cut(start, start.size() == text.size())));
    if (!chosen) return false;
    ChainConverter converter(chosen->chain);
    std::string all, out;
    constexpr std::size_t PIECE = 262144;
    for (std::size_t at = 0;; at += PIECE) {
        const bool last = at + PIECE >= text.size();
        if (!converter.convert(text.substr(std::min(at, text.size()), PIECE), last, out))
            return false;
        all += out;
        if (last) break;
    }
    return all == expected;
}

}  // namespace

int main() {
    platform::SystemCodePageOverride russian(1251, 866);
    const Path paths[] = {
        {"Windows-1251", 1251, false},
        {"KOI8-R", 20866, false},
        {"IBM866", 866, false},
        {"ISO-8859-5", 28595, false},
        {"UTF-8 garbled twice", 65001, true},
    };
    const std::size_t sizes[] = {10'000, 300'000, 700'000, 3'000'000};
    constexpr std::size_t VARIANTS = 4;
    std::printf("%-22s %10s %8s %9s   (size: of the garbled file, about)\n", "path", "size",
                "whole", "streamed");
    for (const Path& path : paths) {
        for (const std::size_t size : sizes) {
            int before = 0, after = 0, files = 0;
            for (std::size_t variant = 0; variant < VARIANTS; ++variant) {
                // The text sized so that the garbled file is about `size` bytes.
                const auto garble = [&](const std::string& text) {
                    auto bytes = convert(65001, path.written, text);
                    return bytes && path.twice ? convert(1251, 65001, *bytes) : bytes;
                };
                const std::string sample = text_of_size(100'000, variant);
                const auto sample_input = garble(sample);
                if (!sample_input) continue;
                const double ratio =
                    static_cast<double>(sample_input->size()) / static_cast<double>(sample.size());
                const std::string expected = text_of_size(
                    static_cast<std::size_t>(static_cast<double>(size) / ratio), variant);
                const auto input = garble(expected);
                if (!input) continue;
                ++files;
                before += whole(*input, expected);
                after += streamed(*input, expected);
            }
            std::printf("%-22s %10zu %5d/%-2d %6d/%-2d\n", path.name, size, before, files, after,
                        files);
        }
    }
    return 0;
}
