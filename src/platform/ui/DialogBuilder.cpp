#include "DialogBuilder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScrollBar>

#include "platform/gdi/Font.h"
#include "platform/ui/ControlWidgets.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Resources.h"

namespace {

bool Has(const DialogControl& control, uint32_t style) {
    return (control.style & style) != 0;
}

void SendCommand(CDialog& dialog, UINT id, UINT code) {
    dialog.SendMessage(WM_COMMAND,
                       MAKEWPARAM(static_cast<uint16_t>(id), static_cast<uint16_t>(code)),
                       reinterpret_cast<LPARAM>(dialog.FindChild(id)));
}

UINT ScrollCode(int action) {
    switch (action) {
        case QAbstractSlider::SliderSingleStepAdd:
            return SB_LINEDOWN;
        case QAbstractSlider::SliderSingleStepSub:
            return SB_LINEUP;
        case QAbstractSlider::SliderPageStepAdd:
            return SB_PAGEDOWN;
        case QAbstractSlider::SliderPageStepSub:
            return SB_PAGEUP;
        case QAbstractSlider::SliderToMinimum:
            return SB_TOP;
        case QAbstractSlider::SliderToMaximum:
            return SB_BOTTOM;
        default:
            return SB_THUMBTRACK;
    }
}

QWidget* MakeScrollBar(CDialog& dialog, QWidget* parent, UINT id) {
    auto* bar = new QScrollBar(Qt::Vertical, parent);
    // As on the device, the bar only tells what the user did; the dialog moves the thumb.
    QObject::connect(bar, &QAbstractSlider::actionTriggered, bar, [&dialog, bar, id](int action) {
        const int proposed = bar->sliderPosition();
        bar->setSliderPosition(bar->value());
        dialog.SendMessage(
            WM_VSCROLL,
            MAKEWPARAM(static_cast<uint16_t>(ScrollCode(action)), static_cast<uint16_t>(proposed)),
            reinterpret_cast<LPARAM>(dialog.FindChild(id)));
    });
    QObject::connect(bar, &QAbstractSlider::sliderReleased, bar, [&dialog, bar, id] {
        dialog.SendMessage(
            WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, static_cast<uint16_t>(bar->sliderPosition())),
            reinterpret_cast<LPARAM>(dialog.FindChild(id)));
    });
    return bar;
}

QWidget* MakeTree(CDialog& dialog, QWidget* parent, UINT id, const DialogControl& control) {
    auto* tree = new TreeWidget(parent);
    tree->setRootIsDecorated(Has(control, ctl::kLinesAtRoot) || Has(control, ctl::kHasButtons));
    const auto expanding = [&dialog, tree, id](QTreeWidgetItem* item, UINT action) {
        if (tree->m_programmatic) return;
        NMTREEVIEW notice{{dialog.FindChild(id), id, TVN_ITEMEXPANDING}, action, item};
        dialog.SendMessage(WM_NOTIFY, id, reinterpret_cast<LPARAM>(&notice));
    };
    QObject::connect(tree, &QTreeWidget::itemExpanded, tree,
                     [expanding](QTreeWidgetItem* item) { expanding(item, TVE_EXPAND); });
    QObject::connect(tree, &QTreeWidget::itemCollapsed, tree,
                     [expanding, tree](QTreeWidgetItem* item) {
                         // A selection hidden by the collapse moves up to the collapsed item.
                         for (QTreeWidgetItem* above = tree->currentItem();
                              above != nullptr && !tree->m_programmatic; above = above->parent()) {
                             if (above->parent() == item) {
                                 tree->setCurrentItem(item);
                                 break;
                             }
                         }
                         expanding(item, TVE_COLLAPSE);
                     });
    QObject::connect(tree, &QTreeWidget::itemDoubleClicked, tree,
                     [&dialog, id](QTreeWidgetItem* item) {
                         NMTREEVIEW notice{{dialog.FindChild(id), id, NM_DBLCLK}, 0, item};
                         dialog.SendMessage(WM_NOTIFY, id, reinterpret_cast<LPARAM>(&notice));
                     });
    QObject::connect(tree, &QTreeWidget::currentItemChanged, tree,
                     [&dialog, id](QTreeWidgetItem* item) {
                         NMTREEVIEW notice{{dialog.FindChild(id), id, TVN_SELCHANGED}, 0, item};
                         dialog.SendMessage(WM_NOTIFY, id, reinterpret_cast<LPARAM>(&notice));
                     });
    return tree;
}

