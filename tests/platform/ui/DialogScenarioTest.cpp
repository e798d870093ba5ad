#include <QAbstractSlider>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>

#include "platform/ui/ColorDialog.h"
#include "platform/ui/Controls.h"
#include "platform/ui/DataExchange.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/DialogBuilder.h"
#include "platform/ui/FileDialog.h"
#include "platform/ui/Resources.h"
#include "platform/ui/ScreenArea.h"
#include "platform/ui/ToolkitTranslation.h"
#include "support/Scenario.h"

namespace {

constexpr UINT kWidthDialog = 200;
constexpr UINT kAllControls = 201;

const ResourceTable& Resources() {
    using namespace ctl;
    static const ResourceTable table{
        .bitmaps = {{9, 32, 16, std::vector<uint32_t>(32 * 16, 0x808080)}},
        .dialogs =
            {
                {kWidthDialog,
                 "幅の設定",
                 105,
                 48,
                 "ＭＳ Ｐゴシック",
                 9,
                 true,
                 {{1000, ControlKind::Edit, "", 52, 13, 24, 15,
                   kBorder | kNumber | kRight | kAutoHScroll},
                  {1001, ControlKind::Spin, "Spin1", 83, 13, 11, 17,
                   kAutoBuddy | kSetBuddyInt | kArrowKeys},
                  {0, ControlKind::Label, "ペンの幅(&W):", 4, 16, 43, 13}}},
                {kAllControls,
                 "All",
                 200,
                 150,
                 "ＭＳ Ｐゴシック",
                 9,
                 false,
                 {{1, ControlKind::DefPushButton, "OK", 11, 99, 50, 14},
                  {2, ControlKind::PushButton, "ｷｬﾝｾﾙ", 71, 99, 50, 14},
                  {1023, ControlKind::CheckBox, "サウンドの繰り返し(&L)", 5, 70, 105, 11},
                  {1003, ControlKind::DropDownList, "", 50, 37, 60, 87, kVScroll},
                  {1010, ControlKind::TreeView, "", 120, 4, 70, 60,
                   kHasButtons | kHasLines | kShowSelAlways},
                  {1011, ControlKind::VScrollBar, "", 190, 70, 8, 60},
                  {1012, ControlKind::Frame, "", 120, 70, 60, 20},
                  {1013, ControlKind::GroupBox, "Group", 2, 80, 110, 15}}},
            },
    };
    return table;
}

class WidthDialog : public CDialog {
  public:
    WidthDialog() : CDialog(kWidthDialog) {}
    void DoDataExchange(CDataExchange* exchange) override {
        DDX_Control(exchange, 1001, m_spin);
        DDX_Text(exchange, 1000, m_nWidth);
        DDV_MinMaxInt(exchange, m_nWidth, 1, 500);
    }
    bool OnInitDialog() override {
        CDialog::OnInitDialog();
        m_spin.SetRange(1, 500);
        m_spin.SetPos(m_nWidth);
        return true;
    }
    CSpinButtonCtrl m_spin;
    int m_nWidth = 5;
};

class Dialogs : public ScenarioTest {
  protected:
    void SetUp() override {
        ScenarioTest::SetUp();
        AfxSetResources(&Resources());
    }
    static QWidget* Widget(CDialog* dialog, UINT id) { return dialog->GetDlgItem(id)->GetWidget(); }
};

}  // namespace

