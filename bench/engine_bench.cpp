// Speed of the enumeration and the score on the inputs people bring, as ratios to a reference
// that copies the 1 MiB input 147 times (once per chain an enumeration may try).
#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

#include "encoding/utf8.hpp"
#include "engine/candidate_choice.hpp"
#include "engine/candidates.hpp"
#include "engine/code_pages.hpp"
#include "engine/russian_plausibility.hpp"
#include "engine/streamed_conversion.hpp"
#include "engine/text_repair.hpp"
#include "engine/text_score.hpp"
#include "platform/code_page_conversion.hpp"
#include "platform/system_code_pages.hpp"
#include "tests/reference/plain_engine.hpp"
#include "tests/support/recording_window_system.hpp"
#include "ui/text_panel.hpp"

namespace {

using namespace tavrik;

constexpr std::string_view RUSSIAN_PROSE =
    "Осенью в нашем городе рано темнеет, и фонари зажигают уже к пяти часам. Люди спешат "
    "домой, кто-то заходит в булочную на углу, кто-то ждёт трамвай, поглядывая на часы. "
    "Старый библиотекарь, который работает здесь больше тридцати лет, говорит, что раньше "
    "читали больше, а теперь все смотрят в телефоны. Но если зайти в читальный зал вечером, "
    "можно увидеть студентов, которые готовятся к экзаменам, и пенсионеров с газетами.\n"
    "Вчера в письме от коллеги пришёл отчёт о результатах работы за квартал: продажи выросли, "
    "расходы остались прежними, а новый склад откроется весной. Директор попросил подготовить "
    "презентацию к понедельнику, чтобы обсудить планы на следующий год. Это значит, что "
    "выходные снова пройдут за компьютером, хотя погода обещает быть хорошей.\n"
    "Моя бабушка всегда говорила: не откладывай на завтра то, что можно сделать сегодня. Она "
    "вставала в шесть утра, варила кашу, кормила кур и успевала прочитать главу из книги до "
    "того, как просыпались внуки. Летом мы собирали ягоды в лесу, а зимой катались на санках с "
    "горы за деревней. Эти воспоминания я храню до сих пор.\n";

constexpr std::string_view ENGLISH_PROSE =
    "In the autumn the streetlights come on early, and by five o'clock people are hurrying "
    "home. Someone stops at the bakery on the corner, someone waits for the tram and checks "
    "the time. The old librarian, who has worked here for more than thirty years, says that "
    "people used to read more, but if you visit the reading room in the evening you will find "
    "students preparing for exams and pensioners with their newspapers.\n";

std::string repeat_to(std::string_view text, std::size_t size) {
    std::string out;
    out.reserve(size + text.size());
    while (out.size() < size)
        out += text;
    // End on a whole character, so the UTF-8 stays well-formed.
    std::size_t cut = size;
    while (cut > 0 && (static_cast<unsigned char>(out[cut]) & 0xC0) == 0x80)
        --cut;
    out.resize(cut);
    return out;
}

std::string in_windows_1251(const std::string& utf8) {
    std::u16string wide;
    std::string bytes;
    platform::decode_to_utf16(encoding::UTF8_CODE_PAGE, utf8, wide);
    platform::encode_from_utf16(1251, wide, bytes);
    return bytes;
}

enum class Input { RussianUtf8, RussianWindows1251, EnglishAscii };

std::string make_input(Input kind, std::size_t size) {
    switch (kind) {
        case Input::RussianUtf8:
            return repeat_to(RUSSIAN_PROSE, size);
        case Input::RussianWindows1251:
            return in_windows_1251(repeat_to(RUSSIAN_PROSE, size * 2)).substr(0, size);
        case Input::EnglishAscii:
            return repeat_to(ENGLISH_PROSE, size);
    }
    return {};
}

void BM_Enumerate(benchmark::State& state, Input kind) {
    platform::SystemCodePageOverride russian(1251, 866);
    const std::string input = make_input(kind, static_cast<std::size_t>(state.range(0)));
    std::array<Candidate, MAX_CANDIDATES> candidates;
    int count = 0;
    for (auto _ : state) {
        enumerate_candidates(input, candidates, count);
        benchmark::DoNotOptimize(candidates[0].text.get());
        free_candidates(std::span(candidates).first(static_cast<std::size_t>(count)));
    }
    state.counters["candidates"] = count;
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(input.size()));
}

