#pragma once

#include <cstdarg>
#include <string>

// printf-style formatting into a std::string, so that the program's own format texts
// ("%d%02d%02d%02d%02d.bmp", "FileName%02d", ...) can be used exactly as written.
std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string FormatV(const char* format, va_list args) __attribute__((format(printf, 1, 0)));
