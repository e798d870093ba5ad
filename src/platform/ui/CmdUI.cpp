#include "CmdUI.h"

#include "platform/ui/CmdTarget.h"

void CCmdUI::DoUpdate(CCmdTarget* target) {
    m_bEnabled = true;
    if (target == nullptr) {
        Enable(false);
        return;
    }
    if (!target->OnCmdMsg(m_nID, CommandCode::Update, this)) {
        Enable(target->OnCmdMsg(m_nID, CommandCode::Probe, nullptr));
    }
}
