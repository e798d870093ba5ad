// Reads each input as a recovery copy that a crash cut short or a disk damaged, both as it
// is and sealed with a valid checksum (so that the reader past the checksum is reached too).
// A copy that reads must give back the same copy when written again, and its memo must load.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "memo/MemoBitmap.h"
#include "memo/RecoveryCopy.h"

namespace {

void ReadCopy(std::string_view bytes) {
    RecoveryCopy copy;
    if (!DecodeRecoveryCopy(bytes, copy)) {
        if (!copy.path.empty() || !copy.memo.empty()) std::abort();  // a refusal leaves nothing
        return;
    }
    if (EncodeRecoveryCopy(copy) != bytes) std::abort();
    CMemoBitmap memo;
    if (!memo.LoadBytes(copy.memo)) {
        if (memo.GetBitmap() != nullptr) std::abort();
        return;
    }
    CMemoBitmap again;
    if (!again.LoadBytes(memo.EncodeFile()) || again.EncodeFile() != memo.EncodeFile()) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    ReadCopy(bytes);
    ReadCopy(SealRecoveryCopy(bytes));
    return 0;
}
