#pragma once

#include "platform/ui/Messages.h"

// Resource numbers and command identifiers of the program.

// Document templates, menus, tool bars and their bitmaps.
constexpr UINT IDR_MAINFRAME_LANDSCAPE = 128;
constexpr UINT IDR_MAINFRAME_PORTRAIT = 129;
constexpr UINT IDR_COMMANDBAR_MENU = 129;
constexpr UINT IDR_VIEW_POPUPS = 131;
constexpr UINT IDR_WORK_MENU = 132;
constexpr UINT IDR_TOOLBAR_WIDE = 128;
constexpr UINT IDR_TOOLBAR_UNUSED = 129;
constexpr UINT IDR_TOOLBAR_NARROW = 131;
constexpr UINT IDB_TOOLBAR_WIDE = 128;
constexpr UINT IDB_TOOLBAR_NARROW = 131;
constexpr UINT IDB_FOLDER_IMAGES = 130;

// Dialogs and their controls.
constexpr UINT IDD_ABOUTBOX = 100;
constexpr UINT IDD_RENAME = 134;
constexpr UINT IDC_RENAME_NEW = 1006;
constexpr UINT IDC_RENAME_OLD = 1007;
constexpr UINT IDD_ALARM = 135;
constexpr UINT IDC_ALARM_REPEAT = 1003;
constexpr UINT IDC_ALARM_HOUR = 1004;
constexpr UINT IDC_ALARM_HOUR_SPIN = 1005;
constexpr UINT IDC_ALARM_MINUTE = 1006;
constexpr UINT IDC_ALARM_MINUTE_SPIN = 1007;
constexpr UINT IDC_ALARM_SOUND = 1008;
constexpr UINT IDC_ALARM_SOUND_REPEAT = 1023;
constexpr UINT IDC_ALARM_PLAY = 1024;
constexpr UINT IDC_ALARM_CALENDAR = 142;
constexpr UINT IDC_ALARM_DATE = 146;
constexpr UINT IDD_CALENDAR = 139;
constexpr UINT IDC_CALENDAR = 300;
constexpr UINT IDD_ALARM_NOTIFY = 137;
constexpr UINT IDD_ALARM_NOTIFY_WIDE = 143;
constexpr UINT IDC_NOTIFY_SNOOZE = 3;
constexpr UINT IDC_NOTIFY_DELETE = 1001;
constexpr UINT IDC_NOTIFY_TITLE = 1019;
constexpr UINT IDC_NOTIFY_PICTURE = 1022;
constexpr UINT IDD_SNOOZE = 140;
constexpr UINT IDC_SNOOZE_SPIN = 1001;
constexpr UINT IDC_SNOOZE_COUNT = 1020;
constexpr UINT IDC_SNOOZE_UNIT = 1021;
constexpr UINT IDD_PREVIEW = 131;
constexpr UINT IDC_PREVIEW_DELETE = 1001;
constexpr UINT IDC_PREVIEW_NEW = 1002;
constexpr UINT IDC_PREVIEW_SCROLL = 1003;
constexpr UINT IDC_PREVIEW_THUMBNAILS = 1004;
constexpr UINT IDC_PREVIEW_TITLE = 1005;
constexpr UINT IDD_WIDTH = 132;
constexpr UINT IDC_WIDTH_EDIT = 1000;
constexpr UINT IDC_WIDTH_SPIN = 1001;
constexpr UINT IDD_COLOR_SETTINGS = 141;
constexpr UINT IDC_COLOR_PEN = 1025;
constexpr UINT IDC_COLOR_BACK = 1026;
constexpr UINT IDD_SETTINGS = 145;
constexpr UINT IDC_SETTINGS_SOUND = 1008;
constexpr UINT IDC_SETTINGS_SOUND_REPEAT = 1023;
constexpr UINT IDC_SETTINGS_PLAY = 1024;
constexpr UINT IDC_SETTINGS_FOLDER = 1027;
constexpr UINT IDC_SETTINGS_DEFAULT_FOLDER = 1028;
constexpr UINT IDC_SETTINGS_BROWSE = 1030;
constexpr UINT IDC_SETTINGS_NOTIFY = 1031;
constexpr UINT IDC_SETTINGS_PEN_PRESSURE = 1032;
constexpr UINT IDD_FOLDER = 146;
constexpr UINT IDC_FOLDER_CREATE = 1028;
constexpr UINT IDC_FOLDER_TREE = 1029;
constexpr UINT IDD_INPUT = 147;
constexpr UINT IDC_INPUT_MESSAGE = 1005;
constexpr UINT IDC_INPUT_TEXT = 1006;
constexpr UINT IDD_FILE_INFO = 138;
constexpr UINT IDC_INFO_FILE_NAME = 1010;
constexpr UINT IDC_INFO_SIZE = 1011;
constexpr UINT IDC_INFO_INDEX = 1012;
constexpr UINT IDC_INFO_UPDATED = 1013;
constexpr UINT IDD_ALARM_LIST = 148;
constexpr UINT IDC_ALARM_LIST = 1032;
constexpr UINT IDC_ALARM_LIST_DELETE = 1033;

