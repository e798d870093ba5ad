#include "DataExchange.h"

#include <charconv>

#include "platform/base/Format.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/ModalRun.h"

std::string IntegerExpectedMessage() {
    return "整数を入力してください。";
}

std::string IntegerRangeMessage(int minimum, int maximum) {
    return Format("%d から %d までの整数を入力してください。", minimum, maximum);
}

bool ParseDialogInt(std::string_view text, int& value) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    if (!text.empty() && text.front() == '+') text.remove_prefix(1);
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && error == std::errc() && end == text.data() + text.size();
}

bool CDataExchange::PrepareCtrl(UINT id) {
    if (m_bFailed) return false;
    if (m_bNotAnInteger) {
        Fail(IntegerExpectedMessage());
        return false;
    }
    m_nLastControl = id;
    return true;
}

bool CDataExchange::Finish() {
    if (!m_bFailed && m_bNotAnInteger) Fail(IntegerExpectedMessage());
    return !m_bFailed;
}

void CDataExchange::Fail(std::string_view message) {
    m_bNotAnInteger = false;
    m_bFailed = true;
    AfxMessageBox(message, MB_OK | MB_ICONEXCLAMATION);
    m_pDlgWnd->GotoDlgCtrl(m_pDlgWnd->GetDlgItem(m_nLastControl));
}

void DDX_Text(CDataExchange* exchange, UINT id, std::string& value) {
    if (!exchange->PrepareCtrl(id)) return;
    if (exchange->m_bSaveAndValidate) {
        value = exchange->m_pDlgWnd->GetDlgItemText(id);
    } else {
        exchange->m_pDlgWnd->SetDlgItemText(id, value);
    }
}

void DDX_Text(CDataExchange* exchange, UINT id, int& value) {
    if (!exchange->PrepareCtrl(id)) return;
    if (!exchange->m_bSaveAndValidate) {
        exchange->m_pDlgWnd->SetDlgItemInt(id, value);
        return;
    }
    int parsed = 0;
    if (!ParseDialogInt(exchange->m_pDlgWnd->GetDlgItemText(id), parsed)) {
        // A range that follows names what is wanted; without one, the plain message.
        exchange->m_bNotAnInteger = true;
        return;
    }
    value = parsed;
}

void DDX_Check(CDataExchange* exchange, UINT id, int& value) {
    if (!exchange->PrepareCtrl(id)) return;
    if (exchange->m_bSaveAndValidate) {
        value = exchange->m_pDlgWnd->IsDlgButtonChecked(id);
    } else {
        exchange->m_pDlgWnd->CheckDlgButton(id, value);
    }
}

void DDX_CBIndex(CDataExchange* exchange, UINT id, int& index) {
    if (!exchange->PrepareCtrl(id)) return;
    auto* list = dynamic_cast<CComboBox*>(exchange->m_pDlgWnd->GetDlgItem(id));
    if (list == nullptr) return;
    if (exchange->m_bSaveAndValidate) {
        index = list->GetCurSel();
    } else {
        list->SetCurSel(index);
    }
}

void DDX_Control(CDataExchange* exchange, UINT id, CWnd& control) {
    if (exchange->m_bFailed || control.IsWindow()) return;
    CWnd* made = exchange->m_pDlgWnd->GetDlgItem(id);
    if (made != nullptr) control.Attach(made->GetWidget(), exchange->m_pDlgWnd, id);
}

void DDV_MinMaxInt(CDataExchange* exchange, int value, int minimum, int maximum) {
    if (!exchange->m_bFailed && exchange->m_bSaveAndValidate &&
        (exchange->m_bNotAnInteger || value < minimum || value > maximum)) {
        exchange->Fail(IntegerRangeMessage(minimum, maximum));
    }
}
