#pragma once

#include "platform/ui/Resources.h"

// Every resource of the program: menus, tool bars with their images, keys, strings and
// dialog templates.
const ResourceTable& QuilloResources();

// The program's parts of the table, each in a file of its own.
std::vector<MenuResource> QuilloMenus();
std::vector<BitmapResource> QuilloToolBarBitmaps();
std::vector<DialogTemplate> QuilloDialogs();
