#pragma once

class QObject;
class QWidget;

// Which of the program's windows take input while dialogs, message boxes and alarm notices
// wait for an answer, whether they were shown with the keyboard or without it: the topmost
// waiting window and every window opened from it (its dialogs, questions, menus, at any
// depth) take input; the windows it waits over take none, and no key reaches them as a
// command. There is always a window that takes input: the topmost one on the screen.

// Marks `window` as waiting for an answer for the scope's lifetime; null marks nothing (a
// run that a test's handler answers without a window).
class WaitingWindowScope {
  public:
    explicit WaitingWindowScope(QWidget* window);
    ~WaitingWindowScope();
    WaitingWindowScope(const WaitingWindowScope&) = delete;
    WaitingWindowScope& operator=(const WaitingWindowScope&) = delete;

  private:
    QWidget* m_window;
};

// The waiting window that takes input now: the newest one on the screen; null when none
// waits.
QWidget* TopWaitingWindow();

// Whether input may reach the top-level `window` now.
bool TakesInput(const QWidget* window);

// The parent for a new window of `owner` (null: none): the topmost waiting window when one
// waits, so that it opens over that window, the toolkit's modality never blocks it, and it
// counts as opened from it.
QWidget* ParentForNewWindow(QWidget* owner);

// Keys typed for another program must not answer `window` (a notice that a compositor gave
// the keyboard while the user typed elsewhere): once it has the keyboard, keys reach it only
// after a second has passed with no key at all, or after a click into it.
void HoldKeysUntilQuiet(QWidget* window);

// Raises the topmost waiting window and gives it the keyboard.
void ActivateTopWaitingWindow();

// The top-level widget shown in a toolkit window; null for none.
QWidget* WidgetOfWindow(const QObject* window);

// Puts the rule into the toolkit's delivery of input: input to a window that takes none is
// dropped, and a window that takes none hands the keyboard on to the topmost waiting one
// when it gets it (a click on it, switching to it).
void InstallInputHold();