// What choosing the most plausible candidate adds to an enumeration.
void BM_RankCandidates(benchmark::State& state, Input kind) {
    platform::SystemCodePageOverride russian(1251, 866);
    const std::string input = make_input(kind, static_cast<std::size_t>(state.range(0)));
    std::array<Candidate, MAX_CANDIDATES> candidates;
    int count = 0;
    enumerate_candidates(input, candidates, count);
    const auto held = std::span(candidates).first(static_cast<std::size_t>(count));
    for (auto _ : state)
        benchmark::DoNotOptimize(most_plausible_candidate(held));
    free_candidates(held);
}

void BM_EnumeratePlain(benchmark::State& state, Input kind) {
    platform::SystemCodePageOverride russian(1251, 866);
    const std::string input = make_input(kind, static_cast<std::size_t>(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(plain::enumerate_candidates(input).size());
}

void BM_ScoreText(benchmark::State& state) {
    const std::string input = make_input(Input::RussianUtf8, 1 << 20);
    for (auto _ : state)
        benchmark::DoNotOptimize(score_text(input));
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(input.size()));
}

// What every figure is measured against: the input copied once per chain.
void BM_Reference_Memcpy147(benchmark::State& state) {
    const std::string input = make_input(Input::RussianUtf8, 1 << 20);
    std::vector<char> destination(input.size());
    for (auto _ : state) {
        for (int chain = 0; chain < 147; ++chain) {
            std::memcpy(destination.data(), input.data(), input.size());
            benchmark::ClobberMemory();
        }
    }
}

// A whole file of any size as `fix` repairs it, without the file system: the reading chosen on
// the start, then the whole text converted in the pieces `fix` reads. 100 MB of Windows-1251
// (one real step, to UTF-8), and of UTF-8 shown as Windows-1251 and saved as UTF-8 (two).
void BM_StreamedRepair(benchmark::State& state, bool twice_garbled) {
    platform::SystemCodePageOverride russian(1251, 866);
    constexpr std::size_t SIZE = 100'000'000;
    std::string input;
    if (!twice_garbled) {
        input = in_windows_1251(repeat_to(RUSSIAN_PROSE, SIZE * 2)).substr(0, SIZE);
    } else {
        // UTF-8 bytes read as Windows-1251 (the prose has no 0x98, which has no character there).
        const std::string utf8 = repeat_to(RUSSIAN_PROSE, SIZE / 2);
        input.resize(3 * utf8.size());
        std::uint64_t length = input.size();
        convert_strict(utf8, input.data(), length, 1251, encoding::UTF8_CODE_PAGE);
        input.resize(static_cast<std::size_t>(length));
    }
    constexpr std::size_t PIECE = 262144;
    std::string out;
    for (auto _ : state) {
        const std::string_view text(input);
        const auto chosen = choose_reading_of_start(
            text.substr(0, reading_decision_cut(text.substr(0, READING_DECISION_SIZE), false)));
        if (!chosen) {
            state.SkipWithError("no reading");
            break;
        }
        ChainConverter converter(chosen->chain);
        std::size_t written = 0;
        for (std::size_t at = 0; at < text.size(); at += PIECE) {
            if (!converter.convert(text.substr(at, PIECE), at + PIECE >= text.size(), out)) {
                state.SkipWithError("does not convert");
                break;
            }
            written += out.size();
        }
        benchmark::DoNotOptimize(written);
        state.counters["output_MB"] = static_cast<double>(written) / 1e6;
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(input.size()));
}

// The whole choice of the console tool and the window (repair_text) on a text of the given size:
// UTF-8 shown as 1251 (every word repaired), right Russian (every word weighed, none changed),
// and a log where every other line is garbled.
enum class Seen { Utf8ShownAs1251, RightRussian, HalfGarbledLog };

std::string seen_text_of(Seen kind, std::size_t size) {
    const std::string right = repeat_to(RUSSIAN_PROSE, size);
    std::string garbled(3 * right.size(), '\0');
    std::uint64_t length = garbled.size();
    convert_strict(right, garbled.data(), length, 1251, encoding::UTF8_CODE_PAGE);
    garbled.resize(static_cast<std::size_t>(length));
    switch (kind) {
        case Seen::Utf8ShownAs1251:
            return garbled.substr(0, size);
        case Seen::RightRussian:
            return right;
        case Seen::HalfGarbledLog:
            break;
    }
    std::string log;
    for (int line = 0; log.size() < size; ++line) {
        log += line % 2 ? "ok: " + right.substr(0, 60) : "err: " + garbled.substr(0, 120);
        while (!log.empty() && (static_cast<unsigned char>(log.back()) & 0xC0) == 0x80)
            log.pop_back();
        if (!log.empty() && static_cast<unsigned char>(log.back()) >= 0xC0) log.pop_back();
        log += '\n';
    }
    return log;
}

void BM_RepairText(benchmark::State& state, Seen kind) {
    platform::SystemCodePageOverride russian(1251, 866);
    const std::string text = seen_text_of(kind, static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        const TextRepair repair = repair_text(text);
        benchmark::DoNotOptimize(repair.text.data());
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}

// What `fix` does past the size judged whole: the chains learnt on the start, then each line
// repaired as it streams. 20 MB of UTF-8 shown as 1251.
void BM_StreamedLines(benchmark::State& state) {
    platform::SystemCodePageOverride russian(1251, 866);
    const std::string text = seen_text_of(Seen::Utf8ShownAs1251, 20'000'000);
    std::vector<std::string_view> lines;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = std::min(text.find('\n', at), text.size() - 1) + 1;
        lines.push_back(std::string_view(text).substr(at, end - at));
        at = end;
    }
    std::string out;
    for (auto _ : state) {
        const PieceRepair repairer(std::string_view(text).substr(0, 262144));
        std::size_t written = 0;
        // As `fix` gathers lines: written out every 256 KiB.
        for (const std::string_view line : lines) {
            repairer.append_repaired(line, out);
            if (out.size() < 262144) continue;
            written += out.size();
            out.clear();
        }
        written += out.size();
        out.clear();
        benchmark::DoNotOptimize(written);
    }
    state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}

// The window's fix of a pasted text, without the controls: the catalogue's rows, the repair's,
// the list's lines and the output box's text, as the window system is handed them.
void BM_WindowFix(benchmark::State& state, Seen kind) {
    platform::SystemCodePageOverride russian(1251, 866);
    test::RecordingWindowSystem window;
    std::string text = seen_text_of(kind, static_cast<std::size_t>(state.range(0)));
    while (!text.empty() && (static_cast<unsigned char>(text.back()) & 0xC0) == 0x80)
        text.pop_back();  // no character cut at the end
    if (!text.empty() && static_cast<unsigned char>(text.back()) >= 0xC0) text.pop_back();
    window.input = encoding::utf8::decode_lossy(text);
    MainWindowState main;
    main.window = &window;
    for (auto _ : state) {
        fix_input(main);
        benchmark::DoNotOptimize(window.list.size());
    }
    state.counters["rows"] = static_cast<double>(main.candidates.size());
}

constexpr std::int64_t KIB4 = 4 << 10;
constexpr std::int64_t MIB1 = 1 << 20;

}  // namespace