QWidget* MakeListView(CDialog& dialog, QWidget* parent, UINT id) {
    auto* list = new QTreeWidget(parent);
    list->setRootIsDecorated(false);
    list->setItemsExpandable(false);
    list->setUniformRowHeights(true);
    list->setAllColumnsShowFocus(true);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setColumnCount(0);
    const auto notify = [&dialog, id](UINT code) {
        NMHDR notice{dialog.FindChild(id), id, code};
        dialog.SendMessage(WM_NOTIFY, id, reinterpret_cast<LPARAM>(&notice));
    };
    QObject::connect(list, &QTreeWidget::itemSelectionChanged, list,
                     [notify] { notify(LVN_ITEMCHANGED); });
    QObject::connect(list, &QTreeWidget::itemDoubleClicked, list, [notify] { notify(NM_DBLCLK); });
    return list;
}

QWidget* MakeControl(CDialog& dialog, QWidget* parent, const DialogControl& control) {
    const UINT id = control.id;
    const QString text = QString::fromStdString(control.text);
    switch (control.kind) {
        case ControlKind::Label: {
            auto* label = new QLabel(WithoutMnemonics(control.text), parent);
            label->setWordWrap(true);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            return label;
        }
        case ControlKind::GroupBox:
            return new QGroupBox(WithoutMnemonics(control.text), parent);
        case ControlKind::Edit: {
            auto* edit = new QLineEdit(text, parent);
            if (Has(control, ctl::kNumber)) {
                edit->setValidator(
                    new QRegularExpressionValidator(QRegularExpression("[0-9]*"), edit));
            }
            if (Has(control, ctl::kRight)) edit->setAlignment(Qt::AlignRight);
            edit->setReadOnly(Has(control, ctl::kReadOnly));
            edit->setFrame(Has(control, ctl::kBorder) || !Has(control, ctl::kReadOnly));
            QObject::connect(edit, &QLineEdit::textChanged, edit,
                             [&dialog, id] { SendCommand(dialog, id, EN_CHANGE); });
            return edit;
        }
        case ControlKind::PushButton:
        case ControlKind::DefPushButton: {
            auto* button = new QPushButton(text, parent);
            button->setAutoDefault(false);
            button->setDefault(control.kind == ControlKind::DefPushButton);
            QObject::connect(button, &QPushButton::clicked, button,
                             [&dialog, id] { dialog.PressButton(static_cast<int>(id)); });
            return button;
        }
        case ControlKind::OwnerDrawButton: {
            auto* button = new OwnerDrawWidget(parent);
            QObject::connect(button, &QPushButton::clicked, button,
                             [&dialog, id] { dialog.PressButton(static_cast<int>(id)); });
            return button;
        }
        case ControlKind::CheckBox: {
            auto* box = new QCheckBox(text, parent);
            QObject::connect(box, &QCheckBox::clicked, box,
                             [&dialog, id] { SendCommand(dialog, id, BN_CLICKED); });
            return box;
        }
        case ControlKind::DropDownList: {
            auto* list = new QComboBox(parent);
            QObject::connect(list, &QComboBox::currentIndexChanged, list,
                             [&dialog, id] { SendCommand(dialog, id, CBN_SELCHANGE); });
            return list;
        }
        case ControlKind::Spin:
            return new SpinWidget(parent);
        case ControlKind::VScrollBar:
            return MakeScrollBar(dialog, parent, id);
        case ControlKind::TreeView:
            return MakeTree(dialog, parent, id, control);
        case ControlKind::ListView:
            return MakeListView(dialog, parent, id);
        case ControlKind::Frame: {
            auto* frame = new QFrame(parent);
            frame->setFrameShape(QFrame::Box);
            return frame;
        }
    }
    return new QWidget(parent);
}