TEST_F(Dialogs, TemplateControlsStandWhereTheTemplateSays) {
    ExpectModal([](ModalRun& run) {
        CDialog* dialog = run.dialog;
        EXPECT_EQ(run.caption, "幅の設定");
        const QFont font = DialogFont(*dialog->GetTemplate());
        for (const DialogControl& control : dialog->GetTemplate()->controls) {
            if (control.kind == ControlKind::Spin || control.id == 1000)
                continue;  // moved by the spin
            const CRect expected =
                DialogUnitsToPixels(font, control.x, control.y, control.width, control.height);
            const QRect at = Widget(dialog, control.id)->geometry();
            EXPECT_EQ(at.x(), expected.left);
            EXPECT_EQ(at.y(), expected.top);
            EXPECT_EQ(at.width(), expected.Width());
        }
        EXPECT_EQ(dialog->GetDlgItemText(0), "ペンの幅(W):") << "the mnemonic mark is not shown";
        const CRect edit = DialogUnitsToPixels(font, 52, 13, 24, 15);
        const QRect spin = Widget(dialog, 1001)->geometry();
        EXPECT_EQ(spin.x() + spin.width(), edit.right) << "the spin sits at its buddy's right edge";
        EXPECT_EQ(Widget(dialog, 1000)->geometry().right() + 1, spin.x());
        auto* ok = dialog->GetWidget()->findChild<QPushButton*>("captionOk");
        ASSERT_NE(ok, nullptr) << "OK in the caption becomes a button";
        ok->click();
        EXPECT_FALSE(run.IsOpen());
    });
    WidthDialog dialog;
    EXPECT_EQ(dialog.DoModal(), IDOK);
    ExpectAllModalsAnswered();
}

