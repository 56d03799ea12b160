#pragma once

#include <QImage>
#include <QWidget>

#include "ui/DisplayLines.h"
#include "ui/FrontPanelText.h"

namespace r512 {

// The imitation of the device's two-line display: a child of the remote window that paints its
// 2 x 20 characters cell by cell from the dot-matrix font strip. It knows nothing of the device.
class FrontPanelDisplay final : public QWidget, public DisplayLines {
public:
    explicit FrontPanelDisplay(QWidget* parent);

    // Loads the font strip (672 x 9, a 7 x 9 cell for each code 32 to 127). False when the
    // program's resources lack it; the display then paints background only.
    bool LoadFontBitmap();

    void SetLine(const char* text, int line, bool redraw) override;

    const FrontPanelText& Text() const { return text_; }

    // Counts the paints, so that tests and benchmarks can see a synchronous repaint happen.
    int PaintCount() const { return paints_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    FrontPanelText text_;
    QImage font_;
    int paints_ = 0;
};

}  // namespace r512
