#include "qt/InputBlock.h"

#include <QCoreApplication>
#include <QEvent>

namespace r512 {

namespace {

bool IsUserInput(const QEvent* event) {
    switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::MouseMove:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::Shortcut:
        case QEvent::ShortcutOverride:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TabletPress:
        case QEvent::TabletMove:
        case QEvent::TabletRelease:
        case QEvent::ToolTip:
            return true;
        case QEvent::Close:
            // The close box of the window system; the program may still close it.
            return event->spontaneous();
        default:
            return false;
    }
}

}  // namespace

InputBlock::InputBlock(QWidget* window) : window_(window) {
    if (window_) QCoreApplication::instance()->installEventFilter(this);
}

// Deleting the filter object takes it off the application.
InputBlock::~InputBlock() = default;

bool InputBlock::eventFilter(QObject* watched, QEvent* event) {
    if (window_ && watched->isWidgetType() && IsUserInput(event) &&
        static_cast<QWidget*>(watched)->window() == window_)
        return true;
    return QObject::eventFilter(watched, event);
}

}  // namespace r512
