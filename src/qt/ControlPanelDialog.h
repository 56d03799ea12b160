#pragma once

#include <QDialog>
#include <deque>
#include <map>
#include <memory>
#include <vector>

#include "qt/TemplateControls.h"
#include "ui/ControlPanelModel.h"

namespace r512 {

class DeviceLink;
class StaticRadioButton;

// "R512 Control Panel": every register the user can read or change, in one modeless window.
// Its controls only show what the device last reported; a click sends a command (or posts a
// menu command to the remote window) and the device's report brings the change back. Its object
// name is "controlPanel"; each control carries its identifier as its "controlId" property.
class ControlPanelDialog final : public QDialog {
public:
    explicit ControlPanelDialog(QWidget* owner);

    void SetDeviceLink(DeviceLink* link) { link_ = link; }

    // Reloads every control from the register mirror (when a link is set).
    void UpdateFromMirror();

    // Shows it as the user asked (the command, or open at the last end); IsOpen stays true
    // until the user closes it, also while it is hidden with its minimised owner.
    void Open();
    bool IsOpen() const { return open_; }

    // Close, Escape and the close box: hidden, and no longer open.
    void reject() override;

protected:
    void changeEvent(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // Whenever it shows again (the restore of its owner included) it shows the mirror as it is
    // now: reports that came while it was hidden did not reach it.
    void showEvent(QShowEvent* event) override;

private:
    void Build();
    void TransferToControls();
    // What a click on the check box, radio button or push button `controlId` does.
    void Act(int controlId);
    void Send(std::uint8_t code);
    void PostCommand(int id);
    void StepZoneSource(int index);
    void RestoreFocus();
    // A control by its identifier (1005-1100, 2, 3), or nullptr.
    QWidget* Control(int id) const { return controls_->Control(id); }

    DeviceLink* link_ = nullptr;
    ControlPanelModel model_;
    int focusControlId_ = 0;
    bool open_ = false;
    std::unique_ptr<TemplateControls> controls_;
    // The radio groups in template order, and the group each radio button belongs to.
    std::deque<std::vector<StaticRadioButton*>> radioGroups_;
    std::map<QWidget*, const std::vector<StaticRadioButton*>*> groupOf_;
};

}  // namespace r512
