// The tool bar images, 16 x 16 each, drawn for this program as character pictures.
#include <array>
#include <string_view>

#include "res/QuilloResources.h"
#include "res/ResourceIds.h"

namespace {

using Picture = std::array<std::string_view, 16>;

// '.' lets the button face show through.
uint32_t ColorOf(char c) {
    switch (c) {
        case 'k':
            return 0x000000;
        case 'w':
            return 0xFFFFFF;
        case 'g':
            return 0x808080;
        case 'l':
            return 0xC0C0C0;
        case 'r':
            return 0xD02020;
        case 'b':
            return 0x2050D0;
        case 'n':
            return 0x102060;
        case 'y':
            return 0xF0D020;
        case 'G':
            return 0x20A040;
        case 'p':
            return 0xF0A0B0;
        default:
            return kTransparentPixel;
    }
}

constexpr Picture kNew = {
    "................", "..kkkkkkkk......", "..kwwwwwwkk.....", "..kwwwwwwkwk....",
    "..kwwwwwwkkkk...", "..kwwwwwwwwwk...", "..kwwwwwwwwwk...", "..kwwwwwwwwwk...",
    "..kwwwwwwwwwk...", "..kwwwwwwwwwk...", "..kwwwwwwwwwk...", "..kwwwwwwwwwk...",
    "..kwwwwwwwwwk...", "..kwwwwwwwwwk...", "..kkkkkkkkkkk...", "................"};

constexpr Picture kPreview = {
    "................", ".kkkkkkk.kkkkkkk", ".kwwwwwk.kwwwwwk", ".kwbbwwk.kwwrwwk",
    ".kwwwbwk.kwrwrwk", ".kwwwwwk.kwwwwwk", ".kkkkkkk.kkkkkkk", "................",
    ".kkkkkkk.kkkkkkk", ".kwwwwwk.kwwwwwk", ".kwkkkwk.kwGwwwk", ".kwwwwwk.kwwGGwk",
    ".kwkkwwk.kwwwwwk", ".kkkkkkk.kkkkkkk", "................", "................"};

constexpr Picture kSave = {
    "................", ".kkkkkkkkkkkkkk.", ".knnwwwwwwwwnnk.", ".knnwwwwwwwwnnk.",
    ".knnwwwwwwwwnnk.", ".knnwwwwwwwwnnk.", ".knnnnnnnnnnnnk.", ".knnnnnnnnnnnnk.",
    ".knnnllllllnnnk.", ".knnnllkkllnnnk.", ".knnnllkkllnnnk.", ".knnnllllllnnnk.",
    ".kknnllllllnnnk.", "..kkkkkkkkkkkkk.", "................", "................"};

constexpr Picture kPen = {
    "................", "...........kk...", "..........kyyk..", ".........kyyyk..",
    "........kyyyk...", ".......kyyyk....", "......kyyyk.....", ".....kyyyk......",
    "....kyyyk.......", "...kpyyk........", "...kppk.........", "..kwwk..........",
    "..kwk...........", "..kk............", "..k.............", "................"};

constexpr Picture kPenColor = {
    "................", "....kkkkkkk.....", "..kkwwwwwwwkk...", ".kwwrrwwwbbwwk..",
    ".kwwrrwwwbbwwwk.", "kwwwwwwwwwwwwwk.", "kwGGwwwwwwwwwwk.", "kwGGwwwwwkkkwwk.",
    "kwwwwwwwkk..kwk.", "kwyywwwwk....k..", ".kyywwwwk.......", ".kwwwwwwwk......",
    "..kkwwwwwwkk....", "....kkkkkkk.....", "................", "................"};

constexpr Picture kEraser = {
    "................", "................", "........kkkkkk..", ".......kppppppk.",
    "......kppppppkk.", ".....kppppppkwk.", "....kppppppkwwk.", "...kkkkkkkkwwk..",
    "...kwwwwwwkwwk..", "...kwwwwwwkwk...", "...kwwwwwwkk....", "...kkkkkkkk.....",
    "................", "..gggggggggggg..", "................", "................"};

constexpr Picture kPenWidth = {
    "................", ".kkkkkkkkk......", "................", ".kkkkkkkkk......",
    ".kkkkkkkkk......", "................", ".kkkkkkkkk......", ".kkkkkkkkk......",
    ".kkkkkkkkk......", "................", ".kkkkkkkkk......", ".kkkkkkkkk......",
    ".kkkkkkkkk.kkkkk", ".kkkkkkkkk..kkk.", "............k...", "................"};

constexpr Picture kPrevious = {
    "................", "................", "......k.........", ".....kk.........",
    "....kbk.........", "...kbbkkkkkkkk..", "..kbbbbbbbbbbk..", ".kbbbbbbbbbbbk..",
    "..kbbbbbbbbbbk..", "...kbbkkkkkkkk..", "....kbk.........", ".....kk.........",
    "......k.........", "................", "................", "................"};

constexpr Picture kNext = {
    "................", "................", ".........k......", ".........kk.....",
    ".........kbk....", "..kkkkkkkkbbk...", "..kbbbbbbbbbbk..", "..kbbbbbbbbbbbk.",
    "..kbbbbbbbbbbk..", "..kkkkkkkkbbk...", ".........kbk....", ".........kk.....",
    ".........k......", "................", "................", "................"};

constexpr Picture kAlarm = {
    "................", ".......kk.......", "......kyyk......", ".....kyyyyk.....",
    "....kyyyyyyk....", "....kyyyyyyk....", "....kyyyyyyk....", "....kyyyyyyk....",
    "...kyyyyyyyyk...", "...kyyyyyyyyk...", "..kyyyyyyyyyyk..", "..kkkkkkkkkkkk..",
    "......kkkk......", ".......kk.......", "................", "................"};

// The folder chooser's images: the root, a folder, a folder selected (open).
constexpr Picture kRoot = {
    "................", "................", ".gggggggggggggg.", ".glllllllllllllk",
    ".glkkkkkkkkkkllk", ".glkbbbbbbbbkllk", ".glkbbbbbbbbkllk", ".glkbbbbbbbbkllk",
    ".glkkkkkkkkkkllk", ".glllllllllllllk", ".gkkkkkkkkkkkkkk", "....lllllll.....",
    "..kkkkkkkkkkkk..", "................", "................", "................"};

constexpr Picture kFolder = {
    "................", "................", "..kkkkk.........", ".kyyyyyk........",
    ".kyyyyyykkkkkkk.", ".kyyyyyyyyyyyyk.", ".kyyyyyyyyyyyyk.", ".kyyyyyyyyyyyyk.",
    ".kyyyyyyyyyyyyk.", ".kyyyyyyyyyyyyk.", ".kyyyyyyyyyyyyk.", ".kyyyyyyyyyyyyk.",
    ".kkkkkkkkkkkkkk.", "................", "................", "................"};

constexpr Picture kFolderOpen = {
    "................", "................", "..kkkkk.........", ".kyyyyyk........",
    ".kyyyyyykkkkkk..", ".kyykkkkkkkkkkkk", ".kyykyyyyyyyyyyk", ".kykyyyyyyyyyyk.",
    ".kykyyyyyyyyyyk.", ".kkyyyyyyyyyyk..", ".kkyyyyyyyyyyk..", ".kyyyyyyyyyyk...",
    ".kkkkkkkkkkkk...", "................", "................", "................"};

BitmapResource Strip(UINT id, std::initializer_list<const Picture*> pictures, int height = 16) {
    const int width = 16 * static_cast<int>(pictures.size());
    BitmapResource bitmap{id, width, height,
                          std::vector<uint32_t>(static_cast<size_t>(width * height))};
    int left = 0;
    for (const Picture* picture : pictures) {
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < 16; ++x) {
                bitmap.pixels[static_cast<size_t>(y) * static_cast<size_t>(width) +
                              static_cast<size_t>(left + x)] =
                    ColorOf((*picture)[static_cast<size_t>(y)][static_cast<size_t>(x)]);
            }
        }
        left += 16;
    }
    return bitmap;
}

}  // namespace

std::vector<BitmapResource> QuilloToolBarBitmaps() {
    return {
        Strip(IDB_TOOLBAR_WIDE, {&kNew, &kPreview, &kSave, &kPen, &kPenColor, &kEraser, &kPenWidth,
                                 &kPrevious, &kNext, &kAlarm}),
        Strip(IDB_TOOLBAR_NARROW,
              {&kNew, &kPreview, &kPen, &kEraser, &kPenWidth, &kPrevious, &kNext, &kAlarm}),
        Strip(IDB_FOLDER_IMAGES, {&kRoot, &kFolder, &kFolderOpen}, 15),
    };
}
