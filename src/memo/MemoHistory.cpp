#include "memo/MemoHistory.h"

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

}  // namespace

struct CMemoHistory::Step {
    bool whole = false;
    bool clears = false;
    // A rectangle step: the area, and the picture it belongs to.
    CRect area;
    int32_t width = 0;
    int32_t height = 0;
    int bits = 0;
    // The kept pixels: the area's rows, or the whole picture's store.
    std::unique_ptr<uint8_t[]> pixels;
    size_t size = 0;
    // A whole step: the kept picture's header and colours; a zero header for an empty canvas.
    std::unique_ptr<BITMAPINFO> info;

    size_t Bytes() const { return sizeof(Step) + size + (info ? sizeof(BITMAPINFO) : 0); }
};

CMemoHistory::CMemoHistory() = default;
CMemoHistory::~CMemoHistory() = default;

void CMemoHistory::Reset(bool asInFile) {
    m_steps.clear();
    m_nDone = 0;
    m_nSaved = asInFile ? 0 : -1;
    m_bBaseCleared = false;
    m_nBytes = 0;
}

bool CMemoHistory::MakeRoom(size_t bytes) {
    if (m_nSaved > static_cast<ptrdiff_t>(m_nDone)) m_nSaved = -1;
    while (m_steps.size() > m_nDone) {
        m_nBytes -= m_steps.back()->Bytes();
        m_steps.pop_back();
    }
    if (bytes > kMaxBytes) return false;
    while (!m_steps.empty() && m_nBytes + bytes > kMaxBytes) DropOldest();
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
    const Surface* surface = SurfaceOf(picture);
    if (surface != nullptr) {
        step->area = CRect::Intersect(area, surface->Bounds());
        step->width = surface->Width();
        step->height = surface->Height();
        step->bits = surface->BitsPerPixel();
    }
    const ByteColumns columns = ColumnsOf(step->area, step->bits);
    step->size = columns.count * static_cast<size_t>(step->area.Height());
    try {
        if (MakeRoom(step->Bytes())) {
            step->pixels = std::make_unique_for_overwrite<uint8_t[]>(step->size);
            uint8_t* kept = step->pixels.get();
            for (int32_t y = step->area.top; y < step->area.bottom; ++y, kept += columns.count) {
                std::memcpy(kept, surface->Row(y) + columns.first, columns.count);
            }
            Push(std::move(step));
            return;
        }
    } catch (const std::bad_alloc&) {
    }
    // A change too large to keep: nothing before it can be undone any more.
    Reset(false);
}

void CMemoHistory::BeforeClear(CMemoBitmap& picture) {
    auto step = std::make_unique<Step>();
    step->whole = true;
    step->clears = true;
    const Surface* surface = SurfaceOf(picture);
    step->size = surface != nullptr ? surface->SizeBytes() : 0;
    try {
        step->info = std::make_unique<BITMAPINFO>();
        if (MakeRoom(step->Bytes())) {
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
        if (step.area.IsRectEmpty()) return true;
        if (surface == nullptr || surface->Width() != step.width ||
            surface->Height() != step.height || surface->BitsPerPixel() != step.bits) {
            return false;
        }
        const ByteColumns columns = ColumnsOf(step.area, step.bits);
        std::vector<uint8_t> row(columns.count);
        uint8_t* kept = step.pixels.get();
        for (int32_t y = step.area.top; y < step.area.bottom; ++y, kept += columns.count) {
            uint8_t* shown = surface->Row(y) + columns.first;
            std::memcpy(row.data(), shown, columns.count);
            std::memcpy(shown, kept, columns.count);
            std::memcpy(kept, row.data(), columns.count);
        }
        return true;
    }
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
    if (!CanUndo()) return false;
    try {
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
