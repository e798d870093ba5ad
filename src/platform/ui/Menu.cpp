#include "Menu.h"

#include <QApplication>
#include <QMenu>

#include "platform/ui/CmdUI.h"
#include "platform/ui/MenuBuilder.h"
#include "platform/ui/Wnd.h"

namespace {

const char* const kCommandProperty = "quillo.command";

void UpdateActions(QMenu* menu, CCmdTarget* target) {
    for (QAction* action : menu->actions()) {
        const UINT id = CommandOfAction(action);
        if (id == 0) continue;
        CCmdUI ui(id);
        ui.DoUpdate(target);
        action->setEnabled(ui.m_bEnabled);
        action->setCheckable(ui.m_nCheck != 0);
        action->setChecked(ui.m_nCheck != 0);
    }
}

}  // namespace

UINT CommandOfAction(const QAction* action) {
    return action != nullptr ? action->property(kCommandProperty).toUInt() : 0;
}

void FillMenu(QMenu* menu, const std::vector<MenuItemResource>& items, CCmdTarget* target) {
    for (const MenuItemResource& item : items) {
        if (item.IsSeparator()) {
            menu->addSeparator();
        } else if (!item.popup.empty()) {
            QMenu* sub = menu->addMenu(QString::fromStdString(item.text));
            FillMenu(sub, item.popup, target);
        } else {
            QAction* action = menu->addAction(QString::fromStdString(item.text));
            action->setProperty(kCommandProperty, item.id);
        }
    }
    QObject::connect(menu, &QMenu::aboutToShow, menu,
                     [menu, target] { UpdateActions(menu, target); });
}

void CollectMenuStates(const std::vector<MenuItemResource>& items, CCmdTarget* target, int depth,
                       std::vector<MenuItemState>& out) {
    for (const MenuItemResource& item : items) {
        if (item.IsSeparator()) continue;
        if (!item.popup.empty()) {
            out.push_back({0, item.text, true, false, depth});
            CollectMenuStates(item.popup, target, depth + 1, out);
            continue;
        }
        CCmdUI ui(item.id);
        ui.DoUpdate(target);
        out.push_back({item.id, item.text, ui.m_bEnabled, ui.m_nCheck != 0, depth});
    }
}

bool CMenu::LoadMenu(UINT id) {
    const MenuResource* resource = FindMenuResource(id);
    if (resource == nullptr) return false;
    m_items = resource->items;
    m_subMenus.clear();
    return true;
}

void CMenu::DestroyMenu() {
    m_items.clear();
    m_subMenus.clear();
}

CMenu* CMenu::GetSubMenu(int index) {
    if (index < 0 || index >= GetMenuItemCount() ||
        m_items[static_cast<size_t>(index)].popup.empty()) {
        return nullptr;
    }
    auto sub = std::make_unique<CMenu>();
    sub->m_items = m_items[static_cast<size_t>(index)].popup;
    m_subMenus.push_back(std::move(sub));
    return m_subMenus.back().get();
}

UINT CMenu::TrackPopupMenu(UINT flags, int x, int y, CWnd* owner) {
    UINT chosen = 0;
    if (HasModalHandler()) {
        ModalRun run;
        run.kind = ModalRun::Kind::PopupMenu;
        run.point = {x, y};
        run.flags = flags;
        CollectMenuStates(m_items, owner, 0, run.items);
        HandleModalRun(run);
        chosen = static_cast<UINT>(run.Result());
    } else {
        QMenu menu(owner != nullptr ? owner->GetWidget() : nullptr);
        FillMenu(&menu, m_items, owner);
        QPoint at(x, y);
        if ((flags & TPM_BOTTOMALIGN) != 0) at.ry() -= menu.sizeHint().height();
        chosen = CommandOfAction(menu.exec(at));
    }
    if ((flags & TPM_RETURNCMD) != 0) return chosen;
    if (chosen != 0 && owner != nullptr) owner->SendMessage(WM_COMMAND, chosen);
    return chosen != 0 ? 1 : 0;
}
