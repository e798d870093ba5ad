// Pen and eraser widths, pen and background colours.
#include <QWidget>

#include "dialogs/ColorButton.h"
#include "dialogs/ColorSettingsDlg.h"
#include "dialogs/WidthDlg.h"
#include "memo/DefaultColorTable.h"
#include "platform/base/Format.h"
#include "platform/gdi/DC.h"
#include "platform/gdi/Surface.h"
#include "res/ResourceIds.h"
#include "support/HeldProfile.h"
#include "support/QuilloScenario.h"

namespace {

class Tools : public QuilloScenario {
  protected:
    int Stored(const char* name) { return app->GetProfileInt("Edit", name, -1); }
    // The ids of the width items that are checked, from `first` to `last`.
    std::vector<UINT> Checked(UINT first, UINT last) {
        std::vector<UINT> checked;
        for (UINT id = first; id <= last; ++id) {
            if (State(id).m_nCheck != 0) checked.push_back(id);
        }
        return checked;
    }
    // How many pixels of canvas row `y` are not white.
    int InkOnRow(int y) {
        const Surface* picture = doc->m_bitmap.GetBitmap()->GetSurface();
        int ink = 0;
        for (int x = 0; x < picture->Width(); ++x) {
            ink += picture->ToColor(picture->GetPixelValue(x, y)) != 0x00FFFFFF;
        }
        return ink;
    }
    // The colour dialog, answered with `color` (or cancelled with -1); what it offered.
    void AnswerColor(int64_t color, std::vector<uint32_t>* offered = nullptr) {
        ExpectModal([color, offered](ModalRun& run) {
            ASSERT_EQ(run.kind, ModalRun::Kind::ColorDialog);
            if (offered != nullptr) *offered = run.customColors;
            if (color < 0) {
                run.Answer(IDCANCEL);
            } else {
                run.AnswerColor(static_cast<uint32_t>(color));
            }
        });
    }
};

}  // namespace

TEST_F(Tools, WidthItemsStoreTheirWidthAndCheckOnlyThemselves) {
    ASSERT_TRUE(Start());
    SendCommand(frame, ID_PEN_WIDTH_1 + 6);
    EXPECT_EQ(view->m_nPenWidth, 7);
    EXPECT_EQ(view->m_penDraw.Width(), 7);
    EXPECT_EQ(Stored("PenWidth"), 7);
    EXPECT_EQ(Checked(ID_PEN_WIDTH_1, ID_PEN_WIDTH_10), std::vector<UINT>{ID_PEN_WIDTH_1 + 6});
    SendCommand(frame, ID_ERASER_WIDTH_5 + 4);
    EXPECT_EQ(Stored("EraserWidth"), 25);
    EXPECT_EQ(view->m_penErase.Width(), 25);
    EXPECT_EQ(Checked(ID_ERASER_WIDTH_5, ID_ERASER_WIDTH_40),
              std::vector<UINT>{ID_ERASER_WIDTH_5 + 4});
    EXPECT_EQ(view->m_nTool, CQuilloView::ToolPen) << "a width never switches the tool";
}

TEST_F(Tools, AWidthThatCannotBeStoredIsUsedAndSaid) {
    ASSERT_TRUE(Start());
    const HeldProfile held(m_device->Directory());
    ExpectMessage("設定を保存できませんでした。");
    SendCommand(frame, ID_PEN_WIDTH_1 + 6);
    ExpectAllModalsAnswered();
    EXPECT_EQ(view->m_nPenWidth, 7) << "it lasts until the program ends";
}