// Up-down controls sit at their buddy's right edge and take that much of its width.
void BindSpin(SpinWidget* spin, QWidget* previous, const DialogControl& control) {
    auto* buddy = qobject_cast<QLineEdit*>(previous);
    if (buddy == nullptr || !Has(control, ctl::kAutoBuddy)) return;
    spin->SetBuddy(buddy, Has(control, ctl::kSetBuddyInt), Has(control, ctl::kArrowKeys));
    const QRect box = buddy->geometry();
    const int width = spin->width();
    buddy->setGeometry(box.x(), box.y(), std::max(1, box.width() - width), box.height());
    spin->setGeometry(box.right() + 1 - width, box.y(), width, box.height());
}

// The typed window that answers for a control of this kind.
std::unique_ptr<CWnd> TypedWindow(ControlKind kind) {
    switch (kind) {
        case ControlKind::Edit:
            return std::make_unique<CEdit>();
        case ControlKind::PushButton:
        case ControlKind::DefPushButton:
        case ControlKind::CheckBox:
        case ControlKind::OwnerDrawButton:
            return std::make_unique<CButton>();
        case ControlKind::DropDownList:
            return std::make_unique<CComboBox>();
        case ControlKind::Spin:
            return std::make_unique<CSpinButtonCtrl>();
        case ControlKind::VScrollBar:
            return std::make_unique<CScrollBar>();
        case ControlKind::TreeView:
            return std::make_unique<CTreeCtrl>();
        case ControlKind::ListView:
            return std::make_unique<CListCtrl>();
        default:
            return std::make_unique<CWnd>();
    }
}

}  // namespace

QFont DialogFont(const DialogTemplate& dialog) {
    // The device's dialogs default to its proportional Gothic face.
    const std::string family =
        FontFamilyFor(dialog.fontFace.empty() ? "ＭＳ Ｐゴシック" : dialog.fontFace);
    QFont font(QString::fromStdString(family));
    font.setPointSize(dialog.fontPoints > 0 ? dialog.fontPoints : 9);
    return font;
}

CRect DialogUnitsToPixels(const QFont& font, int x, int y, int width, int height) {
    const QFontMetrics metrics(font);
    const QString alphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    const int baseX = (metrics.horizontalAdvance(alphabet) / 26 + 1) / 2;
    const int baseY = metrics.height();
    const auto toX = [baseX](int units) { return units * baseX / 4; };
    const auto toY = [baseY](int units) { return units * baseY / 8; };
    return {toX(x), toY(y), toX(x + width), toY(y + height)};
}

void BuildDialog(CDialog& dialog, const DialogTemplate& dialogTemplate) {
    QWidget* window = dialog.GetWidget();
    const QFont font = DialogFont(dialogTemplate);
    window->setFont(font);
    window->setWindowTitle(QString::fromStdString(dialogTemplate.caption));
    const CRect size = DialogUnitsToPixels(font, 0, 0, dialogTemplate.width, dialogTemplate.height);
    QWidget* previous = nullptr;
    for (const DialogControl& control : dialogTemplate.controls) {
        QWidget* widget = MakeControl(dialog, window, control);
        widget->setFont(font);
        const CRect r =
            DialogUnitsToPixels(font, control.x, control.y, control.width, control.height);
        int height = r.Height();
        // A drop-down list's template height includes its open list.
        if (control.kind == ControlKind::DropDownList)
            height = std::min(height, widget->sizeHint().height());
        widget->setGeometry(r.left, r.top, r.Width(), height);
        if (control.kind == ControlKind::Spin)
            BindSpin(static_cast<SpinWidget*>(widget), previous, control);
        widget->setVisible(!Has(control, ctl::kHidden));
        widget->setEnabled(!Has(control, ctl::kDisabled));
        dialog.AddControl(TypedWindow(control.kind), widget, control.id);
        previous = widget;
    }
    int height = size.Height();
    if (dialogTemplate.okInCaption) {
        // The caption's OK: a button the framework adds below the template's controls.
        auto* ok = new QPushButton(QStringLiteral("OK"), window);
        ok->setFont(font);
        ok->setObjectName(QStringLiteral("captionOk"));
        const int width = std::max(60, ok->sizeHint().width());
        ok->setGeometry(size.Width() - width - 4, height + 2, width, kCaptionOkStrip - 4);
        QObject::connect(ok, &QPushButton::clicked, ok, [&dialog] { dialog.PressButton(IDOK); });
        height += kCaptionOkStrip;
    }
    window->setFixedSize(size.Width(), height);
}
