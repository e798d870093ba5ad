#pragma once

#include <QDialog>
#include <QRect>
#include <string_view>

#include "platform/ui/Messages.h"

class QLabel;

// A message box that fits a small screen: never wider than the screen it must stay on, its
// text wrapped (inside long names too), opened over its owner and kept on that screen.
class MessageBoxWindow : public QDialog {
  public:
    MessageBoxWindow(QWidget* parent, const QString& caption, std::string_view text, UINT type);

    // Sizes the box for `screen` and places it centred over `owner`, inside `screen`.
    void Fit(const QRect& screen, const QRect& owner);
    // Shows it until a button is pressed: IDOK, IDYES or IDNO.
    int Run();

  private:
    void reject() override;

    QLabel* m_text;
    bool m_yesNo;
};
