#include "Controls.h"

#include <QApplication>
#include <QCalendarWidget>
#include <QLocale>
#include <QCheckBox>
#include <QComboBox>
#include <QScrollBar>

#include "platform/base/Text.h"
#include "platform/ui/ControlWidgets.h"
#include "platform/ui/SurfacePainting.h"
#include "platform/ui/WindowPeer.h"

namespace {

template <typename W>
W* As(const CWnd* window) {
    return qobject_cast<W*>(window->GetWidget());
}

QTreeWidgetItem* Item(HTREEITEM item) {
    return static_cast<QTreeWidgetItem*>(item);
}

}  // namespace

int CButton::GetCheck() const {
    const auto* button = As<QAbstractButton>(this);
    return button != nullptr && button->isChecked() ? 1 : 0;
}

void CButton::SetCheck(int check) {
    if (auto* button = As<QAbstractButton>(this)) button->setChecked(check != 0);
}

int CComboBox::AddString(std::string_view text) {
    auto* box = As<QComboBox>(this);
    if (box == nullptr) return -1;
    box->addItem(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
    return box->count() - 1;
}

void CComboBox::ResetContent() {
    if (auto* box = As<QComboBox>(this)) box->clear();
}

int CComboBox::GetCount() const {
    const auto* box = As<QComboBox>(this);
    return box != nullptr ? box->count() : 0;
}

int CComboBox::GetCurSel() const {
    const auto* box = As<QComboBox>(this);
    return box != nullptr ? box->currentIndex() : -1;
}

int CComboBox::SetCurSel(int index) {
    auto* box = As<QComboBox>(this);
    if (box == nullptr || index >= box->count()) return -1;
    box->setCurrentIndex(index < 0 ? -1 : index);
    return box->currentIndex();
}

std::string CComboBox::GetLBText(int index) const {
    const auto* box = As<QComboBox>(this);
    return box != nullptr && index >= 0 && index < box->count() ? box->itemText(index).toStdString()
                                                                : std::string();
}

int CComboBox::FindStringExact(int start, std::string_view text) const {
    const int count = GetCount();
    for (int i = 0; i < count; ++i) {
        const int index = (start + 1 + i) % count;
        if (EqualNoCase(GetLBText(index), text)) return index;
    }
    return -1;
}

void CSpinButtonCtrl::SetRange(int lower, int upper) {
    if (auto* spin = dynamic_cast<SpinWidget*>(GetWidget())) spin->SetRange(lower, upper);
}

int CSpinButtonCtrl::SetPos(int position) {
    auto* spin = dynamic_cast<SpinWidget*>(GetWidget());
    if (spin == nullptr) return 0;
    const int old = spin->Position();
    spin->SetPosition(position);
    return old;
}

int CSpinButtonCtrl::GetPos() const {
    const auto* spin = dynamic_cast<const SpinWidget*>(GetWidget());
    return spin != nullptr ? spin->Position() : 0;
}

void CScrollBar::SetScrollRange(int minimum, int maximum, bool) {
    if (auto* bar = As<QScrollBar>(this)) bar->setRange(minimum, maximum);
}

int CScrollBar::SetScrollPos(int position, bool) {
    auto* bar = As<QScrollBar>(this);
    if (bar == nullptr) return 0;
    const int old = bar->value();
    const QSignalBlocker quiet(bar);
    bar->setValue(position);
    return old;
}

void CScrollBar::SetScrollPage(int positions) {
    if (auto* bar = As<QScrollBar>(this)) bar->setPageStep(std::max(1, positions));
}

int CScrollBar::GetScrollPos() const {
    const auto* bar = As<QScrollBar>(this);
    return bar != nullptr ? bar->value() : 0;
}

bool CImageList::Create(UINT bitmapId, int width) {
    const BitmapResource* bitmap = FindBitmapResource(bitmapId);
    if (bitmap == nullptr || width <= 0) return false;
    m_nBitmap = bitmapId;
    m_nWidth = width;
    m_nCount = bitmap->width / width;
    return true;
}

namespace {

const char* const kImageListProperty = "quillo.imagelist";

void SetItemImage(QTreeWidget* tree, QTreeWidgetItem* item, int image) {
    const auto* images =
        static_cast<const CImageList*>(tree->property(kImageListProperty).value<void*>());
    const BitmapResource* bitmap =
        images != nullptr ? FindBitmapResource(images->GetBitmapId()) : nullptr;
    if (bitmap != nullptr && image >= 0 && image < images->GetImageCount()) {
        item->setIcon(0, ResourceImage(*bitmap, image, images->GetImageWidth()));
    }
}

}  // namespace

void CTreeCtrl::SetImageList(const CImageList* images) {
    if (auto* tree = As<QTreeWidget>(this)) {
        tree->setProperty(kImageListProperty,
                          QVariant::fromValue<void*>(const_cast<CImageList*>(images)));
    }
}

HTREEITEM CTreeCtrl::InsertItem(std::string_view text, int image, int, HTREEITEM parent) {
    auto* tree = As<QTreeWidget>(this);
    if (tree == nullptr) return nullptr;
    const QStringList columns{QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()))};
    auto* item = parent == TVI_ROOT ? new QTreeWidgetItem(tree, columns)
                                    : new QTreeWidgetItem(Item(parent), columns);
    SetItemImage(tree, item, image);
    return item;
}

bool CTreeCtrl::DeleteItem(HTREEITEM item) {
    if (item == nullptr) return false;
    delete Item(item);
    return true;
}

