#pragma once

// Toolkit menus from menu resources; only platform/ui includes this.

#include <QMenu>
#include <vector>

#include "platform/ui/ModalRun.h"
#include "platform/ui/Resources.h"

class CCmdTarget;

// Fills `menu` with the items; each opening asks `target` for the items' state. A chosen
// item calls `chosen` with its command.
void FillMenu(QMenu* menu, const std::vector<MenuItemResource>& items, CCmdTarget* target);

// The items with their update rules asked, flattened for a modal handler.
void CollectMenuStates(const std::vector<MenuItemResource>& items, CCmdTarget* target, int depth,
                       std::vector<MenuItemState>& out);

// The command id an action stands for, 0 for none.
UINT CommandOfAction(const QAction* action);
