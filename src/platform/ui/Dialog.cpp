#include "Dialog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLineEdit>

#include "platform/ui/Controls.h"
#include "platform/ui/DataExchange.h"
#include "platform/ui/DialogBuilder.h"
#include "platform/ui/InputHold.h"
#include "platform/ui/ModalRun.h"
#include "platform/ui/Resources.h"
#include "platform/ui/WinApp.h"
#include "platform/ui/WindowPeer.h"

namespace {

// The window of a dialog: native controls on the toolkit's own background.
class DialogWidget : public QWidget, public OwnedWidget {
  public:
    DialogWidget(CDialog* owner, QWidget* parent) : QWidget(parent, Qt::Dialog), m_owner(owner) {}
    void Detach() override { m_owner = nullptr; }

  protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (m_owner == nullptr) return QWidget::keyPressEvent(event);
        if (event->key() == Qt::Key_Escape) {
            m_owner->PressButton(IDCANCEL);
        } else if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            m_owner->PressButton(IDOK);
        } else {
            QWidget::keyPressEvent(event);
        }
    }
    void closeEvent(QCloseEvent* event) override {
        event->ignore();
        if (m_owner != nullptr) m_owner->PressButton(IDCANCEL);
    }
    void changeEvent(QEvent* event) override {
        if (event->type() == QEvent::ActivationChange && m_owner != nullptr && isActiveWindow()) {
            SetActiveWindowTracked(m_owner);
        }
        QWidget::changeEvent(event);
    }

  private:
    CDialog* m_owner;
};

}  // namespace

// clang-format off
BEGIN_MESSAGE_MAP(CDialog, CWnd)
    on::Command(IDOK, &CDialog::OnOK),
    on::Command(IDCANCEL, &CDialog::OnCancel),
END_MESSAGE_MAP()
// clang-format on

CDialog::CDialog(UINT templateId, CWnd* owner) : m_nIDTemplate(templateId), m_pOwner(owner) {}

CDialog::~CDialog() = default;

bool CDialog::CreateFromTemplate() {
    m_pTemplate = FindDialogTemplate(m_nIDTemplate);
    if (m_pTemplate == nullptr) return false;
    m_controls.clear();
    auto* widget = new DialogWidget(
        this, ParentForNewWindow(m_pOwner != nullptr ? m_pOwner->GetWidget() : nullptr));
    AdoptWidget(widget, nullptr, m_nIDTemplate);
    BuildDialog(*this, *m_pTemplate);
    return true;
}

CWnd* CDialog::CenteringOwner() const {
    return m_pOwner != nullptr ? m_pOwner : AfxGetMainWnd();
}

int CDialog::BottomFrameHeight() const {
    return m_pTemplate != nullptr && m_pTemplate->okInCaption ? kCaptionOkStrip : 0;
}

int CDialog::DoModal() {
    if (m_pOwner == nullptr) m_pOwner = AfxGetMainWnd();
    if (!CreateFromTemplate()) return -1;
    CWnd* previous = GetActiveWindow();
    ReleaseCapture();  // a modal run takes the pointer from whoever held it
    m_bRunning = true;
    m_nResult = IDCANCEL;
    const bool defaultFocus = OnInitDialog();
    if (m_bRunning) {
        const ModalRunScope modal(GetWidget());
        // The toolkit activates a modal window as it shows it: one that must leave the
        // keyboard where it is stays unmodal, and holds the others back as a waiting window.
        if (!GetWidget()->testAttribute(Qt::WA_ShowWithoutActivating)) {
            GetWidget()->setWindowModality(Qt::ApplicationModal);
        }
        // A dialog that placed itself nowhere opens over its owner.
        if (!GetWidget()->testAttribute(Qt::WA_Moved)) CenterWindow();
        GetWidget()->show();
        // A dialog that set no focus of its own starts on its first control that takes one,
        // an edit's text selected, so that typing replaces what the field held.
        if (defaultFocus) GotoDlgCtrl(FirstTabStop());
        SetActiveWindowTracked(this);
        if (HasModalHandler()) {
            ModalRun run;
            run.kind = ModalRun::Kind::Dialog;
            run.dialog = this;
            run.caption = GetWindowText();
            HandleModalRun(run);
        } else {
            QEventLoop loop;
            m_pLoop = &loop;
            if (m_bRunning) loop.exec();
            m_pLoop = nullptr;
        }
    }
    DestroyWindow();
    SetActiveWindowTracked(previous != nullptr && previous->IsWindow() ? previous : nullptr);
    return m_nResult;
}

bool CDialog::OnInitDialog() {
    (void)UpdateData(false);  // filling the controls refuses nothing
    return true;
}

void CDialog::OnOK() {
    if (!UpdateData(true)) return;  // the field that failed keeps the dialog open
    EndDialog(IDOK);
}

bool CDialog::UpdateData(bool save) {
    CDataExchange exchange(this, save);
    DoDataExchange(&exchange);
    return exchange.Finish();
}

void CDialog::AddControl(std::unique_ptr<CWnd> control, QWidget* widget, UINT id) {
    control->Attach(widget, this, id);
    m_controls.push_back(std::move(control));
}

void CDialog::SetDlgItemText(UINT id, std::string_view text) {
    if (CWnd* control = GetDlgItem(id)) control->SetWindowText(text);
}

std::string CDialog::GetDlgItemText(UINT id) const {
    const CWnd* control = GetDlgItem(id);
    return control != nullptr ? control->GetWindowText() : std::string();
}

void CDialog::SetDlgItemInt(UINT id, int value) {
    SetDlgItemText(id, std::to_string(value));
}

int CDialog::GetDlgItemInt(UINT id, bool* ok) const {
    const std::string text = GetDlgItemText(id);
    int value = 0;
    const bool parsed = ParseDialogInt(text, value);
    if (ok != nullptr) *ok = parsed;
    return parsed ? value : 0;
}

void CDialog::CheckDlgButton(UINT id, int check) {
    if (auto* button = dynamic_cast<CButton*>(GetDlgItem(id))) button->SetCheck(check);
}

int CDialog::IsDlgButtonChecked(UINT id) const {
    const auto* button = dynamic_cast<const CButton*>(GetDlgItem(id));
    return button != nullptr ? button->GetCheck() : 0;
}

CWnd* CDialog::FirstTabStop() const {
    for (const auto& control : m_controls) {
        const QWidget* widget = control->GetWidget();
        if (widget != nullptr && widget->isEnabled() && !widget->isHidden() &&
            (widget->focusPolicy() & Qt::TabFocus) != 0)
            return control.get();
    }
    return nullptr;
}

void CDialog::GotoDlgCtrl(CWnd* control) {
    if (control == nullptr || control->GetWidget() == nullptr) return;
    control->GetWidget()->setFocus(Qt::OtherFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(control->GetWidget())) edit->selectAll();
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

void CDialog::EndDialog(int result) {
    m_nResult = result;
    m_bRunning = false;
    if (m_pLoop != nullptr) static_cast<QEventLoop*>(m_pLoop)->quit();
    if (QWidget* widget = GetWidget()) widget->hide();
}

void CDialog::PressButton(int id) {
    if (!m_bRunning) return;
    CWnd* control = id == IDOK || id == IDCANCEL ? nullptr : FindChild(static_cast<UINT>(id));
    SendMessage(WM_COMMAND, MAKEWPARAM(static_cast<uint16_t>(id), BN_CLICKED),
                reinterpret_cast<LPARAM>(control));
}
