// The settings dialog and the folder chooser.
#include <QTreeWidget>
#include <filesystem>

#include "dialogs/FolderDlg.h"
#include "dialogs/InputDlg.h"
#include "dialogs/SettingsDlg.h"
#include "platform/base/Format.h"
#include "platform/fs/Device.h"
#include "res/ResourceIds.h"
#include "support/QuilloScenario.h"

namespace fs = std::filesystem;

namespace {

class Settings : public QuilloScenario {
  protected:
    void SetUp() override {
        QuilloScenario::SetUp();
        ASSERT_TRUE(Start());
    }
    // The folder dialog on `initial`; `use` works it and ends it; its answer.
    std::string RunFolderDialog(const std::string& initial, std::function<void(CFolderDlg*)> use,
                                std::function<void()> inside = {}) {
        ExpectModal([use](ModalRun& run) {
            ASSERT_EQ(run.caption, "フォルダの指定");
            use(static_cast<CFolderDlg*>(run.dialog));
            if (run.IsOpen()) run.Press(IDCANCEL);
        });
        if (inside) inside();
        CFolderDlg dialog;
        dialog.m_strFolder = initial;
        return dialog.DoModal() == IDOK ? dialog.m_strFolder : "(cancelled)";
    }
    static std::vector<std::string> Children(CFolderDlg* dialog, HTREEITEM item) {
        std::vector<std::string> names;
        for (HTREEITEM child = dialog->m_tree.GetChildItem(item); child != nullptr;
             child = dialog->m_tree.GetNextSiblingItem(child)) {
            names.push_back(dialog->m_tree.GetItemText(child));
        }
        return names;
    }
    // The settings dialog: `use` works it, then OK is pressed.
    void RunSettings(std::function<void(CSettingsDlg*)> use, std::function<void()> inside = {}) {
        ExpectModal([use](ModalRun& run) {
            ASSERT_EQ(run.caption, "設定");
            use(static_cast<CSettingsDlg*>(run.dialog));
            if (run.IsOpen()) run.Press(IDOK);
        });
        if (inside) inside();
        SendCommand(frame, ID_SETTINGS);
        ExpectAllModalsAnswered();
    }
    static std::vector<std::string> Items(CComboBox& list) {
        std::vector<std::string> items;
        for (int i = 0; i < list.GetCount(); ++i) items.push_back(list.GetLBText(i));
        return items;
    }
    std::string Profile(const char* section, const char* name) {
        return app->GetProfileString(section, name, "(none)");
    }
};

}  // namespace

TEST_F(Settings, TheTreeOpensOnTheFolderWhateverItsCase) {
    fs::create_directories(m_device->Host("My Documents/Quillo/Deep/Deeper"));
    fs::create_directories(m_device->Host("Empty"));
    for (const char* initial : {"\\My Documents\\Quillo", "\\my documents\\quillo"}) {
        const std::string chosen = RunFolderDialog(initial, [](CFolderDlg* dialog) {
            HTREEITEM root = dialog->m_folderTree.m_hRoot;
            const auto top = Children(dialog, root);
            EXPECT_NE(std::find(top.begin(), top.end(), "My Documents"), top.end());
            EXPECT_TRUE(Children(dialog, dialog->m_tree.GetChildItem(root)).size() <= 1);
            EXPECT_EQ(dialog->m_tree.GetItemText(dialog->m_tree.GetSelectedItem()), "Quillo");
            // Quillo has a sub-folder: a placeholder until it is expanded.
            HTREEITEM quillo = dialog->m_tree.GetSelectedItem();
            EXPECT_EQ(Children(dialog, quillo), std::vector<std::string>{"*Dummy*"});
            dialog->m_tree.ToggleByUser(quillo);
            EXPECT_EQ(Children(dialog, quillo), std::vector<std::string>{"Deep"});
            dialog->PressButton(IDOK);
        });
        EXPECT_EQ(chosen, "\\My Documents\\Quillo") << initial;
    }
    EXPECT_EQ(RunFolderDialog("\\Nowhere", [](CFolderDlg* dialog) { dialog->PressButton(IDOK); }),
              "\\")
        << "nothing selected: the root";
}

TEST_F(Settings, AnImageListRefusesAMissingBitmapOrNoWidth) {
    CImageList images;
    EXPECT_TRUE(images.Create(IDB_FOLDER_IMAGES, 16));
    EXPECT_FALSE(images.Create(0xFFFF, 16)) << "no such bitmap";
    EXPECT_FALSE(images.Create(IDB_FOLDER_IMAGES, 0));
}

