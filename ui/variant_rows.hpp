// The rows of the variant list: every candidate of the catalogue's chains, in their order and as
// they always were, then at most MAX_OWN_ROWS rows of the repair's own readings whose texts no
// catalogue row has (the whole text through display pages and layers, and a text repaired in
// parts), the repair's own choice first. The row preselected shows the text the repair chose,
// the text `tavrik-cli fix` writes; where nothing improves the text, the earliest row showing it
// as given. The console tool's `list` and `top` show the same rows.
#pragma once

#include <string_view>
#include <vector>

#include "engine/candidates.hpp"

namespace tavrik {

inline constexpr int MAX_OWN_ROWS = 16;

struct VariantRows {
    std::vector<Candidate> rows;
    int catalogue_count = 0;  // the first rows, the catalogue's
    int preselected = -1;     // -1 only when there are no rows
};

// `bytes` as the catalogue's chains take them; `seen`, the text as the person saw it (UTF-8),
// read from `origin` ("utf8", or the page the bytes were shown in) as labels name it.
VariantRows variant_rows(std::string_view bytes, std::string_view seen, std::string_view origin);

}  // namespace tavrik
