#include "Stylus.h"

#include <algorithm>
#include <cstddef>

namespace {

struct Batch {
    std::vector<CPoint> samples;
    std::vector<uint16_t> pressures;
    StylusPointer pointer = StylusPointer::Mouse;
};

Batch& Current() {
    static Batch batch;
    return batch;
}

template <typename T>
int CopyOut(const std::vector<T>& from, T* out, int max) {
    const int count =
        std::min<int>(std::min(max, kMaxStylusSamples), static_cast<int>(from.size()));
    std::copy_n(from.begin(), count, out);
    return count;
}

}  // namespace

int GetStylusSamples(CPoint* out, int max) {
    return CopyOut(Current().samples, out, max);
}

int GetStylusPressures(uint16_t* out, int max) {
    return CopyOut(Current().pressures, out, max);
}

StylusPointer GetStylusPointer() {
    return Current().pointer;
}

void SetStylusBatch(const std::vector<CPoint>& samples, StylusPointer pointer,
                    const std::vector<uint16_t>& pressures) {
    Batch& batch = Current();
    const size_t keep = std::min<size_t>(samples.size(), kMaxStylusSamples);
    batch.samples.assign(samples.end() - static_cast<ptrdiff_t>(keep), samples.end());
    batch.pressures.assign(keep, kMaxStylusPressure);
    for (size_t i = 0; i < keep; ++i) {
        const size_t from = samples.size() - keep + i;
        if (from < pressures.size())
            batch.pressures[i] = std::min<uint16_t>(pressures[from], kMaxStylusPressure);
    }
    batch.pointer = pointer;
}
