#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>

#include "memo/MemoBitmap.h"

class Surface;
#include "platform/gdi/Geometry.h"

// The changes of the open memo, for undo and redo. A step keeps only what changed in the
// rectangle given for it, row by row: while it is done, the pixels from before it; once
// undone, those from after it. Undo and redo swap the two. Clearing keeps the whole picture,
// since a cleared memo may have another size than the one it replaced.
//
// The history keeps a copy of the picture as its steps leave it. A change only notes its
// rectangle; when the next change comes or the step is undone, the rectangle is compared with
// that copy, which gives the step its pixels from before and takes those from after. So a
// stroke's commit pays for nothing but the comparison of its rectangle, once.
class CMemoHistory {
  public:
    // The most the steps hold together; the oldest go first.
    static constexpr size_t kMaxBytes = size_t{64} << 20;

    CMemoHistory();
    ~CMemoHistory();
    CMemoHistory(const CMemoHistory&) = delete;
    CMemoHistory& operator=(const CMemoHistory&) = delete;

    // Starts afresh with the picture as it is: what its file holds (a memo opened or
    // started), or not (a picture restored from elsewhere).
    void Reset(bool asInFile = true);
    // Before `area` of `picture` changes (a stroke, a stamp): keeps what it shows now.
    void BeforeChange(CMemoBitmap& picture, const CRect& area);
    // Before `picture` is replaced by a blank one: keeps all of it.
    void BeforeClear(CMemoBitmap& picture);

    bool CanUndo() const { return m_nDone > 0; }
    bool CanRedo() const { return m_nDone < m_steps.size(); }
    // False when there was nothing to undo or redo, or the picture is no longer the one the
    // step was made on (the history is then dropped, never applied to other pixels).
    [[nodiscard]] bool Undo(CMemoBitmap& picture);
    [[nodiscard]] bool Redo(CMemoBitmap& picture);

    // The memo as it is now has been written to its file.
    void MarkSaved();
    // Whether the memo needs no save where the history stands: its file holds it, or it is a
    // cleared picture not drawn on since the file's (which leaving never writes over the file,
    // just as after a clear).
    bool IsUnmodified() const;

    // What the steps hold, with the copy of the picture.
    size_t Bytes() const { return m_nBytes + m_nCopySize; }

  private:
    struct Step;

    // Makes room for a step of `bytes` after those done, beside a copy of the picture of
    // `copy` bytes: the redo steps go, and the oldest too while the total would pass the
    // limit. False when even alone it would.
    [[nodiscard]] bool MakeRoom(size_t bytes, size_t copy);
    // The copy of `surface` as the steps leave it, taken afresh when there is none of its
    // size; false when it cannot be held.
    [[nodiscard]] bool EnsureCopy(const Surface& surface);
    void DropCopy();
    // Row `y` of the copy of `surface`, laid out as the surface's own.
    uint8_t* CopyOf(const Surface& surface, int32_t y);
    void Push(std::unique_ptr<Step> step);
    void DropOldest();
    // The last step, while its rectangle waits, keeps what differs there between the copy and
    // the picture as the change left it; the copy then follows the picture.
    void Settle(CMemoBitmap& picture);
    [[nodiscard]] bool Swap(CMemoBitmap& picture, Step& step);

    std::deque<std::unique_ptr<Step>> m_steps;
    size_t m_nDone = 0;
    // How many steps are done when the memo is what its file holds; -1 when no such point
    // is left in the history.
    ptrdiff_t m_nSaved = 0;
    // The picture before the oldest step kept came from a clear.
    bool m_bBaseCleared = false;
    size_t m_nBytes = 0;
    std::unique_ptr<uint8_t[]> m_copy;
    size_t m_nCopySize = 0;
    int32_t m_nCopyWidth = 0;
    int32_t m_nCopyHeight = 0;
    int m_nCopyBits = 0;
};
