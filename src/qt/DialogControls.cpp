#include "qt/DialogControls.h"

#include <QKeyEvent>
#include <QResizeEvent>

namespace r512 {

UpDownControl::UpDownControl(QWidget* buddy, QWidget* parent,
                             std::function<void(int delta)> onChange)
    : QWidget(parent), onChange_(std::move(onChange)) {
    up_ = new QToolButton(this);
    down_ = new QToolButton(this);
    up_->setArrowType(Qt::UpArrow);
    down_->setArrowType(Qt::DownArrow);
    for (QToolButton* arrow : {up_, down_}) {
        arrow->setAutoRepeat(true);
        arrow->setFocusPolicy(Qt::NoFocus);
        arrow->setIconSize(QSize(5, 5));
    }
    connect(up_, &QToolButton::clicked, this, [this] { onChange_(-1); });
    connect(down_, &QToolButton::clicked, this, [this] { onChange_(+1); });
    setFocusPolicy(Qt::NoFocus);
    if (buddy) buddy->installEventFilter(this);  // the arrow keys in the number field
}

bool UpDownControl::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            onChange_(key == Qt::Key_Up ? -1 : +1);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void UpDownControl::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) {
        onChange_(event->key() == Qt::Key_Up ? -1 : +1);
        return;
    }
    QWidget::keyPressEvent(event);
}

void UpDownControl::resizeEvent(QResizeEvent*) {
    const int half = height() / 2;
    up_->setGeometry(0, 0, width(), half);
    down_->setGeometry(0, half, width(), height() - half);
}

}  // namespace r512
