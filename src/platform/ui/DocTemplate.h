#pragma once

#include <functional>
#include <memory>
#include <string_view>

#include "platform/ui/CmdTarget.h"

class CDocument;
class CFrameWnd;
class CView;

// Joins one document class, one frame class and one view class to a resource id. The
// same document, frame and view serve every file that is opened.
class CSingleDocTemplate : public CCmdTarget {
  public:
    CSingleDocTemplate(UINT resourceId, std::function<CDocument*()> newDocument,
                       std::function<CFrameWnd*()> newFrame, std::function<CView*()> newView);
    ~CSingleDocTemplate() override;

    template <typename Doc, typename Frame, typename View>
    static std::unique_ptr<CSingleDocTemplate> Make(UINT resourceId) {
        return std::make_unique<CSingleDocTemplate>(
            resourceId, [] { return new Doc; }, [] { return new Frame; }, [] { return new View; });
    }

    // Leaves the current document (asking it first), then starts a new one for an empty
    // path or opens the path, then gives the view its initial update. The first call also
    // makes the frame and the view. Null when any step fails.
    [[nodiscard]] CDocument* OpenDocumentFile(std::string_view path);

    UINT GetResourceId() const { return m_nIDResource; }
    CDocument* GetDocument() const { return m_document.get(); }
    CFrameWnd* GetFrame() const { return m_frame.get(); }

  private:
    UINT m_nIDResource;
    std::function<CDocument*()> m_newDocument;
    std::function<CFrameWnd*()> m_newFrame;
    std::function<CView*()> m_newView;
    std::unique_ptr<CDocument> m_document;
    std::unique_ptr<CFrameWnd> m_frame;
};
