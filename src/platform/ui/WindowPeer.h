#pragma once

// The toolkit side of a window. Only platform/ui includes this.

#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <map>
#include <memory>
#include <vector>

#include "platform/gdi/Surface.h"
#include "platform/ui/Stylus.h"
#include "platform/ui/Wnd.h"

// A widget made for a window; when the window lets go of it, it stops reaching the window.
class OwnedWidget {
  public:
    virtual ~OwnedWidget() = default;
    virtual void Detach() = 0;
};

// The widget of a self-painting window: it shows the window's backing surface and turns
// toolkit events into the window's messages.
class WndWidget : public QWidget, public OwnedWidget {
  public:
    WndWidget(CWnd* owner, QWidget* parent);
    void Detach() override { m_owner = nullptr; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void tabletEvent(QTabletEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void Pen(UINT message, QPointF local, QPointF global, int ratio, StylusPointer pointer,
             uint16_t pressure);
    void MousePen(UINT message, QMouseEvent* event);

    CWnd* m_owner;
};

class WindowPeer {
  public:
    QPointer<QWidget> widget;
    bool selfPainting = false;
    bool ownsWidget = false;  // made by Create, not taken over by Attach
    std::unique_ptr<Surface> surface;
    CRect invalid;
    bool erase = false;
    CRect painting;  // the part a paint in progress may touch
    std::map<UINT, std::unique_ptr<QTimer>> timers;
    std::vector<CWnd*> children;  // windows made or taken over with this one as parent

    void ResizeSurface(int width, int height);
    // Lets go of the widget: a window's own widget goes away with it, a taken-over one stays.
    void ReleaseWidget(CWnd* owner);
};

// A window that goes is no longer the active window nor the one that has the capture.
void ForgetTrackedWindow(CWnd* window);

inline QRect ToQRect(const CRect& r) {
    return QRect(r.left, r.top, r.Width(), r.Height());
}

// The window's virtual key for a toolkit key, or 0.
UINT VirtualKeyFromQt(int key);
