#include "qt/FrontPanelDisplay.h"

#include <QPainter>

namespace r512 {

namespace {
const QColor kBackground(4, 4, 4);
}

FrontPanelDisplay::FrontPanelDisplay(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("display"));
    // The paint covers every pixel: no background erase, no flicker.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    // A window of its own for the pointer: a press on it neither drags the remote window nor
    // opens the body's menu, and it does nothing with the press itself.
    setAttribute(Qt::WA_NoMousePropagation);
    setFixedSize(FrontPanelText::kColumns * FrontPanelText::kCellWidth,
                 FrontPanelText::kLines * FrontPanelText::kCellHeight);
}

bool FrontPanelDisplay::LoadFontBitmap() {
    QImage strip(QStringLiteral(":/font.bmp"));
    if (strip.isNull()) return false;
    // Converted once: each paint is then 40 plain block copies.
    font_ = strip.convertToFormat(QImage::Format_RGB32);
    return true;
}

void FrontPanelDisplay::SetLine(const char* text, int line, bool redraw) {
    if (!text_.SetLine(text, line)) return;
    if (redraw) repaint();  // at once, within the composition pass
}

void FrontPanelDisplay::paintEvent(QPaintEvent*) {
    ++paints_;
    QPainter painter(this);
    if (font_.isNull()) {
        painter.fillRect(rect(), kBackground);
        return;
    }
    for (int line = 0; line < FrontPanelText::kLines; ++line) {
        for (int column = 0; column < FrontPanelText::kColumns; ++column) {
            const int cellX = FrontPanelText::FontCellX(text_.At(line, column));
            painter.drawImage(
                QPoint(column * FrontPanelText::kCellWidth, line * FrontPanelText::kCellHeight),
                font_, QRect(cellX, 0, FrontPanelText::kCellWidth, FrontPanelText::kCellHeight));
        }
    }
}

}  // namespace r512
