#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// Text is UTF-8 in std::string. The device compares file, folder, key and value names
// without regard to case, and it folds Unicode case, not only ASCII: "ＡＢＣ" equals "ａｂｃ".

// Compares by folded code points: negative, zero or positive like strcmp. Bytes that are not
// valid UTF-8 compare as themselves, so no input makes two different names fold together
// by accident of decoding.
int CompareNoCase(std::string_view a, std::string_view b);
inline bool EqualNoCase(std::string_view a, std::string_view b) {
    return CompareNoCase(a, b) == 0;
}

// The simple case folding of one code point.
char32_t FoldCase(char32_t codePoint);

// Length in UTF-16 code units: the unit in which the device counts its 256 and 260
// character limits. A character outside the Basic Multilingual Plane counts twice.
size_t Utf16Length(std::string_view text);

// Decodes one code point at `pos` and advances `pos`. A byte that does not start a valid,
// shortest-form sequence is returned as 0xDC00 + byte (a lone surrogate, which valid UTF-8
// never yields), one byte consumed.
char32_t DecodeUtf8(std::string_view text, size_t& pos);

// 64-bit FNV-1a of the bytes: a short, stable name for a longer text (a device directory).
uint64_t Fnv1a(std::string_view text);
