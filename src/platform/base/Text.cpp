#include "Text.h"

#include <algorithm>
#include <iterator>

namespace {

struct FoldPair {
    char32_t from;
    char32_t to;
};

constexpr FoldPair kFoldTable[] = {
#include "CaseFoldTable.inc"
};

char32_t Invalid(unsigned char byte) {
    return 0xDC00 + byte;
}

}  // namespace

char32_t DecodeUtf8(std::string_view text, size_t& pos) {
    const auto lead = static_cast<unsigned char>(text[pos]);
    if (lead < 0x80) {
        ++pos;
        return lead;
    }
    int length = 0;
    char32_t value = 0;
    char32_t minimum = 0;
    if ((lead & 0xE0) == 0xC0) {
        length = 2, value = lead & 0x1F, minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        length = 3, value = lead & 0x0F, minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        length = 4, value = lead & 0x07, minimum = 0x10000;
    } else {
        ++pos;
        return Invalid(lead);
    }
    if (pos + static_cast<size_t>(length) > text.size()) {
        ++pos;
        return Invalid(lead);
    }
    for (int i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[pos + static_cast<size_t>(i)]);
        if ((next & 0xC0) != 0x80) {
            ++pos;
            return Invalid(lead);
        }
        value = (value << 6) | (next & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        ++pos;
        return Invalid(lead);
    }
    pos += static_cast<size_t>(length);
    return value;
}

char32_t FoldCase(char32_t codePoint) {
    if (codePoint < 0x80) {
        return (codePoint >= 'A' && codePoint <= 'Z') ? codePoint + 32 : codePoint;
    }
    const auto* end = std::end(kFoldTable);
    const auto* found =
        std::lower_bound(std::begin(kFoldTable), end, codePoint,
                         [](const FoldPair& pair, char32_t value) { return pair.from < value; });
    return (found != end && found->from == codePoint) ? found->to : codePoint;
}

int CompareNoCase(std::string_view a, std::string_view b) {
    size_t i = 0;
    size_t j = 0;
    while (i < a.size() && j < b.size()) {
        const char32_t x = FoldCase(DecodeUtf8(a, i));
        const char32_t y = FoldCase(DecodeUtf8(b, j));
        if (x != y) {
            return x < y ? -1 : 1;
        }
    }
    if (i < a.size()) {
        return 1;
    }
    return j < b.size() ? -1 : 0;
}

size_t Utf16Length(std::string_view text) {
    size_t units = 0;
    for (size_t pos = 0; pos < text.size();) {
        units += DecodeUtf8(text, pos) >= 0x10000 ? 2 : 1;
    }
    return units;
}

uint64_t Fnv1a(std::string_view text) {
    uint64_t hash = 1469598103934665603ULL;
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ULL;
    }
    return hash;
}
