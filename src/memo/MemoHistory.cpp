#include "memo/MemoHistory.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <new>
#include <vector>

namespace {

// The bytes of a row that hold the pixels of `area`: whole bytes, so a picture of fewer than
// eight bits a pixel keeps a few neighbours too, which the step leaves as they were.
struct ByteColumns {
    size_t first;
    size_t count;
};

ByteColumns ColumnsOf(const CRect& area, int bits) {
    const auto bitsPerPixel = static_cast<size_t>(bits);
    const size_t first = static_cast<size_t>(area.left) * bitsPerPixel / 8;
    const size_t end = (static_cast<size_t>(area.right) * bitsPerPixel + 7) / 8;
    return {first, end - first};
}

Surface* SurfaceOf(CMemoBitmap& picture) {
    CBitmap* bitmap = picture.GetBitmap();
    return bitmap != nullptr ? bitmap->GetSurface() : nullptr;
}

uint64_t Word(const uint8_t* bytes) {
    uint64_t word;
    std::memcpy(&word, bytes, sizeof word);
    return word;
}

// The first byte at which `a` and `b` differ; `count` when they do not.
size_t FirstDifference(const uint8_t* a, const uint8_t* b, size_t count) {
    size_t i = 0;
    if constexpr (std::endian::native == std::endian::little) {
        for (; i + 8 <= count; i += 8) {
            if (const uint64_t differ = Word(a + i) ^ Word(b + i)) {
                return i + static_cast<size_t>(std::countr_zero(differ)) / 8;
            }
        }
    }
    while (i < count && a[i] == b[i]) ++i;
    return i;
}

// One past the last byte at which `a` and `b` differ; 0 when they do not.
size_t EndOfDifference(const uint8_t* a, const uint8_t* b, size_t count) {
    size_t i = count;
    if constexpr (std::endian::native == std::endian::little) {
        for (; i >= 8; i -= 8) {
            if (const uint64_t differ = Word(a + i - 8) ^ Word(b + i - 8)) {
                return i - static_cast<size_t>(std::countl_zero(differ)) / 8;
            }
        }
    }
    while (i > 0 && a[i - 1] == b[i - 1]) --i;
    return i;
}

// The bytes of one row that a step changed.
struct RowSpan {
    int32_t row;
    uint32_t first;
    uint32_t count;
};

}  // namespace

struct CMemoHistory::Step {
    bool whole = false;
    bool clears = false;
    // The rectangle waits to be compared with the history's copy; `size` is the most it can
    // come to.
    bool pending = false;
    // A rectangle step: the area, and the picture it belongs to.
    CRect area;
    int32_t width = 0;
    int32_t height = 0;
    int bits = 0;
    std::vector<RowSpan> spans;
    // The kept pixels: the spans' bytes one after the other, or the whole picture's store.
    std::unique_ptr<uint8_t[]> pixels;
    size_t size = 0;
    // A whole step: the kept picture's header and colours.
    std::unique_ptr<BITMAPINFO> info;

    size_t Bytes() const {
        return sizeof(Step) + size + spans.size() * sizeof(RowSpan) +
               (info ? sizeof(BITMAPINFO) : 0);
    }
    bool Fits(const Surface* surface) const {
        return surface != nullptr && surface->Width() == width && surface->Height() == height &&
               surface->BitsPerPixel() == bits;
    }
};

CMemoHistory::CMemoHistory() = default;
CMemoHistory::~CMemoHistory() = default;

void CMemoHistory::Reset(bool asInFile) {
    m_steps.clear();
    m_nDone = 0;
    m_nSaved = asInFile ? 0 : -1;
    m_bBaseCleared = false;
    m_nBytes = 0;
    DropCopy();
}

void CMemoHistory::DropCopy() {
    m_copy.reset();
    m_nCopySize = 0;
}

uint8_t* CMemoHistory::CopyOf(const Surface& surface, int32_t y) {
    return m_copy.get() + (surface.Row(y) - surface.Data());
}

