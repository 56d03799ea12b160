#pragma once

#include <QDialog>
#include <QString>
#include <array>
#include <functional>

class QLineEdit;

namespace r512 {

// The modal dialog "R512" in which the user edits the nine source names (7 characters each)
// and the welcome and standby messages (two lines of 20). It only edits its thirteen strings:
// the Names command fills them before DoModal and reads them back after OK. It never talks to
// the device; Defaults puts the factory texts into the fields. Each control carries its
// identifier as its "controlId" property (the fields 1088 to 1100 in the order of the strings).
class NamesDialog final : public QDialog {
public:
    static constexpr int kTextCount = 13;

    explicit NamesDialog(QWidget* parent = nullptr);
    ~NamesDialog() override;

    // Source names 1 to 9, welcome lines 1 and 2, standby lines 1 and 2: set before DoModal,
    // read after it returned Accepted.
    std::array<QString, kTextCount> texts;

    // Fills the fields from the strings as they are, runs the dialog modally and, on OK, takes
    // the fields back into the strings. Returns QDialog::Accepted for OK, QDialog::Rejected
    // otherwise.
    int DoModal();

    // The data exchange: from the strings into the fields (saving false) or back.
    void UpdateData(bool saving);

    // Sets the thirteen strings to the factory texts and shows them.
    void Defaults();

    // For tests: when set, DoModal calls this in place of the modal loop (through the modal
    // hook every dialog shares); it ends the dialog with accept() or reject() (or by its
    // buttons) as a user would.
    using ModalRun = std::function<void(NamesDialog&)>;
    static void SetModalRun(ModalRun run);

    void done(int result) override;

private:
    std::array<QLineEdit*, kTextCount> fields_{};
};

}  // namespace r512
