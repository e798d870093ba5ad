#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Device paths name entries under the device's root with "\" as separator ("/" is read as
// "\" too). The device has no current folder: every path starts at the root.

// The longest device path in UTF-16 units, with room for the terminator the device counts.
constexpr size_t kMaxDevicePath = 260;
// The longest single name, in UTF-16 units.
constexpr size_t kMaxDeviceName = 255;

// True for a name the device can create: not empty, valid UTF-8, none of <>:"\/|?* or a
// control character, not starting with "." (the host's hidden entries, where the device
// keeps its own temporaries), and not too long. With `pattern`, "*" and "?" are allowed.
bool IsValidDeviceName(std::string_view name, bool pattern = false);

// Splits a path into its names from the root. Empty names and "." are dropped, ".." removes
// the name before it and stops at the root, so no path can climb out of the device. Fails
// for an invalid name or a path that is too long. With `patternLast`, the last name may hold
// wildcards.
[[nodiscard]] std::optional<std::vector<std::string>> ParseDevicePath(std::string_view path,
                                                                      bool patternLast = false);

// Joins names into the canonical device path: "\" for the root, "\a\b" otherwise.
std::string JoinDevicePath(const std::vector<std::string>& names);

// Wildcard match without regard to case: "*" is any run of characters, "?" any one.
// "*.*" matches every name, as on the device.
bool MatchesPattern(std::string_view name, std::string_view pattern);
