#include "DocTemplate.h"

#include "platform/ui/Document.h"
#include "platform/ui/Frame.h"
#include "platform/ui/View.h"
#include "platform/ui/WinApp.h"

CSingleDocTemplate::CSingleDocTemplate(UINT resourceId, std::function<CDocument*()> newDocument,
                                       std::function<CFrameWnd*()> newFrame,
                                       std::function<CView*()> newView)
    : m_nIDResource(resourceId),
      m_newDocument(std::move(newDocument)),
      m_newFrame(std::move(newFrame)),
      m_newView(std::move(newView)) {}

CSingleDocTemplate::~CSingleDocTemplate() {
    // The view goes with the frame; the document outlives neither.
    m_frame.reset();
    m_document.reset();
}

CDocument* CSingleDocTemplate::OpenDocumentFile(std::string_view path) {
    const bool first = m_document == nullptr;
    if (first) {
        m_document.reset(m_newDocument());
        m_document->m_pDocTemplate = this;
    } else if (!m_document->SaveIfModified()) {
        return nullptr;
    }
    if (m_frame == nullptr || !m_frame->IsWindow()) {
        m_frame.reset(m_newFrame());
        CCreateContext context{m_newView, m_document.get()};
        if (!m_frame->LoadFrame(m_nIDResource, &context)) {
            m_frame.reset();
            return nullptr;
        }
        CWinApp* app = AfxGetApp();
        if (app != nullptr && app->m_pMainWnd == nullptr) app->m_pMainWnd = m_frame.get();
    }
    const bool opened = path.empty() ? m_document->NewMemo() : m_document->OpenMemo(path);
    if (!opened) {
        return nullptr;
    }
    m_frame->InitialUpdateFrame(m_document.get());
    return m_document.get();
}
