// Reading and writing the memo canvas as a BMP file.
#include <algorithm>
#include <cstring>

#include "memo/BmpFormat.h"
#include "memo/MemoBitmap.h"
#include "platform/fs/File.h"
#include "platform/fs/ReplacingFile.h"

// Where a memo's bytes are read from: a file of the device, or bytes already in memory.
class MemoSource {
  public:
    virtual ~MemoSource() = default;
    // Up to `count` bytes, fewer only at the end; -1 on a read error.
    virtual ptrdiff_t Read(void* buffer, size_t count) = 0;
    virtual bool SeekTo(uint64_t offset) = 0;
    virtual int64_t Length() const = 0;
};

namespace {

class FileSource : public MemoSource {
  public:
    explicit FileSource(CFile& file) : m_file(file) {}
    ptrdiff_t Read(void* buffer, size_t count) override { return m_file.Read(buffer, count); }
    bool SeekTo(uint64_t offset) override {
        return m_file.Seek(static_cast<int64_t>(offset), CFile::begin) ==
               static_cast<int64_t>(offset);
    }
    int64_t Length() const override { return m_file.GetLength(); }

  private:
    CFile& m_file;
};

class BytesSource : public MemoSource {
  public:
    explicit BytesSource(std::string_view bytes) : m_bytes(bytes) {}
    ptrdiff_t Read(void* buffer, size_t count) override {
        const size_t got = std::min(count, m_bytes.size() - m_nPosition);
        std::memcpy(buffer, m_bytes.data() + m_nPosition, got);
        m_nPosition += got;
        return static_cast<ptrdiff_t>(got);
    }
    bool SeekTo(uint64_t offset) override {
        if (offset > m_bytes.size()) return false;
        m_nPosition = static_cast<size_t>(offset);
        return true;
    }
    int64_t Length() const override { return static_cast<int64_t>(m_bytes.size()); }

  private:
    std::string_view m_bytes;
    size_t m_nPosition = 0;
};

// Reads exactly `count` bytes; a short read and a read error both refuse the file.
bool ReadExactly(MemoSource& source, void* buffer, size_t count) {
    const ptrdiff_t got = source.Read(buffer, count);
    return got >= 0 && static_cast<size_t>(got) == count;
}

}  // namespace

bool CMemoBitmap::LoadFile(std::string_view path, FileIdentity* identity) {
    if (identity != nullptr) *identity = {};
    CFile file;
    if (!file.Open(path, CFile::modeRead)) {
        return false;
    }
    if (identity != nullptr) *identity = file.GetIdentity();
    FileSource source(file);
    return LoadFrom(source);
}

bool CMemoBitmap::LoadBytes(std::string_view bytes) {
    BytesSource source(bytes);
    return LoadFrom(source);
}

bool CMemoBitmap::LoadFrom(MemoSource& source) {
    uint8_t fileBytes[kBmpFileHeaderSize];
    if (!ReadExactly(source, fileBytes, sizeof fileBytes)) {
        return false;
    }
    const BmpFileHeader fileHeader = DecodeFileHeader(fileBytes);
    if (fileHeader.type != kBmpType) {
        return false;
    }
    uint8_t infoBytes[kBmpInfoHeaderSize];
    if (!ReadExactly(source, infoBytes, sizeof infoBytes)) {
        return false;
    }
    BITMAPINFO info{};
    info.bmiHeader = DecodeInfoHeader(infoBytes);
    if (info.bmiHeader.biSize != kBmpInfoHeaderSize) {
        return false;
    }
    const uint32_t colors = ColorTableSize(info.bmiHeader.biBitCount, info.bmiHeader.biCompression);
    if (colors > 0 && !ReadExactly(source, info.bmiColors, 4 * size_t{colors})) {
        return false;
    }
    if (fileHeader.fileSize < fileHeader.pixelOffset) {
        return false;
    }
    // Nothing is allocated for more pixels than the file holds or the picture needs: the
    // header's claims are checked against the file's real length first.
    const uint64_t pixelBytes = fileHeader.fileSize - fileHeader.pixelOffset;
    const int64_t length = source.Length();
    const BITMAPINFOHEADER& h = info.bmiHeader;
    const int64_t rows = h.biHeight < 0 ? -int64_t{h.biHeight} : int64_t{h.biHeight};
    const uint64_t needed = RowStride(h.biWidth, h.biBitCount) * static_cast<uint64_t>(rows);
    if (length < 0 || fileHeader.pixelOffset > static_cast<uint64_t>(length) ||
        pixelBytes > static_cast<uint64_t>(length) - fileHeader.pixelOffset || needed == 0 ||
        pixelBytes < needed) {
        return false;
    }
    if (!source.SeekTo(fileHeader.pixelOffset)) {
        return false;
    }
    // The rows go straight from the file into the pixel store: no second copy.
    info.bmiHeader.biSizeImage = static_cast<uint32_t>(needed);
    return CreateWith(&info, [&](std::span<uint8_t> store) {
        return store.size() == needed && ReadExactly(source, store.data(), store.size());
    });
}