TEST_F(Settings, CollapsingAFolderAboveTheSelectionSelectsIt) {
    fs::create_directories(m_device->Host("Memos/Sub/Deeper"));
    const std::string chosen = RunFolderDialog("\\Memos\\Sub\\Deeper", [](CFolderDlg* dialog) {
        HTREEITEM memos = dialog->m_folderTree.FindPath("\\Memos");
        static_cast<QTreeWidget*>(dialog->m_tree.GetWidget())
            ->collapseItem(static_cast<QTreeWidgetItem*>(memos));
        dialog->PressButton(IDOK);
    });
    EXPECT_EQ(chosen, "\\Memos");
}

TEST_F(Settings, AFolderMadeLaterShowsOnTheNextExpandAndAVanishedOneShowsNothing) {
    RunFolderDialog("\\My Documents", [this](CFolderDlg* dialog) {
        HTREEITEM documents = dialog->m_tree.GetSelectedItem();
        ASSERT_EQ(dialog->m_tree.GetItemText(documents), "My Documents");
        fs::create_directories(m_device->Host("My Documents/Later"));
        dialog->m_tree.ToggleByUser(documents);
        const auto children = Children(dialog, documents);
        EXPECT_NE(std::find(children.begin(), children.end(), "Later"), children.end());
        fs::remove_all(m_device->Host("My Documents"));
        WriteHostFile(m_device->Host("My Documents"), "a file now");
        dialog->m_tree.ToggleByUser(documents);
        EXPECT_TRUE(Children(dialog, documents).empty());
    });
}

TEST_F(Settings, NewFoldersAreMadeOnceAndADoubleClickTakesTheFolder) {
    const std::string chosen = RunFolderDialog(
        "\\My Documents",
        [](CFolderDlg* dialog) {
            dialog->PressButton(IDC_FOLDER_CREATE);
            EXPECT_EQ(dialog->m_folderTree.PathOf(dialog->m_tree.GetSelectedItem()),
                      "\\My Documents\\New");
            for (int i = 0; i < 2; ++i) {
                ASSERT_TRUE(dialog->m_folderTree.Select("\\My Documents"));
                dialog->PressButton(IDC_FOLDER_CREATE);
                EXPECT_EQ(dialog->m_folderTree.PathOf(dialog->m_tree.GetSelectedItem()),
                          "\\My Documents")
                    << "nothing made, nothing selected anew";
            }
            ASSERT_TRUE(dialog->m_folderTree.Select("\\My Documents\\New"));
            dialog->m_tree.DoubleClickByUser(dialog->m_tree.GetSelectedItem());
        },
        [this] {
            for (const char* name : {"New", "New", ""}) {
                ExpectModal([name](ModalRun& run) {
                    EXPECT_EQ(run.dialog->GetDlgItemText(IDC_INPUT_MESSAGE),
                              "フォルダ名を入力してください");
                    run.dialog->SetDlgItemText(IDC_INPUT_TEXT, name);
                    run.Press(IDOK);
                });
            }
        });
    EXPECT_EQ(chosen, "\\My Documents\\New");
    EXPECT_TRUE(fs::is_directory(m_device->Host("My Documents/New")));
    EXPECT_EQ(std::distance(fs::directory_iterator(m_device->Host("My Documents")), {}), 2);
}

TEST_F(Settings, OnlyTwoLevelsAreReadAtATime) {
    for (int i = 0; i < 1000; ++i) {
        for (int j = 0; j < (i < 3 ? 1000 : 1); ++j) {
            fs::create_directories(m_device->Host(Format("Big/%04d/%04d", i, j)));
        }
    }
    const uint64_t before = DeviceEntriesRead();
    RunFolderDialog("\\Big", [](CFolderDlg* dialog) {
        HTREEITEM big = dialog->m_tree.GetSelectedItem();
        dialog->m_tree.ToggleByUser(big);
        EXPECT_EQ(Children(dialog, big).size(), 1000u);
    });
    // Big and the probe of each of its folders; a full read of the three large ones alone
    // would be 3,000 more.
    EXPECT_LT(DeviceEntriesRead() - before, 3000u) << "read " << DeviceEntriesRead() - before;
}

