#include <filesystem>
#include <optional>

#include "platform/registry/Registry.h"
#include "platform/shell/Screen.h"
#include "platform/shell/SingleInstance.h"
#include "platform/ui/DocTemplate.h"
#include "res/ResourceIds.h"
#include "support/InstanceHelperProcess.h"
#include "support/QuilloScenario.h"

using Startup = QuilloScenario;

TEST_F(Startup, AlarmLaunchArgumentIsMatchedWithCaseCounted) {
    struct Row {
        const char* commandLine;
        bool alarm;
    };
    const Row rows[] = {{"AppRunAtTime", true},     {"-x AppRunAtTime now", true},
                        {"xxAppRunAtTimexx", true}, {"apprunattime", false},
                        {"APPRUNATTIME", false},    {"", false}};
    for (const auto& row : rows) {
        // With no alarm due, an alarm launch ends without a window.
        EXPECT_EQ(Start(row.commandLine), !row.alarm) << row.commandLine;
        EXPECT_EQ(app->m_bAlarmLaunch, row.alarm) << row.commandLine;
        app.reset();
        ProcessEvents();
    }
}

TEST_F(Startup, SecondOrdinaryLaunchEndsAndBringsTheFirstForward) {
    const std::string log = (m_device->Directory() / "requests.log").string();
    Helper first(m_device->Directory().string(), "Folian", log);
    ASSERT_EQ(first.First(), "ready\n");
    EXPECT_FALSE(Start());
    EXPECT_EQ(AfxGetMainWnd(), nullptr) << "no second window";
    EXPECT_EQ(ReadHostFile(log), "front\n");
}

TEST_F(Startup, EmptySaveFolderUsesTheDefaultWithoutWritingIt) {
    ASSERT_TRUE(Start());
    EXPECT_EQ(app->m_strSaveFolder, "\\My Documents\\Quillo");
    EXPECT_TRUE(std::filesystem::is_directory(HostSaveFolder()));
    EXPECT_FALSE(app->GetRegistry()->Read(Hive::CurrentUser, "Software\\Vornak\\quillo\\System",
                                          "SaveFolder"))
        << "the profile is left as it was";
}

TEST_F(Startup, SynchronisedFilesFolderGivesTheDefault) {
    struct Row {
        std::optional<RegistryValue> value;
        const char* folder;
    };
    const Row rows[] = {
        {std::nullopt, "\\Quillo"},  // the key is there, the value is not: an empty read
        {RegistryValue(std::string("\\My Documents\\Sync\\")), "\\My Documents\\Sync\\Quillo"},
        {RegistryValue(std::string("\\Sync")), "\\Sync\\Quillo"},
        {RegistryValue(std::string("")), "\\My Documents\\Quillo"},
        {RegistryValue(int32_t{7}), "\\Quillo"},
    };
    for (const auto& row : rows) {
        auto registry = Registry::Open((m_device->Directory() / "registry.sqlite3").string());
        const char* key = "Software\\Microsoft\\Windows CE Services";
        EXPECT_TRUE(registry->DeleteValue(Hive::LocalMachine, key, "FileSyncPath"));
        EXPECT_TRUE(registry->Write(Hive::LocalMachine, key, "Other", 1));
        if (row.value) {
            EXPECT_TRUE(registry->Write(Hive::LocalMachine, key, "FileSyncPath", *row.value));
        }
        CQuilloApp probe;
        EXPECT_EQ(probe.GetDefaultSaveFolder(), row.folder);
    }
    std::filesystem::create_directories(m_device->Host("Sync"));
}

TEST_F(Startup, EmptyFolderStartsANewMemoAndTheNewestIsOpenedOtherwise) {
    ASSERT_TRUE(Start());
    EXPECT_TRUE(doc->GetPathName().empty());
    EXPECT_EQ(doc->m_bitmap.Width(), view->GetClientRect().Width());
    EXPECT_EQ(doc->m_bitmap.Height(), view->GetClientRect().Height());
    EXPECT_FALSE(doc->IsModified());
    app.reset();
    ProcessEvents();

    WriteMemo("old.bmp");
    WriteMemo("new.bmp");
    Touch(HostSaveFolder() / "old.bmp", 2009, 1, 12, 10, 0, 0);
    Touch(HostSaveFolder() / "new.bmp", 2009, 1, 13, 10, 0, 0);
    ASSERT_TRUE(Start());
    EXPECT_EQ(doc->GetPathName(), "\\My Documents\\Quillo\\new.bmp");
}

TEST_F(Startup, ACommandLineMemoOpensAndAnythingElseIsRefusedForTheNewest) {
    WriteMemo("newest.bmp");
    WriteMemo("given.bmp");
    Touch(HostSaveFolder() / "given.bmp", 2009, 1, 12, 10, 0, 0);
    WriteHostFile(HostSaveFolder() / "notes.bmp", "no picture");
    Touch(HostSaveFolder() / "notes.bmp", 2009, 1, 11, 10, 0, 0);
    const std::string given = "\\My Documents\\Quillo\\given.bmp";
    const struct {
        std::vector<std::string> words;
        const char* refused;  // the name the refusal gives; null: it opens
    } rows[] = {
        {{"/switch", given}, nullptr},
        {{(HostSaveFolder() / "given.bmp").string()}, nullptr},  // as a file manager names it
        {{"\\My Documents\\missing.bmp"}, "\\My Documents\\missing.bmp"},
        {{(HostSaveFolder() / "notes.bmp").string()}, "\\My Documents\\Quillo\\notes.bmp"},
        {{"/etc/hostname"}, "/etc/hostname"},  // outside the device
    };
    for (const auto& row : rows) {
        const std::string& word = row.words.back();
        if (row.refused != nullptr) {
            ExpectMessage(std::string("指定されたファイルはメモとして開けませんでした: ") +
                          row.refused);
        }
        ASSERT_TRUE(Start(row.words)) << word;
        ProcessEvents();
        ExpectAllModalsAnswered();
        EXPECT_EQ(doc->GetPathName(),
                  row.refused != nullptr ? "\\My Documents\\Quillo\\newest.bmp" : given)
            << word;
        app.reset();
        ProcessEvents();
    }
}

