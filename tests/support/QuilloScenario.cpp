#include "support/QuilloScenario.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <ctime>

#include "memo/DefaultColorTable.h"
#include "platform/ui/Wnd.h"

void QuilloScenario::TearDown() {
    app.reset();
    ScenarioTest::TearDown();
}

CCmdUI QuilloScenario::State(UINT id) {
    CCmdUI ui(id);
    ui.DoUpdate(frame);
    return ui;
}

bool QuilloScenario::Inked(int x, int y) const {
    const Surface* picture = doc->m_bitmap.GetBitmap()->GetSurface();
    return picture->ToColor(picture->GetPixelValue(x, y)) == 0;
}

bool QuilloScenario::Start(std::vector<std::string> words) {
    app = std::make_unique<CQuilloApp>();
    app->SetCommandLine(std::move(words));
    if (!app->InitInstance()) return false;
    frame = static_cast<CMainFrame*>(app->m_pMainWnd);
    view = static_cast<CQuilloView*>(frame->GetActiveView());
    doc = view->GetDocument();
    SetActiveWindowTracked(frame);
    return true;
}

std::filesystem::path QuilloScenario::HostSaveFolder() const {
    return m_device->Host("My Documents/Quillo");
}

std::string QuilloScenario::WriteMemo(const std::string& name, int width, int height,
                                      uint8_t color) {
    std::filesystem::create_directories(HostSaveFolder());
    BITMAPINFO info{};
    info.bmiHeader = {40, width, height, 1, 8, BI_RGB, 0, 0, 0, 0, 0};
    std::copy(DefaultColorTable().begin(), DefaultColorTable().end(), info.bmiColors);
    const size_t stride = (static_cast<size_t>(width) + 3) & ~size_t{3};
    std::vector<uint8_t> pixels(stride * static_cast<size_t>(height), color);
    CMemoBitmap memo;
    if (!memo.CreateFromDib(&info, pixels)) ADD_FAILURE() << "no memo of " << width << "x" << height;
    const std::string path = "\\My Documents\\Quillo\\" + name;
    EXPECT_TRUE(memo.SaveFile(path));
    return path;
}

void QuilloScenario::Touch(const std::filesystem::path& path, int year, int month, int day,
                           int hour, int minute, int second) {
    std::tm local{};
    local.tm_year = year - 1900;
    local.tm_mon = month - 1;
    local.tm_mday = day;
    local.tm_hour = hour;
    local.tm_min = minute;
    local.tm_sec = second;
    local.tm_isdst = -1;
    const timespec when{std::mktime(&local), 0};
    const timespec times[2] = {when, when};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

void QuilloScenario::Stroke(std::initializer_list<CPoint> points) {
    bool first = true;
    size_t left = points.size();
    for (const CPoint point : points) {
        const CPoint screen = view->ClientToScreen(point);
        const UINT message = first ? WM_LBUTTONDOWN : (--left == 0 ? WM_LBUTTONUP : WM_MOUSEMOVE);
        if (first) --left;
        Pen(view, message, point, {screen});
        first = false;
    }
    if (points.size() == 1) Pen(view, WM_LBUTTONUP, *points.begin(), {});
}