bool CMemoHistory::EnsureCopy(const Surface& surface) {
    if (m_copy && surface.Width() == m_nCopyWidth && surface.Height() == m_nCopyHeight &&
        surface.BitsPerPixel() == m_nCopyBits) {
        return true;
    }
    DropCopy();
    if (!MakeRoom(0, surface.SizeBytes())) return false;
    m_copy = std::make_unique_for_overwrite<uint8_t[]>(surface.SizeBytes());
    std::memcpy(m_copy.get(), surface.Data(), surface.SizeBytes());
    m_nCopySize = surface.SizeBytes();
    m_nCopyWidth = surface.Width();
    m_nCopyHeight = surface.Height();
    m_nCopyBits = surface.BitsPerPixel();
    return true;
}

bool CMemoHistory::MakeRoom(size_t bytes, size_t copy) {
    if (m_nSaved > static_cast<ptrdiff_t>(m_nDone)) m_nSaved = -1;
    while (m_steps.size() > m_nDone) {
        m_nBytes -= m_steps.back()->Bytes();
        m_steps.pop_back();
    }
    const size_t needed = bytes + std::max(m_nCopySize, copy);
    if (needed > kMaxBytes) return false;
    while (!m_steps.empty() && m_nBytes + needed > kMaxBytes) DropOldest();
    return true;
}

void CMemoHistory::DropOldest() {
    m_bBaseCleared = m_steps.front()->clears;
    m_nBytes -= m_steps.front()->Bytes();
    m_steps.pop_front();
    --m_nDone;
    m_nSaved = m_nSaved > 0 ? m_nSaved - 1 : -1;
}

void CMemoHistory::Push(std::unique_ptr<Step> step) {
    m_nBytes += step->Bytes();
    m_steps.push_back(std::move(step));
    ++m_nDone;
}

void CMemoHistory::BeforeChange(CMemoBitmap& picture, const CRect& area) {
    auto step = std::make_unique<Step>();
    step->pending = true;
    const Surface* surface = SurfaceOf(picture);
    if (surface != nullptr) {
        step->area = CRect::Intersect(area, surface->Bounds());
        step->width = surface->Width();
        step->height = surface->Height();
        step->bits = surface->BitsPerPixel();
    }
    const ByteColumns columns = ColumnsOf(step->area, step->bits);
    const auto rows = static_cast<size_t>(step->area.Height());
    // Every byte of every row changed: the most it can keep.
    step->size = columns.count * rows + rows * sizeof(RowSpan);
    try {
        Settle(picture);
        if ((surface == nullptr || EnsureCopy(*surface)) &&
            MakeRoom(step->Bytes(), surface != nullptr ? surface->SizeBytes() : 0)) {
            Push(std::move(step));
            return;
        }
    } catch (const std::bad_alloc&) {
    }
    // A change too large to keep: nothing before it can be undone any more.
    Reset(false);
}

void CMemoHistory::Settle(CMemoBitmap& picture) {
    if (m_nDone == 0 || !m_steps[m_nDone - 1]->pending) return;
    Step& step = *m_steps[m_nDone - 1];
    Surface* surface = SurfaceOf(picture);
    if (!step.area.IsRectEmpty() && (!step.Fits(surface) || !m_copy)) {
        Reset(false);  // the picture was replaced behind the history's back
        return;
    }
    m_nBytes -= step.Bytes();
    step.pending = false;
    step.size = 0;
    const ByteColumns columns = ColumnsOf(step.area, step.bits);
    for (int32_t y = step.area.top; y < step.area.bottom; ++y) {
        const uint8_t* before = CopyOf(*surface, y) + columns.first;
        const uint8_t* after = surface->Row(y) + columns.first;
        if (std::memcmp(before, after, columns.count) == 0) continue;
        const size_t first = FirstDifference(before, after, columns.count);
        const size_t end = EndOfDifference(before, after, columns.count);
        step.spans.push_back(
            {y, static_cast<uint32_t>(columns.first + first), static_cast<uint32_t>(end - first)});
        step.size += end - first;
    }
    step.spans.shrink_to_fit();
    step.pixels = std::make_unique_for_overwrite<uint8_t[]>(step.size);
    uint8_t* kept = step.pixels.get();
    for (const RowSpan& span : step.spans) {
        uint8_t* copied = CopyOf(*surface, span.row) + span.first;
        std::memcpy(kept, copied, span.count);
        std::memcpy(copied, surface->Row(span.row) + span.first, span.count);
        kept += span.count;
    }
    m_nBytes += step.Bytes();
}

