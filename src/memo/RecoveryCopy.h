#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "memo/MemoBitmap.h"
#include "platform/fs/FileIdentity.h"

// A recovery copy: the picture as the memo would be saved, and what it belongs to.
//   "QuilloRC" | u32 path length | path (UTF-8, empty for a memo never saved) |
//   identity of that file (40 bytes) | u32 memo length | memo (BMP) | u64 checksum of all before
// Little-endian. A crash can cut it short and a disk can damage it: the lengths and the
// checksum tell such a copy from a whole one.
struct RecoveryCopy {
    std::string path;
    FileIdentity identity;
    std::string memo;
};

// False for anything that is not one whole copy.
[[nodiscard]] bool DecodeRecoveryCopy(std::string_view bytes, RecoveryCopy& copy);
std::string EncodeRecoveryCopy(const RecoveryCopy& copy);
// `body` with the checksum that makes it pass for whole: lets a fuzzer reach past it.
std::string SealRecoveryCopy(std::string_view body);

// The canvas as it was at one moment, with the file it belongs to: taken on the user's
// thread (a copy of the pixels, nothing more), encoded later wherever it is written.
class MemoSnapshot {
  public:
    MemoSnapshot(const CMemoBitmap& canvas, std::string path, const FileIdentity& identity);
    bool IsEmpty() const { return m_pixels.empty(); }
    // Streams the copy's bytes into `sink`, as EncodeRecoveryCopy would make them.
    [[nodiscard]] bool WriteTo(const std::function<bool(const void*, size_t)>& sink) const;

  private:
    std::string m_strPath;
    FileIdentity m_identity;
    BITMAPINFOHEADER m_header{};
    std::vector<RGBQUAD> m_colors;
    std::vector<uint8_t> m_pixels;
};
