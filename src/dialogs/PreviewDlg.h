#pragma once

#include <vector>

#include "dialogs/ThumbnailCtrl.h"
#include "memo/MemoList.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Dialog.h"

// All memos of the save folder as thumbnails, scrolled by rows: open one, start a new
// memo, delete one, or change one's title.
class CPreviewDlg : public CDialog {
    DECLARE_MESSAGE_MAP()

  public:
    static constexpr int kOpenNone = -1;
    static constexpr int kNewMemo = -2;

    CPreviewDlg();
    bool OnInitDialog() override;
    void OnOK() override;

    // The largest first row for `count` memos: two to a row, two rows shown.
    static int LargestFirstRow(int count);

    CScrollBar m_scrollBar;
    CThumbnailCtrl m_thumbnails;
    std::vector<MemoEntry>* m_pMemoList = nullptr;
    int m_nResult = kOpenNone;
    int m_nMaxRow = 0;

  private:
    void OnVScroll(UINT code, UINT position, CScrollBar* bar);
    void OnNew();
    void OnDelete();
    void OnTitle();
    void FitControls();
    // The selection's list entry, or null after telling the user to select one.
    MemoEntry* SelectedMemo();
};