HTREEITEM CTreeCtrl::GetRootItem() const {
    const auto* tree = As<QTreeWidget>(this);
    return tree != nullptr && tree->topLevelItemCount() > 0 ? tree->topLevelItem(0) : nullptr;
}

HTREEITEM CTreeCtrl::GetParentItem(HTREEITEM item) const {
    return item != nullptr ? Item(item)->parent() : nullptr;
}

HTREEITEM CTreeCtrl::GetChildItem(HTREEITEM item) const {
    if (item == nullptr) return GetRootItem();
    return Item(item)->childCount() > 0 ? Item(item)->child(0) : nullptr;
}

HTREEITEM CTreeCtrl::GetNextSiblingItem(HTREEITEM item) const {
    if (item == nullptr) return nullptr;
    QTreeWidgetItem* self = Item(item);
    if (QTreeWidgetItem* parent = self->parent()) {
        const int index = parent->indexOfChild(self);
        return index + 1 < parent->childCount() ? parent->child(index + 1) : nullptr;
    }
    QTreeWidget* tree = self->treeWidget();
    const int index = tree->indexOfTopLevelItem(self);
    return index + 1 < tree->topLevelItemCount() ? tree->topLevelItem(index + 1) : nullptr;
}

std::string CTreeCtrl::GetItemText(HTREEITEM item) const {
    return item != nullptr ? Item(item)->text(0).toStdString() : std::string();
}

void CTreeCtrl::SetHasChildren(HTREEITEM item, bool hasChildren) {
    if (item == nullptr) return;
    Item(item)->setChildIndicatorPolicy(hasChildren
                                            ? QTreeWidgetItem::ShowIndicator
                                            : QTreeWidgetItem::DontShowIndicatorWhenChildless);
}

bool CTreeCtrl::ItemHasChildren(HTREEITEM item) const {
    return item != nullptr && (Item(item)->childCount() > 0 || Item(item)->childIndicatorPolicy() ==
                                                                   QTreeWidgetItem::ShowIndicator);
}

HTREEITEM CTreeCtrl::GetSelectedItem() const {
    const auto* tree = As<QTreeWidget>(this);
    return tree != nullptr ? tree->currentItem() : nullptr;
}

bool CTreeCtrl::SelectItem(HTREEITEM item) {
    auto* tree = As<QTreeWidget>(this);
    if (tree == nullptr) return false;
    tree->setCurrentItem(Item(item));
    if (item != nullptr) tree->scrollToItem(Item(item));
    return true;
}

bool CTreeCtrl::Expand(HTREEITEM item, UINT action) {
    auto* tree = dynamic_cast<TreeWidget*>(GetWidget());
    if (tree == nullptr || item == nullptr) return false;
    tree->m_programmatic = true;
    Item(item)->setExpanded(action == TVE_EXPAND);
    tree->m_programmatic = false;
    return true;
}

void CTreeCtrl::ToggleByUser(HTREEITEM item) {
    if (item != nullptr) Item(item)->setExpanded(!Item(item)->isExpanded());
}

void CTreeCtrl::DoubleClickByUser(HTREEITEM item) {
    auto* tree = As<QTreeWidget>(this);
    if (tree != nullptr && item != nullptr) {
        tree->setCurrentItem(Item(item));
        emit tree->itemDoubleClicked(Item(item), 0);
    }
}

bool CMonthCalCtrl::Create(CWnd* parent, CPoint topLeft, UINT id) {
    if (parent == nullptr || !parent->IsWindow()) return false;
    auto* calendar = new QCalendarWidget(parent->GetWidget());
    // The device's calendar is Japanese: its month and weekday names, weeks from Sunday.
    calendar->setLocale(QLocale(QLocale::Japanese, QLocale::Japan));
    calendar->setFirstDayOfWeek(Qt::Sunday);
    calendar->setGridVisible(false);
    calendar->setVerticalHeaderFormat(QCalendarWidget::NoVerticalHeader);
    // The device's calendar fits a small dialog: one letter per weekday, nothing wider.
    calendar->setHorizontalHeaderFormat(QCalendarWidget::SingleLetterDayNames);
    const QSize size = calendar->minimumSizeHint();
    calendar->setGeometry(topLeft.x, topLeft.y, size.width(), size.height());
    calendar->show();
    AdoptWidget(calendar, parent, id);
    return true;
}

CRect CMonthCalCtrl::GetMinReqRect() const {
    const QWidget* calendar = GetWidget();
    if (calendar == nullptr) return {};
    const QSize size = calendar->minimumSizeHint();
    return {0, 0, size.width(), size.height()};
}

bool CMonthCalCtrl::SetCurSel(const SYSTEMTIME& date) {
    auto* calendar = As<QCalendarWidget>(this);
    const QDate day(date.wYear, date.wMonth, date.wDay);
    if (calendar == nullptr || !day.isValid()) return false;
    calendar->setSelectedDate(day);
    return true;
}

bool CMonthCalCtrl::GetCurSel(SYSTEMTIME& date) const {
    const auto* calendar = As<QCalendarWidget>(this);
    if (calendar == nullptr) return false;
    const QDate day = calendar->selectedDate();
    date = SYSTEMTIME{static_cast<uint16_t>(day.year()),
                      static_cast<uint16_t>(day.month()),
                      static_cast<uint16_t>(day.dayOfWeek() % 7),
                      static_cast<uint16_t>(day.day()),
                      0,
                      0,
                      0,
                      0};
    return true;
}

COLORREF GetSysColorButtonFace() {
    const QColor face = QApplication::palette().color(QPalette::Button);
    return RGB(static_cast<uint8_t>(face.red()), static_cast<uint8_t>(face.green()),
               static_cast<uint8_t>(face.blue()));
}