TEST_F(Tools, ACustomWidthIsUsedAtOnceChecksNothingAndIsNotKept) {
    ASSERT_TRUE(Start());
    const struct {
        const char* typed;
        bool accepted;
    } inputs[] = {{"0", false},  {"501", false}, {"x", false},
                  {"500", true}, {"1", true},    {"12", true}};
    for (const auto& input : inputs) {
        ExpectModal([&input](ModalRun& run) {
            EXPECT_EQ(run.caption, "ペン幅の設定");
            run.dialog->SetDlgItemText(IDC_WIDTH_EDIT, input.typed);
            run.Press(IDOK);
            EXPECT_EQ(run.IsOpen(), !input.accepted) << input.typed;
            if (run.IsOpen()) run.Press(IDCANCEL);
        });
        if (!input.accepted) {
            ExpectModal([&input](ModalRun& run) {
                EXPECT_EQ(run.text, "1 から 500 までの整数を入力してください。") << input.typed;
                run.Answer(IDOK);
            });
        }
        SendCommand(frame, ID_PEN_WIDTH_CUSTOM);
        ExpectAllModalsAnswered();
    }
    EXPECT_EQ(view->m_penDraw.Width(), 12);
    EXPECT_TRUE(Checked(ID_PEN_WIDTH_1, ID_PEN_WIDTH_10).empty());
    EXPECT_EQ(Stored("PenWidth"), -1) << "not written";

    ExpectModal([this](ModalRun& run) {
        EXPECT_EQ(run.caption, "消しゴム幅の設定");
        EXPECT_EQ(run.dialog->GetDlgItemText(IDC_WIDTH_EDIT), Format("%d", view->m_nEraserWidth));
        run.Press(IDCANCEL);
    });
    SendCommand(frame, ID_ERASER_WIDTH_CUSTOM);
    app.reset();
    ASSERT_TRUE(Start());
    EXPECT_EQ(view->m_nPenWidth, 5) << "the next start has the stored width";
}

TEST_F(Tools, ThePopUpUnderItsButtonListsTheCurrentToolsWidths) {
    ASSERT_TRUE(Start());
    for (const UINT tool : {ID_TOOL_PEN, ID_TOOL_ERASER}) {
        SendCommand(frame, tool);
        ExpectModal([this, tool](ModalRun& run) {
            ASSERT_EQ(run.kind, ModalRun::Kind::PopupMenu);
            const CRect button = frame->m_commandBar.GetButtonRect(ID_PEN_WIDTH_MENU);
            const CPoint corner =
                frame->m_commandBar.ClientToScreen(CPoint{button.left, button.bottom});
            EXPECT_EQ(run.point, (CPoint{corner.x, corner.y + 1}));
            ASSERT_FALSE(run.items.empty());
            EXPECT_EQ(run.items.front().id,
                      tool == ID_TOOL_PEN ? ID_PEN_WIDTH_1 : ID_ERASER_WIDTH_5);
            EXPECT_EQ(run.items.back().id, ID_COLOR_SETTINGS);
            run.Answer(0);
        });
        SendCommand(frame, ID_PEN_WIDTH_MENU);
    }
}

TEST_F(Tools, AWidthChangedWithTheEraserOnlyChangesLaterStrokes) {
    ASSERT_TRUE(Start());
    Stroke({{10, 40}, {200, 40}});
    SendCommand(frame, ID_TOOL_ERASER);
    SendCommand(frame, ID_ERASER_WIDTH_5);  // 5 pixels
    Stroke({{50, 40}, {60, 40}});
    SendCommand(frame, ID_ERASER_WIDTH_40);
    Stroke({{150, 40}, {160, 40}});
    SendCommand(frame, ID_TOOL_PEN);
    const Surface* picture = doc->m_bitmap.GetBitmap()->GetSurface();
    const auto inked = [picture](int x) {
        return picture->ToColor(picture->GetPixelValue(x, 40)) == 0;
    };
    // The pen's line is cut by the 5-pixel eraser at 50..60 and the 40-pixel one at 150..160.
    for (const int x : {45, 65, 125, 185}) EXPECT_TRUE(inked(x)) << x;
    for (const int x : {48, 55, 62, 135, 155, 175}) EXPECT_FALSE(inked(x)) << x;
}

TEST_F(Tools, TheColourDialogOffersTheProfilesCustomColoursFreshEachTime) {
    ASSERT_TRUE(Start());
    std::vector<uint32_t> offered;
    AnswerColor(-1, &offered);
    SendCommand(frame, ID_PEN_COLOR);
    EXPECT_EQ(offered, std::vector<uint32_t>(16, 0x00FFFFFF));

    EXPECT_TRUE(app->WriteProfileString("ColorDlg", "Custom3", "12abc"));
    EXPECT_TRUE(app->WriteProfileString("ColorDlg", "Custom4", "abc"));
    EXPECT_TRUE(app->WriteProfileString("ColorDlg", "Custom5", "255"));
    ExpectModal([&offered](ModalRun& run) {
        offered = run.customColors;
        run.customColors.assign(16, 0x00123456);  // edited in the dialog
        run.AnswerColor(0x000000FF);
    });
    SendCommand(frame, ID_PEN_COLOR);
    EXPECT_EQ(offered[3], 12u);
    EXPECT_EQ(offered[4], 0u);
    EXPECT_EQ(offered[5], 255u);
    EXPECT_EQ(view->m_penDraw.Color(), 0x000000FFu) << "the pen changes at once";
    EXPECT_EQ(Stored("PenColor"), 0xFF);
    EXPECT_EQ(Stored("BackColor"), -1) << "the background is untouched";
    AnswerColor(-1, &offered);
    SendCommand(frame, ID_PEN_COLOR);
    EXPECT_EQ(offered[0], 0x00FFFFFFu) << "edits of one run never reach the next";
    EXPECT_EQ(app->GetProfileString("ColorDlg", "Custom0", "none"), "none");
}

