// Loads each input as a memo file; whatever loads must save and load back to the same
// picture, and saving that again must give the same bytes.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "memo/MemoBitmap.h"
#include "platform/fs/Device.h"
#include "platform/fs/File.h"

namespace {

std::string ReadDeviceFile(const char* path) {
    CFile file;
    std::string bytes;
    if (file.Open(path, CFile::modeRead)) {
        bytes.resize(static_cast<size_t>(file.GetLength()));
        file.Read(bytes.data(), bytes.size());
    }
    return bytes;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // A memory-backed device keeps the many small writes cheap.
    std::string folder = "/dev/shm/quillo-fuzz-XXXXXX";
    if (::mkdtemp(folder.data()) == nullptr) {
        folder = "/tmp/quillo-fuzz-XXXXXX";
        ::mkdtemp(folder.data());
    }
    if (!Device::Mount(folder)) {
        std::abort();
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    {
        CFile input;
        if (!input.Open("\\input.bmp", CFile::modeCreate | CFile::modeWrite) ||
            !input.Write(data, size)) {
            std::abort();
        }
    }
    CMemoBitmap first;
    if (!first.LoadFile("\\input.bmp")) {
        if (first.GetBitmap() != nullptr) std::abort();  // a failed load leaves it empty
        return 0;
    }
    if (!first.SaveFile("\\first.bmp")) std::abort();
    CMemoBitmap second;
    if (!second.LoadFile("\\first.bmp")) std::abort();
    const BITMAPINFOHEADER& a = first.Header();
    const BITMAPINFOHEADER& b = second.Header();
    if (std::memcmp(&a, &b, sizeof a) != 0 || first.ColorCount() != second.ColorCount() ||
        std::memcmp(first.ColorTable().data(), second.ColorTable().data(),
                    4 * size_t{first.ColorCount()}) != 0 ||
        std::memcmp(first.Bits(), second.Bits(), a.biSizeImage) != 0) {
        std::abort();
    }
    if (!second.SaveFile("\\second.bmp") ||
        ReadDeviceFile("\\first.bmp") != ReadDeviceFile("\\second.bmp")) {
        std::abort();
    }
    return 0;
}
