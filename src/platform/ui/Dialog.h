#pragma once

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ui/Wnd.h"

struct DialogTemplate;
class CDataExchange;

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
    int BottomFrameHeight() const override;
    bool IsModalRunning() const { return m_bRunning; }
    // As if the user pressed the button: IDOK, IDCANCEL or a push button's id.
    void PressButton(int id);
    CWnd* GetOwner() const { return m_pOwner; }
    CWnd* CenteringOwner() const override;

    // Copies members into controls (save = false) or controls into members (true); false
    // when a field failed validation (its message was shown and it has the focus).
    [[nodiscard]] bool UpdateData(bool save = true);
    virtual void DoDataExchange(CDataExchange*) {}

    CWnd* GetDlgItem(UINT id) const { return FindChild(id); }
    void SetDlgItemText(UINT id, std::string_view text);
    std::string GetDlgItemText(UINT id) const;
    void SetDlgItemInt(UINT id, int value);
    int GetDlgItemInt(UINT id, bool* ok = nullptr) const;
    void CheckDlgButton(UINT id, int check);
    int IsDlgButtonChecked(UINT id) const;
    void GotoDlgCtrl(CWnd* control);

    // Platform use: a control the template made, as the typed window of its kind.
    void AddControl(std::unique_ptr<CWnd> control, QWidget* widget, UINT id);
    UINT GetTemplateId() const { return m_nIDTemplate; }
    const DialogTemplate* GetTemplate() const { return m_pTemplate; }

  protected:
    // Builds the window at the template's size; false when there is no such template.
    virtual bool CreateFromTemplate();

    UINT m_nIDTemplate;
    CWnd* m_pOwner;

  private:
    // The first control, in template order, that the Tab key could reach; null for none.
    CWnd* FirstTabStop() const;

    const DialogTemplate* m_pTemplate = nullptr;
    std::vector<std::unique_ptr<CWnd>> m_controls;
    bool m_bRunning = false;
    int m_nResult = IDCANCEL;
    void* m_pLoop = nullptr;  // the nested event loop of a modal run on screen
};
