#pragma once

#include <string>
#include <string_view>

#include "platform/ui/Messages.h"

class CDialog;
class CWnd;

// One pass of data exchange between a dialog's members and its controls. The first field
// that fails ends the pass: the fields after it are left as they are.
class CDataExchange {
  public:
    CDataExchange(CDialog* dialog, bool saveAndValidate)
        : m_pDlgWnd(dialog), m_bSaveAndValidate(saveAndValidate) {}

    // Remembers the field being exchanged, for the focus after a failure. A field left
    // with text that is no integer fails here, when the exchange moves on without a range.
    // False once the pass has failed: the field is then left alone.
    [[nodiscard]] bool PrepareCtrl(UINT id);
    // Called after the last field: false when the pass failed.
    [[nodiscard]] bool Finish();
    // Shows `message`, puts the focus on the last field and ends the pass.
    void Fail(std::string_view message);

    CDialog* m_pDlgWnd;
    bool m_bSaveAndValidate;
    UINT m_nLastControl = 0;
    bool m_bNotAnInteger = false;  // the last field's text could not be read as an integer
    bool m_bFailed = false;
};

void DDX_Text(CDataExchange* exchange, UINT id, std::string& value);
void DDX_Text(CDataExchange* exchange, UINT id, int& value);
void DDX_Check(CDataExchange* exchange, UINT id, int& value);
void DDX_CBIndex(CDataExchange* exchange, UINT id, int& index);
// Binds `control` to the dialog's control with the id, once.
void DDX_Control(CDataExchange* exchange, UINT id, CWnd& control);
// After DDX_Text of an int: outside the range, the framework's message names it.
void DDV_MinMaxInt(CDataExchange* exchange, int value, int minimum, int maximum);

// A signed decimal integer with optional blanks around it, as an integer field accepts.
[[nodiscard]] bool ParseDialogInt(std::string_view text, int& value);

// The framework's messages for integer fields.
std::string IntegerExpectedMessage();
std::string IntegerRangeMessage(int minimum, int maximum);
