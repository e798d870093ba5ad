// Reading and writing the memo canvas as a BMP file.
#include <cstring>
#include <vector>

#include "memo/BmpFormat.h"
#include "memo/MemoBitmap.h"
#include "platform/base/Exceptions.h"
#include "platform/fs/File.h"
#include "platform/fs/ReplacingFile.h"

namespace {

// Reads exactly `count` bytes; a short read is a rejection, a read error the file error.
bool ReadExactly(CFile& file, void* buffer, size_t count, std::string_view path) {
    const ptrdiff_t got = file.Read(buffer, count);
    if (got < 0) {
        throw CFileException(CFileException::generic, std::string(path));
    }
    return static_cast<size_t>(got) == count;
}

}  // namespace

bool CMemoBitmap::LoadFile(std::string_view path, FileIdentity* identity) {
    if (identity != nullptr) *identity = {};
    CFile file;
    if (!file.Open(path, CFile::modeRead)) {
        return false;
    }
    if (identity != nullptr) *identity = file.GetIdentity();
    uint8_t fileBytes[kBmpFileHeaderSize];
    if (!ReadExactly(file, fileBytes, sizeof fileBytes, path)) {
        return false;
    }
    const BmpFileHeader fileHeader = DecodeFileHeader(fileBytes);
    if (fileHeader.type != kBmpType) {
        return false;
    }
    uint8_t infoBytes[kBmpInfoHeaderSize];
    if (!ReadExactly(file, infoBytes, sizeof infoBytes, path)) {
        return false;
    }
    BITMAPINFO info{};
    info.bmiHeader = DecodeInfoHeader(infoBytes);
    if (info.bmiHeader.biSize != kBmpInfoHeaderSize) {
        return false;
    }
    const uint32_t colors = ColorTableSize(info.bmiHeader.biBitCount, info.bmiHeader.biCompression);
    if (colors > 0 && !ReadExactly(file, info.bmiColors, 4 * size_t{colors}, path)) {
        return false;
    }
    if (fileHeader.fileSize < fileHeader.pixelOffset) {
        return false;
    }
    // Nothing is allocated for more pixels than the file holds or the picture needs: the
    // header's claims are checked against the file's real length first.
    const uint64_t pixelBytes = fileHeader.fileSize - fileHeader.pixelOffset;
    const int64_t length = file.GetLength();
    const BITMAPINFOHEADER& h = info.bmiHeader;
    const int64_t rows = h.biHeight < 0 ? -int64_t{h.biHeight} : int64_t{h.biHeight};
    const uint64_t needed = RowStride(h.biWidth, h.biBitCount) * static_cast<uint64_t>(rows);
    if (length < 0 || fileHeader.pixelOffset > static_cast<uint64_t>(length) ||
        pixelBytes > static_cast<uint64_t>(length) - fileHeader.pixelOffset || needed == 0 ||
        pixelBytes < needed) {
        return false;
    }
    if (file.Seek(fileHeader.pixelOffset, CFile::begin) != int64_t{fileHeader.pixelOffset}) {
        return false;
    }
    // The rows go straight from the file into the pixel store: no second copy.
    info.bmiHeader.biSizeImage = static_cast<uint32_t>(needed);
    return CreateWith(&info, [&](std::span<uint8_t> store) {
        return store.size() == needed && ReadExactly(file, store.data(), store.size(), path);
    });
}

std::string CMemoBitmap::EncodeFile() const {
    if (m_pBits == nullptr) return {};
    const uint32_t headersSize = kBmpFileHeaderSize + kBmpInfoHeaderSize + 4 * m_nColors;
    BmpFileHeader fileHeader;
    fileHeader.fileSize = headersSize + m_header.biSizeImage;
    fileHeader.pixelOffset = headersSize;
    std::string bytes(headersSize, '\0');
    auto* out = reinterpret_cast<uint8_t*>(bytes.data());
    uint8_t fileBytes[kBmpFileHeaderSize];
    EncodeFileHeader(fileHeader, fileBytes);
    std::memcpy(out, fileBytes, kBmpFileHeaderSize);
    EncodeInfoHeader(m_header, out + kBmpFileHeaderSize);
    std::memcpy(out + kBmpFileHeaderSize + kBmpInfoHeaderSize, m_colorTable, 4 * size_t{m_nColors});
    bytes.append(reinterpret_cast<const char*>(m_pBits), m_header.biSizeImage);
    return bytes;
}

bool CMemoBitmap::WriteInto(CReplacingFile& file) const {
    const uint32_t headersSize = kBmpFileHeaderSize + kBmpInfoHeaderSize + 4 * m_nColors;
    BmpFileHeader fileHeader;
    fileHeader.fileSize = headersSize + m_header.biSizeImage;
    fileHeader.pixelOffset = headersSize;

    std::vector<uint8_t> headers(headersSize);
    uint8_t fileBytes[kBmpFileHeaderSize];
    EncodeFileHeader(fileHeader, fileBytes);
    std::copy(std::begin(fileBytes), std::end(fileBytes), headers.begin());
    EncodeInfoHeader(m_header, headers.data() + kBmpFileHeaderSize);
    std::memcpy(headers.data() + kBmpFileHeaderSize + kBmpInfoHeaderSize, m_colorTable,
                4 * size_t{m_nColors});
    return file.Write(headers.data(), headers.size()) && file.Write(m_pBits, m_header.biSizeImage);
}

bool CMemoBitmap::SaveFile(std::string_view path, FileIdentity* identity) {
    // An empty canvas has nothing to write; replacing a memo with it would lose the memo.
    if (m_pBits == nullptr) {
        return false;
    }
    CReplacingFile file;
    if (!file.Open(path)) {
        return false;
    }
    if (!WriteInto(file) || !file.Commit()) {
        throw CFileException(CFileException::generic, std::string(path));
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
