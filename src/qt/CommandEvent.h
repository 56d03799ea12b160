#pragma once

#include <QEvent>

namespace r512 {

// A command identifier posted to the remote window, by its menus and by the popups' buttons,
// and handled by its command set in the order the commands were posted. The one place where
// the Qt front end imitates the platform's command message rather than calling a slot: the
// core's command set decides by identifier (one OnCommand dispatch for both front ends), and a
// command runs only once the menu or popup that chose it has finished handling the click.
class CommandEvent final : public QEvent {
public:
    static constexpr QEvent::Type kType = static_cast<QEvent::Type>(QEvent::User + 0x111);
    explicit CommandEvent(int id) : QEvent(kType), id(id) {}
    const int id;
};

}  // namespace r512
