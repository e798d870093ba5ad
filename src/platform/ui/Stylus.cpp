#include "Stylus.h"

#include <algorithm>
#include <cstddef>

namespace {

std::vector<CPoint>& Batch() {
    static std::vector<CPoint> batch;
    return batch;
}

}  // namespace

int GetStylusSamples(CPoint* out, int max) {
    const auto& batch = Batch();
    const int count =
        std::min<int>(std::min(max, kMaxStylusSamples), static_cast<int>(batch.size()));
    std::copy_n(batch.begin(), count, out);
    return count;
}

void SetStylusBatch(const std::vector<CPoint>& samples) {
    const size_t keep = std::min<size_t>(samples.size(), kMaxStylusSamples);
    Batch().assign(samples.end() - static_cast<ptrdiff_t>(keep), samples.end());
}