TEST_F(Tools, TheBackgroundWaitsForTheNextNewMemoAndOkRewritesBoth) {
    ASSERT_TRUE(Start());
    ExpectModal([](ModalRun& run) {
        ASSERT_EQ(run.caption, "色の設定");
        run.dialog->PressButton(IDC_COLOR_BACK);
        EXPECT_EQ(static_cast<CColorSettingsDlg*>(run.dialog)->m_backButton.m_crColor, 0x00FFFFFFu)
            << "cancelled: the button keeps its colour";
        run.dialog->PressButton(IDC_COLOR_BACK);
        run.Press(IDOK);
    });
    AnswerColor(-1);
    AnswerColor(0x0000FF00);
    SendCommand(frame, ID_COLOR_SETTINGS);
    EXPECT_EQ(Stored("BackColor"), 0x0000FF00);
    EXPECT_EQ(Stored("PenColor"), 0);
    EXPECT_EQ(view->m_penErase.Color(), 0x00FFFFFFu) << "the eraser keeps the old background";
    EXPECT_EQ(InkOnRow(100), 0) << "the open canvas keeps its background";
    SendCommand(frame, ID_EDIT_CLEAR);
    EXPECT_EQ(view->m_penErase.Color(), 0x0000FF00u);
    EXPECT_GT(InkOnRow(100), 0) << "a cleared memo has the new background";

    EXPECT_TRUE(app->WriteProfileInt("Edit", "PenColor", 77));
    ExpectModal([](ModalRun& run) { run.Press(IDOK); });
    SendCommand(frame, ID_COLOR_SETTINGS);
    EXPECT_EQ(Stored("PenColor"), 0) << "rewritten with the view's pen colour";
    EXPECT_EQ(Stored("BackColor"), 0x0000FF00);
}

TEST(ColorButton, DrawsBordersSeparatorArrowSwatchAndFocusDots) {
    // A 26 x 13 button with a red swatch: '#' black, '+' grey, 'o' white, 's' red, '.' face.
    const struct {
        UINT state;
        const char* picture;
    } cases[] = {
        {0,
         "..........................\n"
         ".oooooooooooooooooooooooo#\n"
         ".o......................+#\n"
         ".o......................+#\n"
         ".o...######....+o.......+#\n"
         ".o...#ssss#....+o.#####.+#\n"
         ".o...#ssss#....+o..###..+#\n"
         ".o...#ssss#....+o...#...+#\n"
         ".o...######....+o.......+#\n"
         ".o......................+#\n"
         ".o......................+#\n"
         ".++++++++++++++++++++++++#\n"
         "##########################\n"},
        {ODS_SELECTED,
         "+++++++++++++++++++++++++o\n"
         "+#######################.o\n"
         "+#.......................o\n"
         "+#.......................o\n"
         "+#.......................o\n"
         "+#....######....+o.......o\n"
         "+#....#ssss#....+o.#####.o\n"
         "+#....#ssss#....+o..###..o\n"
         "+#....#ssss#....+o...#...o\n"
         "+#....######....+o.......o\n"
         "+#.......................o\n"
         "+#.......................o\n"
         "+.oooooooooooooooooooooooo\n"},
        {ODS_FOCUS,
         "..........................\n"
         ".oooooooooooooooooooooooo#\n"
         ".o......................+#\n"
         ".o.#.#.#.#.#.#.#.#.#.##.+#\n"
         ".o...######....+o.......+#\n"
         ".o.#.#ssss#....+o.#####.+#\n"
         ".o...#ssss#....+o..###..+#\n"
         ".o.#.#ssss#....+o...#.#.+#\n"
         ".o...######....+o.......+#\n"
         ".o.#.#.#.#.#.#.#.#.#.#..+#\n"
         ".o......................+#\n"
         ".++++++++++++++++++++++++#\n"
         "##########################\n"},
    };
    auto surface = Surface::CreateTrueColor(26, 13);
    CDC dc;
    dc.AttachSurface(surface.get());
    CColorButton button;
    button.m_crColor = 0x000000FF;
    for (const auto& c : cases) {
        DRAWITEMSTRUCT item{IDC_COLOR_PEN, c.state, &dc, CRect{0, 0, 26, 13}};
        button.DrawItem(&item);
        std::string drawn;
        for (int y = 0; y < 13; ++y) {
            for (int x = 0; x < 26; ++x) {
                const COLORREF p = surface->ToColor(surface->GetPixelValue(x, y));
                drawn += p == 0            ? '#'
                         : p == 0x00808080 ? '+'
                         : p == 0x00FFFFFF ? 'o'
                         : p == 0x000000FF ? 's'
                                           : '.';
            }
            drawn += '\n';
        }
        EXPECT_EQ(drawn, c.picture) << "state " << c.state;
    }
}

