#pragma once

#include <QDialog>
#include <map>
#include <vector>

#include "ui/ControlPanelModel.h"

class QLineEdit;
class QAbstractButton;

namespace r512 {

class DeviceLink;
class StaticCheckBox;
class StaticRadioButton;

// "R512 Control Panel": every register the user can read or change, in one modeless window.
// Its controls only show what the device last reported; a click sends a command (or posts a
// menu command to the remote window) and the device's report brings the change back.
class ControlPanelDialog final : public QDialog {
public:
    explicit ControlPanelDialog(QWidget* owner);

    void SetDeviceLink(DeviceLink* link) { link_ = link; }

    // Reloads every control from the register mirror (when a link is set).
    void UpdateFromMirror();

    const ControlPanelModel& Model() const { return model_; }

    // A control by its identifier (1005-1100, 2, 3), or nullptr.
    QWidget* Control(int id) const;
    // The up-down control with that identifier proposes a change, as its arrows would.
    void StepUpDown(int id, int delta);

protected:
    void changeEvent(QEvent* event) override;

private:
    void Build();
    void TransferToControls();
    void Send(std::uint8_t code);
    void PostCommand(int id);
    void StepZoneSource(int index);
    void RestoreFocus();
    void Register(int id, QWidget* control);

    DeviceLink* link_ = nullptr;
    ControlPanelModel model_;
    int focusControlId_ = 0;
    std::map<int, QWidget*> controls_;
    std::map<int, class UpDownControl*> upDowns_;
    // The radio groups in their order, and the group each radio button belongs to.
    std::vector<StaticRadioButton*> sources_, modes_, zoneSources_, thx_;
    std::map<QWidget*, std::vector<StaticRadioButton*>*> groupOf_;
};

}  // namespace r512
