#include "app/Version.h"
#include "res/QuilloResources.h"
#include "res/ResourceIds.h"

namespace {

constexpr uint32_t kInfoStyle = ctl::kReadOnly | ctl::kBorder | ctl::kAutoHScroll;

}  // namespace

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
        {IDD_RENAME,
         "ﾀｲﾄﾙの変更",
         135,
         51,
         "ＭＳ Ｐゴシック",
         9,
         true,
         {{0, ControlKind::Label, "変更前：", 3, 7, 29, 10},
          {0, ControlKind::Label, "変更後：", 3, 23, 29, 10},
          {IDC_RENAME_NEW, ControlKind::Edit, "", 34, 23, 96, 12, ctl::kBorder | ctl::kAutoHScroll},
          {IDC_RENAME_OLD, ControlKind::Label, "Static", 34, 7, 96, 12}}},
        {IDD_FILE_INFO,
         "ファイル情報",
         134,
         79,
         "ＭＳ Ｐゴシック",
         9,
         true,
         {{0, ControlKind::Label, "ファイル名:", 7, 7, 46, 9},
          {IDC_INFO_FILE_NAME, ControlKind::Edit, "", 57, 7, 72, 13, kInfoStyle},
          {0, ControlKind::Label, "更新日:", 7, 24, 28, 10},
          {IDC_INFO_UPDATED, ControlKind::Edit, "", 57, 24, 72, 13, kInfoStyle},
          {0, ControlKind::Label, "サイズ:", 7, 42, 30, 9},
          {IDC_INFO_SIZE, ControlKind::Edit, "", 57, 41, 72, 13, kInfoStyle},
          {0, ControlKind::Label, "インデックス:", 7, 59, 42, 9},
          {IDC_INFO_INDEX, ControlKind::Edit, "", 57, 58, 72, 13, kInfoStyle}}},
    };
}
