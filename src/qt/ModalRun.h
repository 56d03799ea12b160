#pragma once

#include <QDialog>
#include <functional>

namespace r512 {

// Runs a dialog modally and returns its result (QDialog::Accepted or Rejected). Tests put a
// hook in place that works the dialog's controls instead of a person; the program never does.
int RunModal(QDialog& dialog);
void SetModalHook(std::function<int(QDialog&)> hook);

}  // namespace r512
