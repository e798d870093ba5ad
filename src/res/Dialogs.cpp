#include "app/Version.h"
#include "res/QuilloResources.h"
#include "res/ResourceIds.h"

std::vector<DialogTemplate> QuilloDialogs() {
    return {
        {IDD_ABOUTBOX,
         "バージョン情報",
         120,
         58,
         "ＭＳ Ｐゴシック",
         9,
         false,
         {{0, ControlKind::Label, "Quillo", 10, 8, 100, 10},
          {0, ControlKind::Label, "Version " QUILLO_VERSION, 10, 20, 100, 10},
          {IDOK, ControlKind::DefPushButton, "OK", 35, 37, 50, 14}}},
    };
}