BENCHMARK(BM_Reference_Memcpy147)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Enumerate, a_russian_utf8, Input::RussianUtf8)
    ->Arg(KIB4)
    ->Arg(MIB1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Enumerate, b_russian_1251, Input::RussianWindows1251)
    ->Arg(KIB4)
    ->Arg(MIB1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Enumerate, c_english_ascii, Input::EnglishAscii)
    ->Arg(KIB4)
    ->Arg(MIB1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScoreText)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RankCandidates, a_russian_utf8, Input::RussianUtf8)
    ->Arg(KIB4)
    ->Arg(MIB1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RankCandidates, b_russian_1251, Input::RussianWindows1251)
    ->Arg(KIB4)
    ->Arg(MIB1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RankCandidates, c_english_ascii, Input::EnglishAscii)
    ->Arg(KIB4)
    ->Arg(MIB1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_EnumeratePlain, a_russian_utf8, Input::RussianUtf8)
    ->Arg(KIB4)
    ->Arg(MIB1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_EnumeratePlain, b_russian_1251, Input::RussianWindows1251)
    ->Arg(KIB4)
    ->Arg(MIB1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_EnumeratePlain, c_english_ascii, Input::EnglishAscii)
    ->Arg(KIB4)
    ->Arg(MIB1)
    ->Unit(benchmark::kMillisecond);

BENCHMARK_CAPTURE(BM_StreamedRepair, a_windows_1251_100MB, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_StreamedRepair, b_utf8_garbled_twice_100MB, true)
    ->Unit(benchmark::kMillisecond);

BENCHMARK_CAPTURE(BM_RepairText, a_utf8_shown_as_1251, Seen::Utf8ShownAs1251)
    ->Arg(KIB4)
    ->Arg(MIB1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RepairText, b_right_russian, Seen::RightRussian)
    ->Arg(KIB4)
    ->Arg(MIB1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_RepairText, c_half_garbled_log, Seen::HalfGarbledLog)
    ->Arg(KIB4)
    ->Arg(MIB1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StreamedLines)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_WindowFix, a_utf8_shown_as_1251, Seen::Utf8ShownAs1251)
    ->Arg(MIB1)
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_WindowFix, b_right_russian, Seen::RightRussian)
    ->Arg(MIB1)
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
