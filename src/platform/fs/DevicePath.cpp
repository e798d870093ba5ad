#include "DevicePath.h"

#include <algorithm>

#include "platform/base/Text.h"

namespace {

bool IsRefused(char32_t c, bool pattern) {
    if (c < 0x20 || c == 0x7F) {
        return true;
    }
    switch (c) {
        case '<':
        case '>':
        case ':':
        case '"':
        case '\\':
        case '/':
        case '|':
            return true;
        case '?':
        case '*':
            return !pattern;
        default:
            return c >= 0xDC00 && c <= 0xDCFF;  // a byte that was not valid UTF-8
    }
}

std::vector<char32_t> FoldedCodePoints(std::string_view text) {
    std::vector<char32_t> result;
    result.reserve(text.size());
    for (size_t pos = 0; pos < text.size();) {
        result.push_back(FoldCase(DecodeUtf8(text, pos)));
    }
    return result;
}

}  // namespace

bool IsValidDeviceName(std::string_view name, bool pattern) {
    if (name.empty() || name.front() == '.' || Utf16Length(name) > kMaxDeviceName) {
        return false;
    }
    for (size_t pos = 0; pos < name.size();) {
        if (IsRefused(DecodeUtf8(name, pos), pattern)) {
            return false;
        }
    }
    return true;
}

std::optional<std::vector<std::string>> ParseDevicePath(std::string_view path, bool patternLast) {
    std::vector<std::string> names;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find_first_of("\\/", start);
        if (end == std::string_view::npos) {
            end = path.size();
        }
        const std::string_view name = path.substr(start, end - start);
        const bool last = end == path.size();
        if (name == "..") {
            if (!names.empty()) {
                names.pop_back();
            }
        } else if (!name.empty() && name != ".") {
            if (!IsValidDeviceName(name, patternLast && last)) {
                return std::nullopt;
            }
            names.emplace_back(name);
        }
        start = end + 1;
    }
    if (Utf16Length(JoinDevicePath(names)) >= kMaxDevicePath) {
        return std::nullopt;
    }
    return names;
}

std::string JoinDevicePath(const std::vector<std::string>& names) {
    if (names.empty()) {
        return "\\";
    }
    std::string result;
    for (const auto& name : names) {
        result += '\\';
        result += name;
    }
    return result;
}

namespace {

// "*" and then plain ASCII, as "*.bmp": when the name ends in as many ASCII bytes, those
// alone decide, with no folding of the whole name. Empty when the general match must.
std::optional<bool> MatchesAsciiSuffix(std::string_view name, std::string_view pattern) {
    const auto isAscii = [](char c) { return static_cast<unsigned char>(c) < 0x80; };
    if (pattern.size() < 2 || pattern.front() != '*') return std::nullopt;
    const std::string_view suffix = pattern.substr(1);
    if (!std::all_of(suffix.begin(), suffix.end(),
                     [&](char c) { return isAscii(c) && c != '*' && c != '?'; }) ||
        name.size() < suffix.size()) {
        return std::nullopt;
    }
    const std::string_view tail = name.substr(name.size() - suffix.size());
    if (!std::all_of(tail.begin(), tail.end(), isAscii)) return std::nullopt;
    return std::equal(tail.begin(), tail.end(), suffix.begin(), [](char a, char b) {
        return FoldCase(static_cast<char32_t>(a)) == FoldCase(static_cast<char32_t>(b));
    });
}

}  // namespace

bool MatchesPattern(std::string_view name, std::string_view pattern) {
    if (pattern == "*.*") {
        return true;
    }
    // Every listing of the save folder asks this of each name.
    if (const auto matched = MatchesAsciiSuffix(name, pattern)) return *matched;
    const auto text = FoldedCodePoints(name);
    const auto wild = FoldedCodePoints(pattern);
    // Greedy match with one backtrack point: linear in practice, never exponential.
    size_t t = 0;
    size_t w = 0;
    size_t starW = std::string_view::npos;
    size_t starT = 0;
    while (t < text.size()) {
        if (w < wild.size() && (wild[w] == U'?' || wild[w] == text[t])) {
            ++t, ++w;
        } else if (w < wild.size() && wild[w] == U'*') {
            starW = w++;
            starT = t;
        } else if (starW != std::string_view::npos) {
            w = starW + 1;
            t = ++starT;
        } else {
            return false;
        }
    }
    while (w < wild.size() && wild[w] == U'*') {
        ++w;
    }
    return w == wild.size();
}
