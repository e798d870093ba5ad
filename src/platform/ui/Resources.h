#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/ui/Messages.h"

// The program's resources as data: menus, tool bars, bitmaps, keys, strings and dialog
// templates, found by resource number as the program asks for them.

struct MenuItemResource {
    std::string text;  // empty with id 0 and no pop-up: a separator
    UINT id = 0;
    std::vector<MenuItemResource> popup;  // not empty: this item opens a sub-menu

    bool IsSeparator() const { return text.empty() && id == 0 && popup.empty(); }
};

struct MenuResource {
    UINT id;
    std::vector<MenuItemResource> items;
};

// A pixel through which the button face shows.
constexpr uint32_t kTransparentPixel = 0xFF000000;

// Pixels as 0x00RRGGBB (or kTransparentPixel), top row first.
struct BitmapResource {
    UINT id;
    int32_t width;
    int32_t height;
    std::vector<uint32_t> pixels;
};

// Buttons in order, each taking the next 16 x 16 image of the bitmap; 0 is a gap.
struct ToolBarResource {
    UINT id;
    UINT bitmapId;
    std::vector<UINT> buttons;
};

constexpr int kToolBarImageSize = 16;

struct AcceleratorEntry {
    UINT key;  // a virtual key
    bool control = false;
    bool alt = false;
    bool shift = false;
    UINT command = 0;
};

struct AcceleratorResource {
    UINT id;
    std::vector<AcceleratorEntry> entries;
};

struct StringResource {
    UINT id;
    std::string text;
};

// Control kinds that dialog templates use.
enum class ControlKind {
    Label,
    GroupBox,
    Edit,
    PushButton,
    DefPushButton,
    CheckBox,
    DropDownList,
    Spin,
    VScrollBar,
    TreeView,
    ListView,  // rows under a header of columns
    OwnerDrawButton,
    Frame,  // a static frame that a custom child window takes over
};

// Styles a template may give a control.
namespace ctl {
constexpr uint32_t kBorder = 1u << 0;
constexpr uint32_t kNumber = 1u << 1;          // edit: digits only
constexpr uint32_t kRight = 1u << 2;           // edit: right-aligned
constexpr uint32_t kReadOnly = 1u << 3;        // edit
constexpr uint32_t kAutoHScroll = 1u << 4;     // edit
constexpr uint32_t kAutoBuddy = 1u << 5;       // spin: the control before it is its buddy
constexpr uint32_t kSetBuddyInt = 1u << 6;     // spin: writes its position into the buddy
constexpr uint32_t kArrowKeys = 1u << 7;       // spin
constexpr uint32_t kVScroll = 1u << 8;         // drop-down list
constexpr uint32_t kSort = 1u << 9;            // drop-down list
constexpr uint32_t kHasButtons = 1u << 10;     // tree
constexpr uint32_t kHasLines = 1u << 11;       // tree
constexpr uint32_t kShowSelAlways = 1u << 12;  // tree
constexpr uint32_t kLinesAtRoot = 1u << 13;    // tree
constexpr uint32_t kHidden = 1u << 14;
constexpr uint32_t kDisabled = 1u << 15;
}  // namespace ctl

struct DialogControl {
    UINT id;
    ControlKind kind;
    std::string text;
    int x, y, width, height;  // dialog units
    uint32_t style = 0;
};

struct DialogTemplate {
    UINT id;
    std::string caption;
    int width, height;  // dialog units
    std::string fontFace;
    int fontPoints;
    bool okInCaption;
    std::vector<DialogControl> controls;
};

struct ResourceTable {
    std::vector<MenuResource> menus = {};
    std::vector<ToolBarResource> toolBars = {};
    std::vector<BitmapResource> bitmaps = {};
    std::vector<AcceleratorResource> accelerators = {};
    std::vector<StringResource> strings = {};
    std::vector<DialogTemplate> dialogs = {};
};

// The program hands its table over once at start; the table must outlive its use.
void AfxSetResources(const ResourceTable* table);

const MenuResource* FindMenuResource(UINT id);
const ToolBarResource* FindToolBarResource(UINT id);
const BitmapResource* FindBitmapResource(UINT id);
const AcceleratorResource* FindAcceleratorResource(UINT id);
const DialogTemplate* FindDialogTemplate(UINT id);
// The string, or empty when there is none.
std::string LoadResourceString(UINT id);
