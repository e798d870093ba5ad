#pragma once

// The toolkit widgets behind the controls of dialog templates; only platform/ui includes
// this.

#include <QIcon>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTreeWidget>
#include <QWidget>

#include "platform/ui/Resources.h"

// The up-down arrows: a position within a range, written into its buddy edit as an integer.
class SpinWidget : public QWidget {
  public:
    explicit SpinWidget(QWidget* parent);
    void SetBuddy(QLineEdit* buddy, bool writesInteger, bool arrowKeys);
    QLineEdit* Buddy() const { return qobject_cast<QLineEdit*>(m_buddy.data()); }
    void SetRange(int lower, int upper);
    int Lower() const { return m_lower; }
    int Upper() const { return m_upper; }
    int Position() const;
    void SetPosition(int position);
    // One step up (+1) or down (-1), as a click on an arrow.
    void Step(int direction);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    int m_lower = 0;
    int m_upper = 100;
    int m_position = 0;
    bool m_writesInteger = false;
    // Held as a plain widget: the filter still sees it while it is being destroyed.
    QPointer<QWidget> m_buddy;
};

// A push button that its window paints through DrawItem.
class OwnerDrawWidget : public QPushButton {
  public:
    using QPushButton::QPushButton;

  protected:
    void paintEvent(QPaintEvent* event) override;
};

// A tree that tells programmatic expansion apart from the user's.
class TreeWidget : public QTreeWidget {
  public:
    explicit TreeWidget(QWidget* parent);
    bool m_programmatic = false;
};

// A label's text without its mnemonic marks ("&W" shows as "W", "&&" as "&").
QString WithoutMnemonics(const std::string& text);