namespace {

// The nearest of `table`'s colours, by squared distance, the first of equals.
template <typename Colors>
COLORREF NearestOf(const Colors& table, COLORREF color) {
    COLORREF best = 0;
    int bestDistance = INT32_MAX;
    for (const COLORREF candidate : table) {
        const int dr = GetRValue(candidate) - GetRValue(color);
        const int dg = GetGValue(candidate) - GetGValue(color);
        const int db = GetBValue(candidate) - GetBValue(color);
        if (dr * dr + dg * dg + db * db < bestDistance) {
            bestDistance = dr * dr + dg * dg + db * db;
            best = candidate;
        }
    }
    return best;
}

}  // namespace

TEST_F(Tools, ANewOrClearedMemoHasTheBackgroundAsTheWorkingCubeAndTheMemoTableGiveIt) {
    ASSERT_TRUE(Start());
    frame->GetWidget()->show();
    ProcessEvents();
    const COLORREF background = RGB(100, 30, 170);  // on neither table
    EXPECT_TRUE(app->WriteProfileInt("Edit", "BackColor", static_cast<int>(background)));
    // Filled on a 5 x 5 x 5 cube of the levels 255, 192, 128, 64, 0, then copied onto the
    // memo's own table.
    constexpr uint8_t kLevels[] = {255, 192, 128, 64, 0};
    std::vector<COLORREF> cube;
    for (const uint8_t r : kLevels)
        for (const uint8_t g : kLevels)
            for (const uint8_t b : kLevels) cube.push_back(RGB(r, g, b));
    std::vector<COLORREF> memoTable;
    for (const RGBQUAD& q : DefaultColorTable())
        memoTable.push_back(RGB(q.rgbRed, q.rgbGreen, q.rgbBlue));
    const COLORREF expected = NearestOf(memoTable, NearestOf(cube, background));
    ASSERT_NE(expected, background);
    const auto picture = [&](int x, int y) {
        const Surface* surface = doc->m_bitmap.GetBitmap()->GetSurface();
        return surface->ToColor(surface->GetPixelValue(x, y));
    };
    const auto screen = [&](int x, int y) {
        return view->GetSurface()->ToColor(view->GetSurface()->GetPixelValue(x, y));
    };
    SendCommand(frame, ID_FILE_NEW);
    EXPECT_EQ(picture(50, 100), expected);
    Stroke({{40, 100}, {60, 100}});
    SendCommand(frame, ID_EDIT_CLEAR);
    EXPECT_EQ(picture(50, 100), expected);
    ProcessEvents();  // the repaint the clear asked for
    EXPECT_EQ(screen(50, 100), expected) << "the stroke is gone from the screen too";
    SendCommand(frame, ID_RULED_LINES);
    ProcessEvents();
    EXPECT_EQ(screen(50, 0), 0x00E0E0E0u) << "ruled lines show without a repaint asked for";
    SendCommand(frame, ID_RULED_LINES);
    ProcessEvents();
    EXPECT_EQ(screen(50, 0), expected) << "and go again";
}