// The program's own commands.
constexpr UINT ID_TOOL_PEN = 32771;
constexpr UINT ID_TOOL_ERASER = 32772;
constexpr UINT ID_PREVIEW = 32773;
constexpr UINT ID_PEN_WIDTH_MENU = 32774;
constexpr UINT ID_EDIT_REDO = 32775;
constexpr UINT ID_COLOR_SETTINGS = 32776;
constexpr UINT ID_PEN_WIDTH_1 = 32777;
constexpr UINT ID_PEN_WIDTH_10 = 32786;
constexpr UINT ID_ERASER_WIDTH_5 = 32787;
constexpr UINT ID_ERASER_WIDTH_40 = 32794;
constexpr UINT ID_PEN_WIDTH_CUSTOM = 32797;
constexpr UINT ID_ERASER_WIDTH_CUSTOM = 32798;
constexpr UINT ID_DELETE_MEMO = 32799;
constexpr UINT ID_NEXT_MEMO = 32800;
constexpr UINT ID_PREV_MEMO = 32801;
constexpr UINT ID_RENAME_MEMO = 32802;
constexpr UINT ID_MEMO_INFO = 32803;
constexpr UINT ID_ALARM_CUSTOM = 32805;
constexpr UINT ID_OPEN_BY_NOTIFICATION = 32806;
constexpr UINT ID_ALARM_LIST = 32807;
constexpr UINT ID_ALARM_MENU = 32808;
constexpr UINT ID_ALARM_FIRST = 32809;
constexpr UINT ID_ALARM_LAST = 32849;
constexpr UINT ID_ALARM_NONE = 32850;
constexpr UINT ID_NEW_FILE_MENU = 32851;
constexpr UINT ID_SETTINGS = 32852;
constexpr UINT ID_INSERT_DATE = 32853;
constexpr UINT ID_UNUSED_BUTTON = 32854;
constexpr UINT ID_MENU = 32855;
constexpr UINT ID_RULED_LINES = 32857;
constexpr UINT ID_PEN_COLOR = 32858;

// Framework commands the program's resources name.
constexpr UINT ID_EDIT_UNDO = 57643;
constexpr UINT ID_EDIT_COPY = 57634;
constexpr UINT ID_NEXT_PANE = 57680;
constexpr UINT ID_PREV_PANE = 57681;

// Timer and window ids of the main frame.
constexpr UINT kAlarmCheckTimer = 400;
constexpr UINT kAlarmCheckPeriodMs = 10000;
// The view's look, soon after an alarm is set, at which backend will ring it.
constexpr UINT kSelfLaunchCheckTimer = 401;
constexpr UINT kSelfLaunchCheckPeriodMs = 200;
// The alarm list's look at the store, for what rang or another process changed.
constexpr UINT kAlarmListTimer = 302;
constexpr UINT kAlarmListPeriodMs = 1000;
