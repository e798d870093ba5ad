#pragma once

#include "platform/ui/Wnd.h"

struct DialogTemplate;

// A modal dialog made from a dialog template. DoModal answers IDOK or IDCANCEL; the
// window's close button and Escape cancel, Enter is OK.
class CDialog : public CWnd {
    DECLARE_MESSAGE_MAP()

  public:
    // With no owner, the main window owns the dialog.
    explicit CDialog(UINT templateId, CWnd* owner = nullptr);
    ~CDialog() override;

    virtual int DoModal();
    virtual bool OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    void EndDialog(int result);

    bool IsDialog() const override { return true; }
    bool IsModalRunning() const { return m_bRunning; }
    // As if the user pressed the button: IDOK, IDCANCEL or a push button's id.
    void PressButton(int id);
    CWnd* GetOwner() const { return m_pOwner; }
    UINT GetTemplateId() const { return m_nIDTemplate; }
    const DialogTemplate* GetTemplate() const { return m_pTemplate; }

  protected:
    // Builds the window at the template's size; false when there is no such template.
    virtual bool CreateFromTemplate();

    UINT m_nIDTemplate;
    CWnd* m_pOwner;

  private:
    const DialogTemplate* m_pTemplate = nullptr;
    bool m_bRunning = false;
    int m_nResult = IDCANCEL;
    void* m_pLoop = nullptr;  // the nested event loop of a modal run on screen
};
