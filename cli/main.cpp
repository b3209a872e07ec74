// Console companion: reads garbled bytes on standard input and prints every repair variant the
// way the window lists them (chain, score, preview), the preselected one marked with "*", then
// that variant's whole text.
#include <cstdio>
#include <cstring>
#include <iostream>
#include <iterator>
#include <string>

#include "engine/candidates.hpp"
#include "ui/list_line.hpp"

namespace {

constexpr const char* USAGE =
    "Использование: tavrik-cli < файл\n"
    "Читает искажённый текст со стандартного ввода и печатает все варианты исправления:\n"
    "цепочку перекодировок, оценку и начало текста. Лучший вариант отмечен «*», после списка\n"
    "он напечатан целиком.\n"
    "Системные кодовые страницы: 1251 (ANSI) и 866 (OEM); другие задают переменные\n"
    "окружения TAVRIK_ACP и TAVRIK_OEMCP.\n";

}  // namespace

int main(int argc, char** argv) {
    if (argc > 1) {
        const bool help = std::strcmp(argv[1], "-h") == 0 || std::strcmp(argv[1], "--help") == 0;
        std::fputs(USAGE, help ? stdout : stderr);
        return help ? 0 : 2;
    }
    std::string input(std::istreambuf_iterator<char>(std::cin), {});
    if (std::cin.bad()) {
        std::fputs("Не удалось прочитать стандартный ввод.\n", stderr);
        return 1;
    }

    std::array<tavrik::Candidate, tavrik::MAX_CANDIDATES> candidates;
    int count = 0;
    tavrik::enumerate_candidates(input, candidates, count);
    if (count == 0) {
        std::fputs("Ни одна цепочка не дала результата.\n", stderr);
        return 1;
    }
    const auto held = std::span(candidates).first(static_cast<std::size_t>(count));
    const int best = tavrik::best_candidate_index(held);
    for (int i = 0; i < count; ++i) {
        const std::string line = tavrik::format_list_line(held[static_cast<std::size_t>(i)]);
        std::printf("%s %s\n", i == best ? "*" : " ", tavrik::displayable_utf8(line).c_str());
    }
    const tavrik::Candidate& chosen = held[static_cast<std::size_t>(best)];
    std::printf("\n%s\n", tavrik::displayable_utf8(chosen.view()).c_str());
    tavrik::free_candidates(held);
    return 0;
}
