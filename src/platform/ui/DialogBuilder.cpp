#include "DialogBuilder.h"

#include <QFontMetrics>
#include <QWidget>

#include "platform/gdi/Font.h"
#include "platform/ui/Dialog.h"
#include "platform/ui/Resources.h"

QFont DialogFont(const DialogTemplate& dialog) {
    std::string family = "IPAPGothic";
    if (!dialog.fontFace.empty() && dialog.fontFace != "ＭＳ Ｐゴシック" &&
        dialog.fontFace != "MS PGothic") {
        family = dialog.fontFace;
    }
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
    window->setFixedSize(size.Width(), size.Height());
}
