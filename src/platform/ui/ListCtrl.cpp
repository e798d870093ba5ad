// The report view of a list control over the toolkit's tree widget: rows without children.
#include <QTreeWidget>
#include <algorithm>

#include "platform/ui/Controls.h"

namespace {

QTreeWidget* List(const CWnd* window) {
    return qobject_cast<QTreeWidget*>(window->GetWidget());
}

QString Text(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

int CListCtrl::InsertColumn(int column, std::string_view heading, int width) {
    QTreeWidget* list = List(this);
    if (list == nullptr || column < 0 || column > list->columnCount()) return -1;
    QTreeWidgetItem* header = list->headerItem();
    const int count = list->columnCount() + 1;
    list->setColumnCount(count);
    // Later headings move one column to the right.
    for (int i = count - 1; i > column; --i) header->setText(i, header->text(i - 1));
    header->setText(column, Text(heading));
    SetColumnWidth(column, width);
    return column;
}

bool CListCtrl::SetColumnWidth(int column, int width) {
    QTreeWidget* list = List(this);
    if (list == nullptr || column < 0 || column >= list->columnCount()) return false;
    if (width == LVSCW_AUTOSIZE_USEHEADER) {
        list->resizeColumnToContents(column);  // the heading is counted too
    } else {
        list->setColumnWidth(column, width);
    }
    return true;
}

int CListCtrl::InsertItem(int item, std::string_view text) {
    QTreeWidget* list = List(this);
    if (list == nullptr) return -1;
    const int at = std::clamp(item, 0, list->topLevelItemCount());
    auto* row = new QTreeWidgetItem;
    row->setText(0, Text(text));
    list->insertTopLevelItem(at, row);
    return at;
}

bool CListCtrl::SetItemText(int item, int column, std::string_view text) {
    QTreeWidget* list = List(this);
    QTreeWidgetItem* row = list != nullptr ? list->topLevelItem(item) : nullptr;
    if (row == nullptr || column < 0 || column >= list->columnCount()) return false;
    row->setText(column, Text(text));
    return true;
}

std::string CListCtrl::GetItemText(int item, int column) const {
    const QTreeWidget* list = List(this);
    const QTreeWidgetItem* row = list != nullptr ? list->topLevelItem(item) : nullptr;
    return row != nullptr ? row->text(column).toStdString() : std::string();
}

int CListCtrl::GetItemCount() const {
    const QTreeWidget* list = List(this);
    return list != nullptr ? list->topLevelItemCount() : 0;
}

bool CListCtrl::DeleteAllItems() {
    QTreeWidget* list = List(this);
    if (list == nullptr) return false;
    list->clear();
    return true;
}

int CListCtrl::GetNextItem(int start, int flags) const {
    const QTreeWidget* list = List(this);
    if (list == nullptr || (flags & LVNI_SELECTED) == 0) return -1;
    for (int i = std::max(0, start + 1); i < list->topLevelItemCount(); ++i) {
        if (list->topLevelItem(i)->isSelected()) return i;
    }
    return -1;
}

bool CListCtrl::SetItemState(int item, UINT state, UINT mask) {
    QTreeWidget* list = List(this);
    QTreeWidgetItem* row = list != nullptr ? list->topLevelItem(item) : nullptr;
    if (row == nullptr || (mask & LVIS_SELECTED) == 0) return false;
    if ((state & LVIS_SELECTED) != 0) {
        list->setCurrentItem(row);
        list->scrollToItem(row);
    } else {
        row->setSelected(false);
    }
    return true;
}