TEST_F(Settings, OkWritesEverythingAndTheSoundListFollowsTheWindowsFolder) {
    for (const auto& entry : fs::directory_iterator(m_device->Host("Windows")))
        fs::remove(entry.path());
    for (const char* name : {"Beep.wav", "alarm.wav", "a.b.wav", "alarm2.wav"}) {
        WriteHostFile(m_device->Host(std::string("Windows/") + name), "RIFF");
    }
    EXPECT_TRUE(app->WriteProfileString("Alerm", "DefaultWaveFile", "Gone"));
    RunSettings([this](CSettingsDlg* dialog) {
        EXPECT_EQ(Items(dialog->m_soundList),
                  (std::vector<std::string>{"なし", "a.b", "alarm", "alarm2", "Beep"}));
        EXPECT_EQ(dialog->m_soundList.GetCurSel(), 0) << "a stale sound opens on なし";
        dialog->PressButton(IDC_SETTINGS_PLAY);
        EXPECT_TRUE(m_sounds.empty());
        dialog->m_soundList.SetCurSel(3);
        dialog->PressButton(IDC_SETTINGS_PLAY);
        ASSERT_EQ(m_sounds.size(), 1u);
        EXPECT_EQ(m_sounds[0].path, "\\windows\\alarm2.wav");
        EXPECT_EQ(m_sounds[0].how, SoundPlay::Wait);
        dialog->CheckDlgButton(IDC_SETTINGS_SOUND_REPEAT, 1);
        dialog->CheckDlgButton(IDC_SETTINGS_NOTIFY, 0);
        EXPECT_EQ(dialog->IsDlgButtonChecked(IDC_SETTINGS_PEN_PRESSURE), 0) << "off at first";
        EXPECT_LE(dialog->GetWindowRect().Width(), 240);
        EXPECT_LE(dialog->GetWindowRect().Height(), 320 - 40)
            << "a palm-size screen, title bar too";
        dialog->CheckDlgButton(IDC_SETTINGS_PEN_PRESSURE, 1);
        dialog->SetDlgItemText(IDC_SETTINGS_FOLDER, "\\Memos\\2026");
    });
    EXPECT_EQ(app->GetProfileInt("Edit", "PenPressure", -1), 1);
    EXPECT_TRUE(view->m_bPenPressure) << "at once";
    EXPECT_EQ(Profile("Alerm", "DefaultWaveFile"), "alarm2");
    EXPECT_EQ(app->GetProfileInt("Alerm", "DefaultWaveRepeat", -1), 1);
    EXPECT_EQ(app->GetProfileInt("System", "NotifyDialog", -1), 0);
    EXPECT_EQ(Profile("System", "SaveFolder"), "\\Memos\\2026");
    EXPECT_TRUE(fs::is_directory(m_device->Host("Memos/2026"))) << "a missing folder is made";

    Stroke({{5, 5}, {40, 40}});
    SendCommand(frame, ID_FILE_NEW);
    EXPECT_EQ(std::distance(fs::directory_iterator(m_device->Host("Memos/2026")), {}), 1)
        << "the next memo is saved there";
    EXPECT_EQ(app->RefreshMemoList(), 1);

    for (const auto& entry : fs::directory_iterator(m_device->Host("Windows")))
        fs::remove(entry.path());
    RunSettings([](CSettingsDlg* dialog) { EXPECT_EQ(Items(dialog->m_soundList).size(), 1u); });
    EXPECT_EQ(Profile("Alerm", "DefaultWaveFile"), "");
}

TEST_F(Settings, ARefusedFolderWritesNothingAndCancelKeepsTheFolder) {
    WriteHostFile(m_device->Host("AFile"), "in the way");
    const std::string before = app->m_strSaveFolder;
    for (const std::string& folder :
         {std::string("\\a|b"), std::string("\\AFile\\Memos"), "\\" + std::string(240, 'x')}) {
        RunSettings(
            [&folder](CSettingsDlg* dialog) {
                dialog->SetDlgItemText(IDC_SETTINGS_FOLDER, folder);
                dialog->CheckDlgButton(IDC_SETTINGS_SOUND_REPEAT, 1);
                dialog->PressButton(IDOK);
                EXPECT_TRUE(dialog->IsModalRunning()) << folder;
                dialog->PressButton(IDCANCEL);
            },
            [this] {
                ExpectModal([](ModalRun& run) {
                    EXPECT_EQ(run.text, "ファイル名が無効です。有効な名前を入力してください。");
                    run.Answer(IDOK);
                });
            });
    }
    EXPECT_EQ(Profile("System", "SaveFolder"), "(none)");
    EXPECT_EQ(app->GetProfileInt("Alerm", "DefaultWaveRepeat", -1), -1)
        << "not even the alarm defaults";

    RunSettings(
        [](CSettingsDlg* dialog) {
            dialog->PressButton(IDC_SETTINGS_BROWSE);
            EXPECT_EQ(dialog->GetDlgItemText(IDC_SETTINGS_FOLDER), "\\");
            dialog->PressButton(IDCANCEL);
        },
        [this] {
            ExpectModal([](ModalRun& run) {
                auto* folders = static_cast<CFolderDlg*>(run.dialog);
                EXPECT_TRUE(folders->m_tree.SelectItem(folders->m_folderTree.m_hRoot));
                run.Press(IDOK);
            });
        });
    EXPECT_EQ(app->m_strSaveFolder, before);
    EXPECT_EQ(Profile("System", "SaveFolder"), "(none)");
}