std::string CMemoBitmap::EncodeHeaders(const BITMAPINFOHEADER& header,
                                       std::span<const RGBQUAD> colors) {
    const uint32_t headersSize =
        static_cast<uint32_t>(kBmpFileHeaderSize + kBmpInfoHeaderSize + 4 * colors.size());
    BmpFileHeader fileHeader;
    fileHeader.fileSize = headersSize + header.biSizeImage;
    fileHeader.pixelOffset = headersSize;
    std::string bytes(headersSize, '\0');
    auto* out = reinterpret_cast<uint8_t*>(bytes.data());
    uint8_t fileBytes[kBmpFileHeaderSize];
    EncodeFileHeader(fileHeader, fileBytes);
    std::memcpy(out, fileBytes, kBmpFileHeaderSize);
    EncodeInfoHeader(header, out + kBmpFileHeaderSize);
    if (!colors.empty()) {
        std::memcpy(out + kBmpFileHeaderSize + kBmpInfoHeaderSize, colors.data(),
                    4 * colors.size());
    }
    return bytes;
}

std::string CMemoBitmap::EncodeFile() const {
    if (m_pBits == nullptr) return {};
    std::string bytes = EncodeHeaders(m_header, ColorTable());
    bytes.append(reinterpret_cast<const char*>(m_pBits), m_header.biSizeImage);
    return bytes;
}

bool CMemoBitmap::WriteInto(CReplacingFile& file) const {
    const std::string headers = EncodeHeaders(m_header, ColorTable());
    return file.Write(headers.data(), headers.size()) && file.Write(m_pBits, m_header.biSizeImage);
}

bool CMemoBitmap::SaveFile(std::string_view path, FileIdentity* identity) {
    // An empty canvas has nothing to write; replacing a memo with it would lose the memo.
    if (m_pBits == nullptr) {
        return false;
    }
    CReplacingFile file;
    // A write that fails leaves the old file as it was: the new one is never committed.
    if (!file.Open(path) || !WriteInto(file) || !file.Commit()) {
        return false;
    }
    if (identity != nullptr) *identity = file.GetCommittedIdentity();
    return true;
}

CReplacingFile::Outcome CMemoBitmap::SaveFileIfUnchanged(std::string_view path,
                                                         const FileIdentity& expected,
                                                         FileIdentity* identity) {
    if (m_pBits == nullptr) return CReplacingFile::Outcome::Failed;
    // Looked at first, so that a folder, a link or another program's file under the name
    // counts as a change, and no picture is written for nothing.
    const FileIdentity there = FileIdentityAt(path);
    if (there.IsKnown() && there != expected) return CReplacingFile::Outcome::TargetChanged;
    CReplacingFile file;
    if (!file.Open(path) || !WriteInto(file)) return CReplacingFile::Outcome::Failed;
    const CReplacingFile::Outcome outcome = file.CommitIfUnchanged(expected);
    if (outcome == CReplacingFile::Outcome::Committed && identity != nullptr) {
        *identity = file.GetCommittedIdentity();
    }
    return outcome;
}
