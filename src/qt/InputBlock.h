#pragma once

#include <QObject>
#include <QPointer>
#include <QWidget>

namespace r512 {

// Keeps the user's input away from one window for as long as it lives, as a disabled window of
// the platform: the window and its controls look as they did (nothing is greyed) and go on
// showing the device's reports, but pointer, keyboard and shortcut input and the window
// system's close request don't reach them. The program's own calls still do.
class InputBlock final : public QObject {
public:
    explicit InputBlock(QWidget* window);  // null blocks nothing
    ~InputBlock() override;

    InputBlock(const InputBlock&) = delete;
    InputBlock& operator=(const InputBlock&) = delete;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QPointer<QWidget> window_;
};

}  // namespace r512
