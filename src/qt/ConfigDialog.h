#pragma once

#include <QDialog>

#include "base/Profile.h"
#include "ui/PortChoice.h"

class QLineEdit;
class QPushButton;
class QRadioButton;

namespace r512 {

// "Program Configuration": the serial port (COM1 to COM4 or any other name) and the speed
// (12000 or 9600). It reads the stored choice when it opens and stores the new one itself on
// OK; Cancel stores nothing. On the first run it explains itself first and offers no Cancel.
// Each control carries its identifier as its "controlId" property.
class ConfigDialog final : public QDialog {
public:
    explicit ConfigDialog(Profile& profile, QWidget* parent = nullptr);

    bool firstRun = false;

    // Runs the dialog modally; QDialog::Accepted once both settings have been written.
    int Run();

    void accept() override;

private:
    void UpdateOtherField();

    Profile& profile_;
    QRadioButton* ports_[5] = {};
    QRadioButton* speeds_[2] = {};
    QLineEdit* other_ = nullptr;
    QPushButton* cancel_ = nullptr;
};

}  // namespace r512
