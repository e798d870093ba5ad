#pragma once

#include <string_view>

#include "memo/MemoBitmap.h"
#include "platform/ui/Wnd.h"

// A memo's picture in a dialog, stretched over the whole control it takes the place of.
class CMemoPicture : public CWnd {
    DECLARE_MESSAGE_MAP()

  public:
    // A file that cannot be read leaves the picture empty.
    void LoadMemo(std::string_view path);

    CMemoBitmap m_bitmap;

  private:
    void OnPaint();
};