TEST_F(Dialogs, IntegerFieldKeepsTheDialogOpenOutsideItsRange) {
    WidthDialog dialog;
    ExpectModal([&](ModalRun& run) {
        EXPECT_EQ(dialog.GetDlgItemText(1000), "5") << "initialisation copied the member in";
        for (const char* bad : {"0", "501", "abc", ""}) {
            ExpectModal([bad](ModalRun& box) {
                EXPECT_EQ(box.kind, ModalRun::Kind::MessageBox) << bad;
                EXPECT_EQ(box.text, "1 から 500 までの整数を入力してください。") << bad;
                box.Answer(IDOK);
            });
            dialog.SetDlgItemText(1000, bad);
            run.Press(IDOK);
            EXPECT_TRUE(run.IsOpen()) << bad;
            // The failing field was made the one to type in again: its text is selected.
            EXPECT_EQ(static_cast<QLineEdit*>(Widget(&dialog, 1000))->selectedText().toStdString(),
                      bad);
        }
        dialog.SetDlgItemText(1000, "500");
        run.Press(IDOK);
        EXPECT_FALSE(run.IsOpen());
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.m_nWidth, 500);
    ExpectAllModalsAnswered();

    ExpectModal([&](ModalRun& run) {
        dialog.SetDlgItemText(1000, " 1 ");
        run.Press(IDOK);
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.m_nWidth, 1);
}

TEST_F(Dialogs, SpinWritesItsPositionIntoItsBuddy) {
    WidthDialog dialog;
    dialog.m_nWidth = 7;
    ExpectModal([&](ModalRun& run) {
        EXPECT_EQ(dialog.GetDlgItemText(1000), "7");
        dialog.m_spin.SetPos(12);
        EXPECT_EQ(dialog.GetDlgItemText(1000), "12");
        QKeyEvent up(QEvent::KeyPress, Qt::Key_Up, Qt::NoModifier);
        QApplication::sendEvent(Widget(&dialog, 1000), &up);
        EXPECT_EQ(dialog.GetDlgItemText(1000), "13") << "the arrow keys step it";
        dialog.SetDlgItemText(1000, "499");
        QApplication::sendEvent(Widget(&dialog, 1000), &up);
        QApplication::sendEvent(Widget(&dialog, 1000), &up);
        EXPECT_EQ(dialog.m_spin.GetPos(), 500) << "it stays inside its range";
        run.Press(IDCANCEL);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_EQ(dialog.m_nWidth, 7) << "cancel copies nothing out";
}

namespace {

class TreeDialog : public CDialog {
    DECLARE_MESSAGE_MAP()

  public:
    TreeDialog() : CDialog(kAllControls) {}
    bool OnInitDialog() override {
        CDialog::OnInitDialog();
        m_tree.Attach(GetDlgItem(1010)->GetWidget(), this, 1010);
        m_root = m_tree.InsertItem("\\", 0, 0);
        m_tree.SetHasChildren(m_root, true);
        return true;
    }
    void OnExpanding(LPARAM notice, LRESULT* result) {
        const auto* tree = reinterpret_cast<const NMTREEVIEW*>(notice);
        m_actions.push_back(tree->action);
        *result = 0;
    }
    void OnDoubleClick(LPARAM, LRESULT*) { ++m_nDoubleClicks; }
    void OnVScroll(UINT code, UINT position, CScrollBar*) { m_scrolls.push_back({code, position}); }
    void OnRepeat() { ++m_nRepeatClicks; }

    CTreeCtrl m_tree;
    HTREEITEM m_root = nullptr;
    std::vector<UINT> m_actions;
    int m_nDoubleClicks = 0;
    int m_nRepeatClicks = 0;
    std::vector<std::pair<UINT, UINT>> m_scrolls;
};

// clang-format off
BEGIN_MESSAGE_MAP(TreeDialog, CDialog)
    on::NotifyWithData(TVN_ITEMEXPANDING, 1010, &TreeDialog::OnExpanding),
    on::NotifyWithData(NM_DBLCLK, 1010, &TreeDialog::OnDoubleClick),
    on::VScroll(&TreeDialog::OnVScroll),
    on::Notify(BN_CLICKED, 1023, &TreeDialog::OnRepeat),
END_MESSAGE_MAP()
// clang-format on

}  // namespace

TEST_F(Dialogs, TreeViewTellsOfExpandingBothWays) {
    TreeDialog dialog;
    ExpectModal([&](ModalRun& run) {
        HTREEITEM child = dialog.m_tree.InsertItem("My Documents", 0, 0, dialog.m_root);
        EXPECT_EQ(dialog.m_tree.GetParentItem(child), dialog.m_root);
        EXPECT_EQ(dialog.m_tree.GetChildItem(dialog.m_root), child);
        EXPECT_EQ(dialog.m_tree.GetItemText(child), "My Documents");
        dialog.m_tree.Expand(dialog.m_root, TVE_EXPAND);
        dialog.m_tree.Expand(dialog.m_root, TVE_COLLAPSE);
        EXPECT_TRUE(dialog.m_actions.empty()) << "the program's own expansion is not notified";
        dialog.m_tree.ToggleByUser(dialog.m_root);
        dialog.m_tree.ToggleByUser(dialog.m_root);
        EXPECT_EQ(dialog.m_actions, (std::vector<UINT>{TVE_EXPAND, TVE_COLLAPSE}));
        dialog.m_tree.DoubleClickByUser(child);
        dialog.m_tree.DoubleClickByUser(nullptr);  // on no item: nothing
        EXPECT_EQ(dialog.m_tree.GetRootItem(), dialog.m_root);
        EXPECT_EQ(dialog.m_nDoubleClicks, 1);
        EXPECT_EQ(dialog.m_tree.GetSelectedItem(), child);
        run.Press(IDCANCEL);
    });
    dialog.DoModal();
}

TEST_F(Dialogs, ScrollBarAndCheckBoxReportToTheDialog) {
    TreeDialog dialog;
    ExpectModal([&](ModalRun& run) {
        CScrollBar bar;
        bar.Attach(dialog.GetDlgItem(1011)->GetWidget(), &dialog, 1011);
        bar.SetScrollRange(0, 10);
        bar.SetScrollPos(3);
        auto* slider = static_cast<QAbstractSlider*>(bar.GetWidget());
        slider->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        slider->triggerAction(QAbstractSlider::SliderPageStepSub);
        slider->triggerAction(QAbstractSlider::SliderToMaximum);
        ASSERT_EQ(dialog.m_scrolls.size(), 3u);
        EXPECT_EQ(dialog.m_scrolls[0].first, SB_LINEDOWN);
        EXPECT_EQ(dialog.m_scrolls[1].first, SB_PAGEUP);
        EXPECT_EQ(dialog.m_scrolls[2].first, SB_BOTTOM);
        EXPECT_EQ(bar.GetScrollPos(), 3) << "only the dialog moves the thumb";
        static_cast<QAbstractButton*>(dialog.GetDlgItem(1023)->GetWidget())->click();
        EXPECT_EQ(dialog.m_nRepeatClicks, 1);
        EXPECT_EQ(dialog.IsDlgButtonChecked(1023), 1);
        run.Press(2);
    });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
}

TEST_F(Dialogs, SaveFileDialogAnswersADevicePath) {
    ExpectModal([](ModalRun& run) {
        EXPECT_EQ(run.kind, ModalRun::Kind::FileDialog);
        EXPECT_TRUE(run.saving);
        EXPECT_EQ(run.caption, "名前を付けて保存");
        EXPECT_EQ(run.folder, "\\My Documents\\Quillo");
        EXPECT_EQ(run.fileName, "\\My Documents\\Quillo\\200901131530.bmp");
        EXPECT_EQ(run.filter, "bmpﾌｧｲﾙ(*.bmp) |*.bmp||");
        EXPECT_NE(run.flags & OFN_OVERWRITEPROMPT, 0u);
        run.AnswerPath("\\My Documents\\Quillo\\shopping");
    });
    CFileDialog dialog(false, "bmp", "\\My Documents\\Quillo\\200901131530.bmp",
                       OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST,
                       "bmpﾌｧｲﾙ(*.bmp) |*.bmp||");
    dialog.m_strTitle = "名前を付けて保存";
    dialog.m_strInitialFolder = "\\My Documents\\Quillo";
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.GetPathName(), "\\My Documents\\Quillo\\shopping.bmp")
        << "the default extension";

    ExpectModal([](ModalRun& run) { run.Answer(IDCANCEL); });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
}

TEST_F(Dialogs, HostChoicesMapToDevicePathsOnlyInsideTheRoot) {
    const std::string root = (m_device->Root()).string();
    EXPECT_EQ(DevicePathFromHost(root + "/My Documents/a.bmp"), "\\My Documents\\a.bmp");
    EXPECT_EQ(DevicePathFromHost(root + "/new.bmp"), "\\new.bmp");
    EXPECT_EQ(DevicePathFromHost(m_device->Directory().string() + "/registry.sqlite3"), "");
    EXPECT_EQ(DevicePathFromHost("/etc/passwd"), "");
    EXPECT_EQ(HostFolderOfDevicePath("\\My Documents\\Missing"), root + "/My Documents");
}

TEST_F(Dialogs, ColourDialogOffersTheCallersCustomColours) {
    COLORREF custom[16];
    for (int i = 0; i < 16; ++i) custom[i] = RGB(255, 255, 255);
    custom[3] = RGB(1, 2, 3);
    ExpectModal([](ModalRun& run) {
        EXPECT_EQ(run.kind, ModalRun::Kind::ColorDialog);
        EXPECT_EQ(run.color, RGB(0, 0, 255));
        ASSERT_EQ(run.customColors.size(), 16u);
        EXPECT_EQ(run.customColors[3], RGB(1, 2, 3));
        run.AnswerColor(RGB(200, 100, 50));
    });
    CColorDialog dialog(RGB(0, 0, 255), CC_RGBINIT | CC_FULLOPEN);
    dialog.m_cc.lpCustColors = custom;
    ASSERT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(dialog.GetColor(), RGB(200, 100, 50));
    ExpectModal([](ModalRun& run) { run.Answer(IDCANCEL); });
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
}

TEST_F(Dialogs, TheToolkitsOwnButtonsSpeakJapanese) {
    ASSERT_TRUE(InstallToolkitTranslation()) << "qt6-translations-l10n is missing";
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes").toStdString(), "はい(&Y)");
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&No").toStdString(), "いいえ(&N)");
}

TEST_F(Dialogs, ToolkitDialogsStayOnTheDeviceScreenOrStartAtItsTopLeft) {
    const QRect device(300, 200, 240, 320);
    const QRect owner(320, 260, 200, 100);
    const struct {
        QSize size;
        QPoint expected;
    } cases[] = {
        {{100, 50}, {370, 285}},   // centred over its owner
        {{100, 300}, {370, 200}},  // centred, then kept on the screen
        {{353, 182}, {300, 200}},  // wider than the screen: its top-left
        {{200, 405}, {300, 200}},  // taller
    };
    for (const auto& c : cases) {
        QWidget window;
        window.resize(c.size);
        PlaceInside(window, owner, device);
        EXPECT_EQ(window.pos(), c.expected) << c.size.width() << "x" << c.size.height();
    }
}
