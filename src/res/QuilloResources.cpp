#include "res/QuilloResources.h"

#include "res/ResourceIds.h"

namespace {

std::vector<ToolBarResource> ToolBars() {
    return {
        {IDR_TOOLBAR_WIDE,
         IDB_TOOLBAR_WIDE,
         {ID_FILE_NEW, ID_PREVIEW, ID_FILE_SAVE, ID_TOOL_PEN, ID_PEN_COLOR, ID_TOOL_ERASER,
          ID_PEN_WIDTH_MENU, ID_PREV_MEMO, ID_NEXT_MEMO, ID_ALARM_MENU}},
        {IDR_TOOLBAR_UNUSED,
         IDB_TOOLBAR_WIDE,
         {ID_FILE_NEW, ID_PREVIEW, ID_FILE_SAVE, ID_TOOL_PEN, ID_TOOL_ERASER, ID_PEN_WIDTH_MENU,
          ID_PREV_MEMO, ID_NEXT_MEMO, ID_UNUSED_BUTTON}},
        {IDR_TOOLBAR_NARROW,
         IDB_TOOLBAR_NARROW,
         {ID_FILE_NEW, ID_PREVIEW, ID_TOOL_PEN, ID_TOOL_ERASER, ID_PEN_WIDTH_MENU, ID_PREV_MEMO,
          ID_NEXT_MEMO, ID_ALARM_MENU}},
    };
}

std::vector<AcceleratorResource> Accelerators() {
    return {{IDR_MAINFRAME_LANDSCAPE,
             {{'N', true, false, false, ID_FILE_NEW},
              {'O', true, false, false, ID_FILE_OPEN},
              {'S', true, false, false, ID_FILE_SAVE},
              {'Z', true, false, false, ID_EDIT_UNDO},
              {VK_BACK, false, true, false, ID_EDIT_UNDO},
              {VK_F6, false, false, false, ID_NEXT_PANE},
              {VK_F6, false, false, true, ID_PREV_PANE},
              {VK_INSERT, true, false, false, ID_EDIT_COPY},
              {'Y', true, false, false, ID_EDIT_REDO},
              {'Z', true, false, true, ID_EDIT_REDO},
              {'C', true, false, false, ID_EDIT_COPY}}}};
}

// A command's description, then after a line break its short name.
std::vector<StringResource> Strings() {
    return {
        {ID_PREVIEW, "プレビューから開く"},
        {ID_PEN_WIDTH_MENU, "ペンの太さのメニュー表示"},
        {ID_DELETE_MEMO, "このファイルを削除"},
        {ID_RENAME_MEMO, "このファイルの名前を変更"},
        {ID_MEMO_INFO, "このファイルの情報"},
        {ID_ALARM_CUSTOM, "このファイルをアラーム"},
        {ID_ALARM_LIST, "アラーム一覧"},
        {ID_OPEN_BY_NOTIFICATION, "通知により開く"},
        {ID_ALARM_MENU, "アラームのメニュー表示"},
        {ID_NEW_FILE_MENU, "新規ファイルのメニュー表示"},
        {ID_SETTINGS, "設定"},
        {ID_INSERT_DATE, "今日の日付挿入"},
        {ID_RULED_LINES, "罫線"},
        {ID_PEN_COLOR, "ペンの色\nペンの色"},
        {ID_EDIT_UNDO, "元に戻す\n元に戻す"},
        {ID_EDIT_REDO, "やり直し\nやり直し"},
        {ID_EDIT_COPY, "コピー\nコピー"},
        {ID_FILE_NEW, "新規作成\n新規作成"},
        {ID_FILE_SAVE, "上書き保存\n上書き保存"},
        {ID_TOOL_PEN, "ペン\nペン"},
        {ID_TOOL_ERASER, "消しゴム\n消しゴム"},
        {ID_NEXT_MEMO, "次のメモへ\n次のメモへ"},
        {ID_PREV_MEMO, "前のメモへ\n前のメモへ"},
    };
}

}  // namespace

const ResourceTable& QuilloResources() {
    static const ResourceTable table{QuilloMenus(),  ToolBars(), QuilloToolBarBitmaps(),
                                     Accelerators(), Strings(),  QuilloDialogs()};
    return table;
}
