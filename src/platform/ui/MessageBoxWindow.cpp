#include "MessageBoxWindow.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/ui/ScreenArea.h"

namespace {

// Text layout breaks lines at spaces and between Japanese characters, but never inside a
// long file name: offer a break after every character of such a run.
QString WithBreaksInLongRuns(const QString& text) {
    constexpr int kLongRun = 16;
    const QChar kZeroWidthSpace(0x200B);
    QString out;
    int run = 0;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        out += c;
        run = c.isSpace() ? 0 : run + 1;
        const bool midPair = c.isHighSurrogate();
        if (run >= kLongRun && !midPair && i + 1 < text.size()) out += kZeroWidthSpace;
    }
    return out;
}

// A box never narrower than this, nor wider than this when the screen leaves room.
constexpr int kMinimumWidth = 120;
constexpr int kComfortableWidth = 480;

}  // namespace

MessageBoxWindow::MessageBoxWindow(QWidget* parent, const QString& caption, std::string_view text,
                                   UINT type)
    : QDialog(parent), m_yesNo((type & 0x0F) == MB_YESNO) {
    setWindowTitle(caption);
    setModal(true);
    auto* icon = new QLabel(this);
    const UINT kind = type & 0xF0;
    if (kind == MB_ICONQUESTION || kind == MB_ICONEXCLAMATION) {
        const int size = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
        icon->setPixmap(style()
                            ->standardIcon(kind == MB_ICONQUESTION ? QStyle::SP_MessageBoxQuestion
                                                                   : QStyle::SP_MessageBoxWarning,
                                           nullptr, this)
                            .pixmap(size, size));
        icon->setAlignment(Qt::AlignTop);
    } else {
        icon->hide();
    }
    m_text = new QLabel(
        WithBreaksInLongRuns(QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()))),
        this);
    m_text->setTextFormat(Qt::PlainText);
    m_text->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(
        m_yesNo ? QDialogButtonBox::Yes | QDialogButtonBox::No : QDialogButtonBox::Ok, this);
    buttons->setCenterButtons(true);
    connect(buttons, &QDialogButtonBox::clicked, this, [this, buttons](QAbstractButton* button) {
        const auto which = buttons->standardButton(button);
        done(which == QDialogButtonBox::Yes ? IDYES : which == QDialogButtonBox::No ? IDNO : IDOK);
    });
    auto* message = new QHBoxLayout;
    message->addWidget(icon);
    message->addWidget(m_text, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(message);
    layout->addWidget(buttons);
}

void MessageBoxWindow::Fit(const QRect& screen, const QRect& owner) {
    // The width the text wants on one line, then no more than the screen gives.
    m_text->setWordWrap(false);
    const int natural = sizeHint().width();
    m_text->setWordWrap(true);
    const int width = std::clamp(natural, std::min(kMinimumWidth, screen.width()),
                                 std::min(kComfortableWidth, screen.width()));
    layout()->activate();
    const int height = std::min(layout()->totalHeightForWidth(width), screen.height());
    setFixedSize(width, height);
    PlaceInside(*this, owner, screen);
}

int MessageBoxWindow::Run() {
    const int result = exec();
    return result == IDYES || result == IDNO ? result : IDOK;
}

void MessageBoxWindow::reject() {
    // Escape or the close button: "no" to a question, OK to a notice.
    done(m_yesNo ? IDNO : IDOK);
}
