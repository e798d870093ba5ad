#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>

// Fixed-width numbers in the byte order of the program's own files: least significant first.

template <typename T>
void AppendLittleEndian(std::string& out, T value) {
    static_assert(std::is_unsigned_v<T>);
    for (size_t i = 0; i < sizeof(T); ++i) out.push_back(static_cast<char>(value >> (8 * i)));
}

// Reads one number from the front of `in` and drops its bytes; false, with `in` as it was,
// when fewer bytes are left.
template <typename T>
[[nodiscard]] bool TakeLittleEndian(std::string_view& in, T& value) {
    static_assert(std::is_unsigned_v<T>);
    if (in.size() < sizeof(T)) return false;
    value = 0;
    for (size_t i = 0; i < sizeof(T); ++i) {
        value |= static_cast<T>(static_cast<T>(static_cast<uint8_t>(in[i])) << (8 * i));
    }
    in.remove_prefix(sizeof(T));
    return true;
}
