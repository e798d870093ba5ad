#include "app/Version.h"
#include "res/QuilloResources.h"
#include "res/ResourceIds.h"

namespace {

constexpr uint32_t kInfoStyle = ctl::kReadOnly | ctl::kBorder | ctl::kAutoHScroll;
constexpr uint32_t kSpinStyle = ctl::kAutoBuddy | ctl::kSetBuddyInt | ctl::kRight | ctl::kArrowKeys;
constexpr uint32_t kListStyle = ctl::kVScroll;
constexpr uint32_t kFieldStyle = ctl::kBorder | ctl::kAutoHScroll;

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
        {IDD_ALARM,
         "アラーム",
         136,
         116,
         "ＭＳ Ｐゴシック",
         9,
         true,
         {{0, ControlKind::Label, "日付(&D):", 3, 4, 32, 9},
          {IDC_ALARM_DATE, ControlKind::Edit, "", 50, 5, 50, 10, kFieldStyle},
          {IDC_ALARM_CALENDAR, ControlKind::PushButton, "ｶﾚﾝﾀﾞｰ", 106, 5, 25, 12},
          {0, ControlKind::Label, "時刻(&T):", 3, 21, 41, 9},
          {IDC_ALARM_HOUR, ControlKind::Edit, "", 50, 20, 22, 11, kFieldStyle},
          {IDC_ALARM_HOUR_SPIN, ControlKind::Spin, "Spin1", 71, 21, 7, 12, kSpinStyle},
          {IDC_ALARM_MINUTE, ControlKind::Edit, "", 93, 21, 22, 11, kFieldStyle},
          {IDC_ALARM_MINUTE_SPIN, ControlKind::Spin, "Spin1", 114, 21, 10, 12, kSpinStyle},
          {0, ControlKind::Label, "繰り返し(&R):", 3, 38, 41, 9},
          {IDC_ALARM_REPEAT, ControlKind::DropDownList, "", 50, 37, 60, 87, kListStyle},
          {0, ControlKind::Label, "サウンド(&S):", 3, 55, 42, 9},
          {IDC_ALARM_SOUND, ControlKind::DropDownList, "", 50, 54, 60, 87, kListStyle},
          {0, ControlKind::Label, "時", 80, 21, 11, 11},
          {0, ControlKind::Label, "分", 125, 22, 9, 11},
          {IDC_ALARM_SOUND_REPEAT, ControlKind::CheckBox, "サウンドの繰り返し(&L)", 5, 70, 105, 11},
          {IDC_ALARM_PLAY, ControlKind::PushButton, "♪", 114, 54, 14, 13},
          {IDOK, ControlKind::DefPushButton, "OK", 11, 99, 50, 14},
          {IDCANCEL, ControlKind::PushButton, "ｷｬﾝｾﾙ", 71, 99, 50, 14}}},
        {IDD_CALENDAR, "カレンダー", 104, 103, "ＭＳ Ｐゴシック", 9, true, {}},
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
