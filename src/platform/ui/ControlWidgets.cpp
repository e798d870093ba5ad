#include "ControlWidgets.h"

#include <QKeyEvent>
#include <QPainter>
#include <QToolButton>
#include <QVBoxLayout>

#include "platform/ui/Controls.h"
#include "platform/ui/SurfacePainting.h"

SpinWidget::SpinWidget(QWidget* parent) : QWidget(parent) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* up = new QToolButton(this);
    auto* down = new QToolButton(this);
    up->setArrowType(Qt::UpArrow);
    down->setArrowType(Qt::DownArrow);
    for (QToolButton* button : {up, down}) {
        button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        button->setAutoRepeat(true);
        layout->addWidget(button);
    }
    connect(up, &QToolButton::clicked, this, [this] { Step(+1); });
    connect(down, &QToolButton::clicked, this, [this] { Step(-1); });
}

void SpinWidget::SetBuddy(QLineEdit* buddy, bool writesInteger, bool arrowKeys) {
    if (m_buddy) m_buddy->removeEventFilter(this);
    m_buddy = buddy;
    m_writesInteger = writesInteger;
    if (buddy != nullptr && arrowKeys) buddy->installEventFilter(this);
}

void SpinWidget::SetRange(int lower, int upper) {
    m_lower = lower;
    m_upper = upper;
}

int SpinWidget::Position() const {
    // The buddy's text is the position when the spin writes into it: the user may have
    // typed there.
    if (Buddy() != nullptr && m_writesInteger) {
        bool ok = false;
        const int typed = Buddy()->text().toInt(&ok);
        if (ok) return typed;
    }
    return m_position;
}

void SpinWidget::SetPosition(int position) {
    const int low = std::min(m_lower, m_upper);
    const int high = std::max(m_lower, m_upper);
    m_position = std::clamp(position, low, high);
    if (Buddy() != nullptr && m_writesInteger) Buddy()->setText(QString::number(m_position));
}

void SpinWidget::Step(int direction) {
    // "Up" moves towards the upper end of the range, whichever way the range runs.
    const int sign = m_upper >= m_lower ? 1 : -1;
    SetPosition(Position() + direction * sign);
}

bool SpinWidget::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_buddy.data() && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            Step(key == Qt::Key_Up ? +1 : -1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void OwnerDrawWidget::paintEvent(QPaintEvent*) {
    auto* owner = dynamic_cast<COwnerDrawButton*>(CWnd::FromWidget(this));
    if (owner == nullptr || width() <= 0 || height() <= 0) return;
    auto surface = Surface::CreateTrueColor(width(), height());
    if (!surface) return;
    CDC dc;
    dc.AttachSurface(surface.get());
    DRAWITEMSTRUCT item{owner->GetDlgCtrlID(),
                        (isDown() ? ODS_SELECTED : 0u) | (hasFocus() ? ODS_FOCUS : 0u), &dc,
                        CRect{0, 0, width(), height()}};
    owner->DrawItem(&item);
    QPainter painter(this);
    PaintSurface(painter, *surface, rect());
}

TreeWidget::TreeWidget(QWidget* parent) : QTreeWidget(parent) {
    setHeaderHidden(true);
    setColumnCount(1);
    setIconSize(QSize(16, 16));
}

QString WithoutMnemonics(const std::string& text) {
    QString shown;
    const QString source = QString::fromStdString(text);
    for (qsizetype i = 0; i < source.size(); ++i) {
        if (source[i] == '&' && i + 1 < source.size()) ++i;
        shown += source[i];
    }
    return shown;
}
