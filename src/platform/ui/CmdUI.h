#pragma once

#include <string>
#include <string_view>

#include "platform/ui/Messages.h"

class CCmdTarget;

// The state of one menu item or tool bar button, as update rules set it.
class CCmdUI {
  public:
    explicit CCmdUI(UINT id) : m_nID(id) {}
    virtual ~CCmdUI() = default;

    virtual void Enable(bool on = true) { m_bEnabled = on; }
    virtual void SetCheck(int check = 1) { m_nCheck = check; }
    // A tool bar button shows the text as its tip.
    virtual void SetText(std::string_view text) { m_strText = text; }

    // Asks `target`'s routing for the update rule. Without a rule, a command is enabled
    // exactly when some target has a handler for it.
    void DoUpdate(CCmdTarget* target);

    UINT m_nID;
    bool m_bEnabled = true;
    int m_nCheck = 0;
    // Empty unless an update rule set it.
    std::string m_strText;
};