TEST_F(Startup, ScreenShapePicksTemplateAndToolBar) {
    struct Row {
        int width, height;
        UINT resource;
        std::vector<UINT> buttons;
    };
    const std::vector<UINT> narrow{ID_FILE_NEW,       ID_PREVIEW,   ID_TOOL_PEN,  ID_TOOL_ERASER,
                                   ID_PEN_WIDTH_MENU, ID_PREV_MEMO, ID_NEXT_MEMO, ID_ALARM_MENU};
    const std::vector<UINT> wide{ID_FILE_NEW,  ID_PREVIEW,     ID_FILE_SAVE,      ID_TOOL_PEN,
                                 ID_PEN_COLOR, ID_TOOL_ERASER, ID_PEN_WIDTH_MENU, ID_PREV_MEMO,
                                 ID_NEXT_MEMO, ID_ALARM_MENU};
    const Row rows[] = {{240, 320, 129, narrow},
                        {640, 240, 128, wide},
                        {480, 480, 128, wide},
                        {320, 240, 128, wide}};
    for (const auto& row : rows) {
        SetScreen(row.width, row.height);
        ASSERT_TRUE(Start());
        EXPECT_EQ(app->m_pDocTemplate->GetResourceId(), row.resource)
            << row.width << "x" << row.height;
        EXPECT_EQ(frame->m_commandBar.GetButtonCommands(), row.buttons)
            << row.width << "x" << row.height;
        const CRect client = frame->GetClientRect();
        EXPECT_EQ(client.Width(), row.width);
        EXPECT_EQ(client.Height(), row.height);
        app.reset();
        ProcessEvents();
    }
    // No screen given: a desktop window of the host screen's size, wherever the window
    // manager puts it, but on the screen.
    SetScreenOverride({0, 0});
    ASSERT_TRUE(Start());
    const CRect placed = frame->GetWindowRect();
    EXPECT_GE(placed.left, 0);
    EXPECT_GE(placed.top, 0);
    EXPECT_EQ(frame->GetClientRect().Width(), GetDeviceScreenSize().cx);
    EXPECT_EQ(frame->GetClientRect().Height(), GetDeviceScreenSize().cy);
}

TEST_F(Startup, EmptyProfileGivesTheDefaults) {
    ASSERT_TRUE(Start());
    EXPECT_EQ(view->m_nPenWidth, 5);
    EXPECT_EQ(view->m_crPen, RGB(0, 0, 0));
    EXPECT_EQ(view->m_nEraserWidth, 10);
    EXPECT_EQ(view->m_crBack, RGB(255, 255, 255));
    EXPECT_FALSE(view->m_bBackLine);
    EXPECT_EQ(view->m_nTool, CQuilloView::ToolPen);
    EXPECT_EQ(app->m_nNotifyDialog, 1);
    EXPECT_EQ(app->m_strMemoExt, ".bmp");
}

TEST_F(Startup, ProfileValuesAreReadUnderTheCompanyKey) {
    auto registry = Registry::Open((m_device->Directory() / "registry.sqlite3").string());
    const char* edit = "Software\\Vornak\\quillo\\Edit";
    EXPECT_TRUE(registry->Write(Hive::CurrentUser, edit, "PenColor", int32_t{0x0000FF}));
    EXPECT_TRUE(registry->Write(Hive::CurrentUser, edit, "PenWidth", int32_t{3}));
    EXPECT_TRUE(registry->Write(Hive::CurrentUser, "Software\\Vornak\\quillo\\View", "BackLine",
                                int32_t{1}));
    registry.reset();
    ASSERT_TRUE(Start());
    EXPECT_EQ(view->m_crPen, RGB(255, 0, 0)) << "written as PenColor, read as pENColor";
    EXPECT_EQ(view->m_nPenWidth, 3);
    EXPECT_TRUE(view->m_bBackLine);
}

TEST_F(Startup, ADamagedProfileIsSetAsideAndTheWindowSaysWhereItLiesOnce) {
    WriteHostFile(m_device->Directory() / "registry.sqlite3", "not a database");
    std::string told;
    ExpectModal([&](ModalRun& run) {
        told = run.text;
        run.Answer(IDOK);
    });
    ASSERT_TRUE(Start());
    ExpectAllModalsAnswered();
    const std::string prefix =
        "設定ファイルを読み込めなかったため、アラームと設定を初期状態に戻しました。"
        "読み込めなかったファイルは次の場所に残しました: ";
    ASSERT_TRUE(told.starts_with(prefix)) << told;
    EXPECT_EQ(ReadHostFile(told.substr(prefix.size())), "not a database");
    app.reset();
    ASSERT_TRUE(Start());
    EXPECT_EQ(ModalRunsSeen(), 1) << "only once";
}
