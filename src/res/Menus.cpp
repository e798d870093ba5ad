#include "platform/base/Format.h"
#include "res/QuilloResources.h"
#include "res/ResourceIds.h"

namespace {

using Items = std::vector<MenuItemResource>;

MenuItemResource Item(const char* text, UINT id) {
    return {text, id, {}};
}

MenuItemResource Popup(const char* text, Items items) {
    return {text, 0, std::move(items)};
}

const MenuItemResource kSeparator{};

Items PenWidths() {
    Items items;
    for (UINT id = ID_PEN_WIDTH_1; id <= ID_PEN_WIDTH_10; ++id) {
        items.push_back({Format("%u", id - ID_PEN_WIDTH_1 + 1), id, {}});
    }
    return items;
}

Items EraserWidths() {
    Items items;
    for (UINT id = ID_ERASER_WIDTH_5; id <= ID_ERASER_WIDTH_40; ++id) {
        items.push_back({Format("%u", 5 * (id - ID_ERASER_WIDTH_5 + 1)), id, {}});
    }
    return items;
}

Items With(Items items, std::initializer_list<MenuItemResource> more) {
    items.insert(items.end(), more);
    return items;
}

Items FileMenu() {
    return {Item("新規作成", ID_FILE_NEW),
            kSeparator,
            Item("プレビューから開く...", ID_PREVIEW),
            Item("開く...", ID_FILE_OPEN),
            Item("上書き保存", ID_FILE_SAVE),
            Item("名前を付けて保存...", ID_FILE_SAVE_AS),
            kSeparator,
            Item("このファイルの名前を変更...", ID_RENAME_MEMO),
            Item("このファイルを削除...", ID_DELETE_MEMO),
            Item("このファイルの情報...", ID_MEMO_INFO),
            Item("このファイルをアラーム...", ID_ALARM_CUSTOM),
            Item("アラーム一覧...", ID_ALARM_LIST),
            kSeparator,
            Item("ｱﾌﾟﾘｹｰｼｮﾝの終了", ID_APP_EXIT)};
}

Items EditMenu() {
    return {Item("元に戻す", ID_EDIT_UNDO),
            Item("やり直し", ID_EDIT_REDO),
            kSeparator,
            Item("コピー", ID_EDIT_COPY),
            Item("クリア", ID_EDIT_CLEAR),
            kSeparator,
            Item("ペン", ID_TOOL_PEN),
            Item("消しゴム", ID_TOOL_ERASER),
            kSeparator,
            Popup("ペンの太さ", With(PenWidths(), {kSeparator, Item("ｶｽﾀﾑ", ID_PEN_WIDTH_CUSTOM)})),
            Popup("消しゴムの太さ",
                  With(EraserWidths(), {kSeparator, Item("ｶｽﾀﾑ", ID_ERASER_WIDTH_CUSTOM)})),
            Item("ペンの色(&P)...", ID_PEN_COLOR),
            Item("色設定...", ID_COLOR_SETTINGS),
            kSeparator,
            Item("今日の日付挿入", ID_INSERT_DATE)};
}

Items ViewMenu() {
    return {Item("次のメモへ", ID_NEXT_MEMO),    Item("前のメモへ", ID_PREV_MEMO), kSeparator,
            Item("罫線", ID_RULED_LINES),        Item("設定...", ID_SETTINGS),     kSeparator,
            Item("ﾊﾞｰｼﾞｮﾝ情報...", ID_APP_ABOUT)};
}

Items Minutes(UINT first, UINT last) {
    Items items;
    for (UINT id = first; id <= last; ++id) {
        const UINT minutes = id <= 32818 ? id - 32808 : 5 * (id - 32816);
        items.push_back({Format("%u分後", minutes), id, {}});
    }
    return items;
}

Items Hours(UINT first, UINT last) {
    Items items;
    for (UINT id = first; id <= last; ++id)
        items.push_back({Format("%u時間後", id - 32827), id, {}});
    return items;
}

Items Days(UINT first, UINT last) {
    Items items;
    for (UINT id = first; id <= last; ++id) items.push_back({Format("%u日後", id - 32839), id, {}});
    return items;
}

Items AlarmMenu() {
    Items items{Item("なし", ID_ALARM_NONE), Item("カスタム...", ID_ALARM_CUSTOM), kSeparator};
    for (const auto& item : Minutes(32809, 32813)) items.push_back(item);
    items.push_back(Popup("6～9分後", Minutes(32814, 32817)));
    items.push_back(kSeparator);
    items.push_back(Item("10分後", 32818));
    items.push_back(Item("20分後", 32820));
    items.push_back(Item("30分後", 32822));
    items.push_back(Popup("15～55分後", Minutes(32819, 32827)));
    items.push_back(kSeparator);
    for (const auto& item : Hours(32828, 32830)) items.push_back(item);
    items.push_back(Popup("4～12時間後", Hours(32831, 32839)));
    items.push_back(kSeparator);
    for (const auto& item : Days(32840, 32846)) items.push_back(item);
    items.push_back(Item("10日後", 32849));
    items.push_back(Popup("1～10日後", Days(32840, 32849)));
    return items;
}

}  // namespace

std::vector<MenuResource> QuilloMenus() {
    const Items main{Popup("ﾌｧｲﾙ", FileMenu()), Popup("編集", EditMenu()),
                     Popup("表示", ViewMenu())};
    const MenuItemResource colorItem = Item("色設定...", ID_COLOR_SETTINGS);
    return {
        {IDR_MAINFRAME_LANDSCAPE, main},
        {IDR_COMMANDBAR_MENU, {Popup("ﾒﾆｭｰ", main)}},
        {IDR_VIEW_POPUPS,
         {Popup("ペンの太さ", With(PenWidths(), {kSeparator, Item("ｶｽﾀﾑ", ID_PEN_WIDTH_CUSTOM),
                                                 kSeparator, colorItem})),
          Popup("消しゴムの太さ",
                With(EraserWidths(),
                     {kSeparator, Item("ｶｽﾀﾑ", ID_ERASER_WIDTH_CUSTOM), kSeparator, colorItem})),
          Popup("アラーム", AlarmMenu())}},
        {IDR_WORK_MENU,
         {Popup("WORK", {Item("保留", ID_UNUSED_BUTTON),
                         Item("通知により開く", ID_OPEN_BY_NOTIFICATION), Item("メニュー", ID_MENU),
                         Item("新規ファイルのメニュー表示", ID_NEW_FILE_MENU)})}},
    };
}
