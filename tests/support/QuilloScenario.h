#pragma once

#include <memory>
#include <string>

#include "app/MainFrame.h"
#include "app/QuilloApp.h"
#include "memo/QuilloDoc.h"
#include "platform/ui/CmdUI.h"
#include "support/Scenario.h"
#include "view/QuilloView.h"

// The whole program started in the test process: its application object, main frame,
// view and document, on a device of the test's own.
class QuilloScenario : public ScenarioTest {
  protected:
    void TearDown() override;

    // Runs start-up; false when it ended without a window.
    bool Start(std::vector<std::string> words = {});
    bool Start(const char* word) { return Start(std::vector<std::string>{word}); }
    // Writes a memo file of the given size into the save folder (host path).
    std::string WriteMemo(const std::string& name, int width = 40, int height = 30,
                          uint8_t color = 222);
    std::filesystem::path HostSaveFolder() const;
    // Sets a file's last-write time to the local time given.
    void Touch(const std::filesystem::path& path, int year, int month, int day, int hour,
               int minute, int second);

    // The state the update rules give command `id` now.
    CCmdUI State(UINT id);

    // A stroke through the given client points, as a mouse delivers it.
    void Stroke(std::initializer_list<CPoint> points);
    // Whether the memo's pixel at (x, y) is black.
    bool Inked(int x, int y) const;

    std::unique_ptr<CQuilloApp> app;
    CMainFrame* frame = nullptr;
    CQuilloView* view = nullptr;
    CQuilloDoc* doc = nullptr;
};
