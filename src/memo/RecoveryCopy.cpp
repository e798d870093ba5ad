#include "memo/RecoveryCopy.h"

#include <cstring>

#include "platform/base/LittleEndian.h"

namespace {

constexpr std::string_view kMagic = "QuilloRC";
constexpr size_t kChecksumBytes = 8;

// FNV-1a over 64-bit words, fed in pieces: quick enough for a whole canvas on every copy,
// and any torn or flipped byte shows.
class Checksum {
  public:
    void Add(const void* data, size_t count) {
        const auto* bytes = static_cast<const uint8_t*>(data);
        m_length += count;
        while (count > 0 && m_pending > 0) {
            AddByte(*bytes++);
            --count;
        }
        for (; count >= 8; count -= 8, bytes += 8) {
            uint64_t word;
            std::memcpy(&word, bytes, 8);
            Mix(word);
        }
        while (count-- > 0) AddByte(*bytes++);
    }
    uint64_t Value() const {
        Checksum last = *this;
        last.Mix(last.m_word ^ (uint64_t{last.m_pending} << 56));
        last.Mix(m_length);
        return last.m_hash;
    }

  private:
    void AddByte(uint8_t byte) {
        m_word |= uint64_t{byte} << (8 * m_pending);
        if (++m_pending == 8) {
            Mix(m_word);
            m_word = 0;
            m_pending = 0;
        }
    }
    void Mix(uint64_t word) { m_hash = (m_hash ^ word) * 0x100000001b3ULL; }

    uint64_t m_hash = 0xcbf29ce484222325ULL;
    uint64_t m_word = 0;
    unsigned m_pending = 0;
    uint64_t m_length = 0;
};

std::string EncodeChecksum(uint64_t value) {
    std::string out;
    AppendLittleEndian(out, value);
    return out;
}

// Everything before the memo's own bytes.
std::string EncodePrefix(std::string_view path, const FileIdentity& identity, uint64_t memoSize) {
    std::string out(kMagic);
    AppendLittleEndian(out, static_cast<uint32_t>(path.size()));
    out += path;
    AppendFileIdentity(out, identity);
    AppendLittleEndian(out, static_cast<uint32_t>(memoSize));
    return out;
}

}  // namespace

bool DecodeRecoveryCopy(std::string_view bytes, RecoveryCopy& copy) {
    copy = {};
    if (bytes.size() < kChecksumBytes) return false;
    std::string_view body = bytes.substr(0, bytes.size() - kChecksumBytes);
    Checksum checksum;
    checksum.Add(body.data(), body.size());
    if (bytes.substr(body.size()) != EncodeChecksum(checksum.Value())) return false;
    if (!body.starts_with(kMagic)) return false;
    body.remove_prefix(kMagic.size());
    uint32_t pathSize = 0;
    if (!TakeLittleEndian(body, pathSize) || pathSize > body.size()) return false;
    copy.path = body.substr(0, pathSize);
    body.remove_prefix(pathSize);
    uint32_t memoSize = 0;
    if (!TakeFileIdentity(body, copy.identity) || !TakeLittleEndian(body, memoSize) ||
        memoSize != body.size()) {
        copy = {};
        return false;
    }
    copy.memo = body;
    return true;
}

std::string EncodeRecoveryCopy(const RecoveryCopy& copy) {
    return SealRecoveryCopy(EncodePrefix(copy.path, copy.identity, copy.memo.size()) + copy.memo);
}

std::string SealRecoveryCopy(std::string_view body) {
    Checksum checksum;
    checksum.Add(body.data(), body.size());
    return std::string(body) + EncodeChecksum(checksum.Value());
}

MemoSnapshot::MemoSnapshot(const CMemoBitmap& canvas, std::string path,
                           const FileIdentity& identity)
    : m_strPath(std::move(path)), m_identity(identity) {
    if (canvas.Bits() == nullptr) return;
    m_header = canvas.Header();
    m_colors.assign(canvas.ColorTable().begin(), canvas.ColorTable().end());
    m_pixels.assign(canvas.Bits(), canvas.Bits() + m_header.biSizeImage);
}

bool MemoSnapshot::WriteTo(const std::function<bool(const void*, size_t)>& sink) const {
    if (IsEmpty()) return false;
    const std::string headers = CMemoBitmap::EncodeHeaders(m_header, m_colors);
    const std::string prefix =
        EncodePrefix(m_strPath, m_identity, headers.size() + m_pixels.size());
    Checksum checksum;
    checksum.Add(prefix.data(), prefix.size());
    checksum.Add(headers.data(), headers.size());
    checksum.Add(m_pixels.data(), m_pixels.size());
    const std::string tail = EncodeChecksum(checksum.Value());
    return sink(prefix.data(), prefix.size()) && sink(headers.data(), headers.size()) &&
           sink(m_pixels.data(), m_pixels.size()) && sink(tail.data(), tail.size());
}
