#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gdi/Geometry.h"
#include "platform/ui/InputHold.h"
#include "platform/ui/Messages.h"

class CDialog;
class CWnd;

// One item of a pop-up menu as it was about to be shown: its update rule already asked.
struct MenuItemState {
    UINT id;
    std::string text;
    bool enabled;
    bool checked;
    int depth;  // 0 for the pop-up's own items, 1 for those of its sub-menus, ...
};

// A modal run in progress: a dialog after its initialisation, a message box, or a pop-up
// menu. A handler installed with SetModalHandler receives every run instead of the
// screen, and ends it by pressing a button or giving an answer.
class ModalRun {
  public:
    enum class Kind { Dialog, MessageBox, PopupMenu, FileDialog, ColorDialog };

    Kind kind;
    CDialog* dialog = nullptr;           // Dialog
    std::string text;                    // MessageBox
    std::string caption;                 // MessageBox and Dialog
    UINT type = 0;                       // MessageBox: MB_ flags
    CRect window;                        // MessageBox: where it lies on the screen
    std::vector<MenuItemState> items;    // PopupMenu
    CPoint point;                        // PopupMenu: where it opens
    UINT flags = 0;                      // PopupMenu: TPM_ flags; FileDialog: OFN_ flags
    bool saving = false;                 // FileDialog: a save dialog rather than an open one
    std::string folder;                  // FileDialog: the initial folder, a device path
    std::string fileName;                // FileDialog: the initial file name
    std::string defaultExtension;        // FileDialog
    std::string filter;                  // FileDialog: "name|pattern||"
    uint32_t color = 0;                  // ColorDialog: the initial colour reference
    std::vector<uint32_t> customColors;  // ColorDialog: the sixteen custom colours

    // Dialogs: presses IDOK, IDCANCEL or a button control by id; OK runs the dialog's
    // validation and may leave it open.
    void Press(int id);
    // Message boxes: the button pressed; pop-up menus: the chosen command, 0 for none;
    // file dialogs: IDCANCEL.
    void Answer(int result);
    // File dialogs: the device path chosen.
    void AnswerPath(std::string_view devicePath);
    const std::string& AnsweredPath() const { return m_path; }
    // Colour dialogs: the colour chosen.
    void AnswerColor(uint32_t color);
    uint32_t AnsweredColor() const { return m_color; }
    bool IsOpen() const;
    int Result() const { return m_result; }
    bool Answered() const { return m_answered; }

    // Lets timers and other events run while the handler waits, until `done` or a safety
    // limit of events; true when `done` came.
    static bool ProcessEventsUntil(const std::function<bool()>& done);

  private:
    int m_result = 0;
    bool m_answered = false;
    std::string m_path;
    uint32_t m_color = 0;
};

using ModalHandler = std::function<void(ModalRun&)>;

// Marks a modal run in progress for its lifetime: a dialog of ours, a message box, or the
// toolkit's file or colour dialog. Its window waits for the answer and takes the program's
// input meanwhile (null while a test's handler answers a run that shows none).
class ModalRunScope {
  public:
    explicit ModalRunScope(QWidget* window);
    ~ModalRunScope();
    ModalRunScope(const ModalRunScope&) = delete;
    ModalRunScope& operator=(const ModalRunScope&) = delete;

  private:
    WaitingWindowScope m_waiting;
};
bool IsModalRunActive();

// With a handler, modal runs go to it and never show; without one they show on screen.
void SetModalHandler(ModalHandler handler);
bool HasModalHandler();
// Called with a run that the handler returned from without answering; the run is then
// ended with cancel, "no" or no command.
void SetUnansweredModalReporter(std::function<void(const ModalRun&)> reporter);
// Platform use: hands a run to the handler and reports it when left unanswered.
void HandleModalRun(ModalRun& run);

// A message box with the program's name as its caption when `caption` is empty.
int RunMessageBox(CWnd* owner, std::string_view text, std::string_view caption, UINT type);
int AfxMessageBox(std::string_view text, UINT type = MB_OK);
