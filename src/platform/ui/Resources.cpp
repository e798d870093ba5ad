#include "Resources.h"

namespace {

const ResourceTable* gTable = nullptr;

template <typename T>
const T* FindById(const std::vector<T>& items, UINT id) {
    for (const T& item : items) {
        if (item.id == id) return &item;
    }
    return nullptr;
}

}  // namespace

void AfxSetResources(const ResourceTable* table) {
    gTable = table;
}

const MenuResource* FindMenuResource(UINT id) {
    return gTable ? FindById(gTable->menus, id) : nullptr;
}

const ToolBarResource* FindToolBarResource(UINT id) {
    return gTable ? FindById(gTable->toolBars, id) : nullptr;
}

const BitmapResource* FindBitmapResource(UINT id) {
    return gTable ? FindById(gTable->bitmaps, id) : nullptr;
}

const AcceleratorResource* FindAcceleratorResource(UINT id) {
    return gTable ? FindById(gTable->accelerators, id) : nullptr;
}

const DialogTemplate* FindDialogTemplate(UINT id) {
    return gTable ? FindById(gTable->dialogs, id) : nullptr;
}

std::string LoadResourceString(UINT id) {
    const StringResource* found = gTable ? FindById(gTable->strings, id) : nullptr;
    return found ? found->text : std::string();
}