void CMemoHistory::BeforeClear(CMemoBitmap& picture) {
    auto step = std::make_unique<Step>();
    step->whole = true;
    step->clears = true;
    const Surface* surface = SurfaceOf(picture);
    step->size = surface != nullptr ? surface->SizeBytes() : 0;
    try {
        Settle(picture);
        DropCopy();  // a blank picture takes this one's place
        step->info = std::make_unique<BITMAPINFO>();
        if (MakeRoom(step->Bytes(), 0)) {
            if (surface != nullptr) {
                step->info->bmiHeader = picture.Header();
                std::ranges::copy(picture.ColorTable(), step->info->bmiColors);
                step->pixels = std::make_unique_for_overwrite<uint8_t[]>(step->size);
                std::memcpy(step->pixels.get(), surface->Data(), step->size);
            }
            Push(std::move(step));
            return;
        }
    } catch (const std::bad_alloc&) {
    }
    Reset(false);
    m_bBaseCleared = true;
}

bool CMemoHistory::Swap(CMemoBitmap& picture, Step& step) {
    Surface* surface = SurfaceOf(picture);
    if (!step.whole) {
        if (step.spans.empty()) return true;
        if (!step.Fits(surface)) return false;
        std::vector<uint8_t> row;
        uint8_t* kept = step.pixels.get();
        for (const RowSpan& span : step.spans) {
            uint8_t* shown = surface->Row(span.row) + span.first;
            row.assign(shown, shown + span.count);
            std::memcpy(shown, kept, span.count);
            std::memcpy(kept, row.data(), span.count);
            if (m_copy) std::memcpy(CopyOf(*surface, span.row) + span.first, shown, span.count);
            kept += span.count;
        }
        return true;
    }
    // Another picture takes the place of this one: the copy is taken afresh when needed.
    DropCopy();
    // The picture shown now becomes the one the step keeps.
    auto info = std::make_unique<BITMAPINFO>();
    std::unique_ptr<uint8_t[]> pixels;
    const size_t size = surface != nullptr ? surface->SizeBytes() : 0;
    if (surface != nullptr) {
        info->bmiHeader = picture.Header();
        std::ranges::copy(picture.ColorTable(), info->bmiColors);
        pixels = std::make_unique_for_overwrite<uint8_t[]>(size);
        std::memcpy(pixels.get(), surface->Data(), size);
    }
    if (step.size == 0) {
        picture.Reset();
    } else if (!picture.CreateFromDib(step.info.get(), {step.pixels.get(), step.size})) {
        // Back to the picture shown, which fits in the store it came from.
        if (size != 0) (void)picture.CreateFromDib(info.get(), {pixels.get(), size});
        return false;
    }
    m_nBytes -= step.Bytes();
    step.info = std::move(info);
    step.pixels = std::move(pixels);
    step.size = size;
    m_nBytes += step.Bytes();
    return true;
}

bool CMemoHistory::Undo(CMemoBitmap& picture) {
    try {
        Settle(picture);
        if (!CanUndo()) return false;
        if (Swap(picture, *m_steps[m_nDone - 1])) {
            --m_nDone;
            return true;
        }
    } catch (const std::bad_alloc&) {
    }
    Reset(false);
    return false;
}

bool CMemoHistory::Redo(CMemoBitmap& picture) {
    if (!CanRedo()) return false;
    try {
        if (Swap(picture, *m_steps[m_nDone])) {
            ++m_nDone;
            return true;
        }
    } catch (const std::bad_alloc&) {
    }
    Reset(false);
    return false;
}

void CMemoHistory::MarkSaved() {
    m_nSaved = static_cast<ptrdiff_t>(m_nDone);
}

bool CMemoHistory::IsUnmodified() const {
    const auto done = static_cast<ptrdiff_t>(m_nDone);
    if (done == m_nSaved) return true;
    const bool cleared = m_nDone > 0 ? m_steps[m_nDone - 1]->clears : m_bBaseCleared;
    return cleared && m_nSaved < done;
}
