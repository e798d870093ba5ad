#include "CommandBar.h"

#include <QHBoxLayout>
#include <QImage>
#include <QMenuBar>
#include <QPixmap>
#include <QTimer>
#include <QToolButton>

#include "platform/ui/CmdUI.h"
#include "platform/ui/ControlWidgets.h"
#include "platform/ui/SurfacePainting.h"
#include "platform/ui/MenuBuilder.h"
#include "platform/ui/Resources.h"
#include "platform/ui/View.h"

namespace {

constexpr int kBarHeight = 26;
// Narrow buttons, as on the device: a 240-pixel bar holds the menu and eight of them.
constexpr int kButtonWidth = 21;
constexpr int kButtonHeight = 24;
const char* const kCommandProperty = "quillo.command";

QHBoxLayout* LayoutOf(QWidget* bar) {
    return static_cast<QHBoxLayout*>(bar->layout());
}

QToolButton* FindButton(QWidget* bar, UINT id) {
    if (bar == nullptr) return nullptr;
    for (QToolButton* button : bar->findChildren<QToolButton*>()) {
        if (button->property(kCommandProperty).toUInt() == id) return button;
    }
    return nullptr;
}

// A button's tip: its command's description, before the line break.
QString ResourceTip(UINT command) {
    const std::string text = LoadResourceString(command);
    return QString::fromStdString(text.substr(0, text.find('\n')));
}

}  // namespace

bool CCommandBar::Create(CFrameWnd* parent, UINT id) {
    if (parent == nullptr || !parent->IsWindow()) return false;
    m_pFrame = parent;
    auto* bar = new QWidget(parent->GetWidget());
    auto* layout = new QHBoxLayout(bar);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addStretch(1);
    bar->setFixedHeight(kBarHeight);
    Attach(bar, parent, id);
    bar->show();
    parent->AddControlBar(this);
    return true;
}

int CCommandBar::BarHeight() const {
    return kBarHeight;
}

bool CCommandBar::InsertMenubar(UINT menuId) {
    const MenuResource* resource = FindMenuResource(menuId);
    if (resource == nullptr || !IsWindow()) return false;
    auto* menuBar = new QMenuBar(GetWidget());
    menuBar->setNativeMenuBar(false);
    menuBar->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    for (const MenuItemResource& item : resource->items) {
        QMenu* menu = menuBar->addMenu(QString::fromStdString(item.text));
        FillMenu(menu, item.popup, m_pFrame);
        // Chosen or dismissed, the keys go back to the view once the menu is gone.
        QObject::connect(menu, &QMenu::aboutToHide, menuBar, [this] {
            QTimer::singleShot(0, GetWidget(), [this] { GiveFocusToView(); });
        });
    }
    menuBar->setFocusPolicy(Qt::NoFocus);
    QObject::connect(menuBar, &QMenuBar::triggered, menuBar, [this](QAction* action) {
        if (const UINT command = CommandOfAction(action))
            m_pFrame->SendMessage(WM_COMMAND, command);
        GiveFocusToView();
    });
    QHBoxLayout* layout = LayoutOf(GetWidget());
    layout->insertWidget(layout->count() - 1, menuBar);
    return true;
}

void CCommandBar::GiveFocusToView() {
    if (m_pFrame == nullptr || !m_pFrame->IsWindow()) return;
    if (CView* view = m_pFrame->GetActiveView(); view != nullptr && view->IsWindow()) {
        view->SetFocus();
    }
}

bool CCommandBar::InsertSeparator(int width) {
    if (!IsWindow() || width < 0) return false;
    QHBoxLayout* layout = LayoutOf(GetWidget());
    layout->insertSpacing(layout->count() - 1, width);
    return true;
}

bool CCommandBar::LoadToolBar(UINT id) {
    const ToolBarResource* toolBar = FindToolBarResource(id);
    const BitmapResource* bitmap =
        toolBar != nullptr ? FindBitmapResource(toolBar->bitmapId) : nullptr;
    if (bitmap == nullptr || !IsWindow()) return false;
    QHBoxLayout* layout = LayoutOf(GetWidget());
    int image = 0;
    for (const UINT command : toolBar->buttons) {
        if (command == 0) {
            layout->insertSpacing(layout->count() - 1, 6);
            continue;
        }
        auto* button = new QToolButton(GetWidget());
        button->setProperty(kCommandProperty, command);
        button->setIcon(ResourceImage(*bitmap, image++));
        button->setIconSize(QSize(kToolBarImageSize, kToolBarImageSize));
        button->setFixedSize(kButtonWidth, kButtonHeight);
        button->setAutoRaise(true);
        button->setToolTip(ResourceTip(command));
        // The keys belong to the view: a button never keeps the focus.
        button->setFocusPolicy(Qt::NoFocus);
        QObject::connect(button, &QToolButton::clicked, button, [this, command] {
            m_pFrame->SendMessage(WM_COMMAND, command);
            GiveFocusToView();
        });
        layout->insertWidget(layout->count() - 1, button);
    }
    return true;
}

bool CCommandBar::AddAdornments(UINT) {
    if (!IsWindow()) return false;
    auto* close = new QToolButton(GetWidget());
    close->setText(QStringLiteral("×"));
    close->setFixedSize(kButtonWidth, kButtonHeight);
    close->setAutoRaise(true);
    close->setObjectName(QStringLiteral("close"));
    QObject::connect(close, &QToolButton::clicked, close,
                     [this] { m_pFrame->SendMessage(WM_CLOSE); });
    LayoutOf(GetWidget())->addWidget(close);
    return true;
}

CRect CCommandBar::GetButtonRect(UINT id) const {
    const QToolButton* button = FindButton(GetWidget(), id);
    if (button == nullptr) return {};
    GetWidget()->layout()->activate();
    const QRect r = button->geometry();
    return {r.left(), r.top(), r.left() + r.width(), r.top() + r.height()};
}

std::vector<UINT> CCommandBar::GetButtonCommands() const {
    std::vector<UINT> commands;
    if (!IsWindow()) return commands;
    QLayout* layout = GetWidget()->layout();
    for (int i = 0; i < layout->count(); ++i) {
        const QWidget* widget = layout->itemAt(i)->widget();
        if (widget != nullptr && widget->property(kCommandProperty).isValid()) {
            commands.push_back(widget->property(kCommandProperty).toUInt());
        }
    }
    return commands;
}

bool CCommandBar::IsButtonEnabled(UINT id) const {
    const QToolButton* button = FindButton(GetWidget(), id);
    return button != nullptr && button->isEnabled();
}

bool CCommandBar::IsButtonChecked(UINT id) const {
    const QToolButton* button = FindButton(GetWidget(), id);
    return button != nullptr && button->isChecked();
}

void CCommandBar::UpdateCmdUI(CCmdTarget* target) {
    for (const UINT command : GetButtonCommands()) {
        QToolButton* button = FindButton(GetWidget(), command);
        CCmdUI ui(command);
        ui.DoUpdate(target);
        button->setEnabled(ui.m_bEnabled);
        // Unchecked while still checkable: a button made uncheckable first keeps showing
        // pressed until the pointer passes over it.
        const bool checked = ui.m_nCheck != 0;
        if (checked) button->setCheckable(true);
        button->setChecked(checked);
        button->setCheckable(checked);
        button->setToolTip(ui.m_strText.empty() ? ResourceTip(command)
                                                : QString::fromStdString(ui.m_strText));
    }
}
