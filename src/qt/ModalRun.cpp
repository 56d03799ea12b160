#include "qt/ModalRun.h"

#include <utility>

namespace r512 {

namespace {
std::function<int(QDialog&)>& Hook() {
    static std::function<int(QDialog&)> hook;
    return hook;
}
}  // namespace

int RunModal(QDialog& dialog) {
    if (Hook()) return Hook()(dialog);
    return dialog.exec();
}

void SetModalHook(std::function<int(QDialog&)> hook) { Hook() = std::move(hook); }

}  // namespace r512
