#include "qt/ControlPanelDialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QLineEdit>

#include "device/DeviceLink.h"
#include "qt/CommandEvent.h"
#include "qt/DialogControls.h"
#include "qt/QtDialogUnits.h"
#include "ui/CommandSet.h"
#include "ui/ControlPanelButtons.h"
#include "ui/ControlPanelTemplate.h"
#include "ui/ResourceIds.h"

namespace r512 {

ControlPanelDialog::ControlPanelDialog(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("controlPanel"));
    setFont(DialogFont());
    Build();
    // The first exchange: no link yet, so the controls show the initial values.
    TransferToControls();
}

void ControlPanelDialog::Build() {
    controls_ =
        std::make_unique<TemplateControls>(kControlPanelTemplate, this, [this](int id, int delta) {
            const int code = UpDownCode(id, delta);
            if (code >= 0) Send(static_cast<std::uint8_t>(code));
        });
    const auto& items = kControlPanelTemplate.items;
    for (std::size_t i = 0; i < items.size(); ++i) {
        QWidget* control = controls_->At(i);
        if (items[i].kind == ControlKind::RadioButton) {
            if ((items[i].flags & kGroupStart) || radioGroups_.empty()) radioGroups_.emplace_back();
            radioGroups_.back().push_back(static_cast<StaticRadioButton*>(control));
            groupOf_[control] = &radioGroups_.back();
        }
        // Enter presses the default button (Refresh: ask the device for everything again),
        // unless the focus is on another push button: then Enter presses that one.
        if (auto* button = qobject_cast<QAbstractButton*>(control)) {
            const int id = items[i].id;
            if (id == IDC_CANCEL)
                connect(button, &QAbstractButton::clicked, this, &QDialog::reject);  // hides it
            else
                connect(button, &QAbstractButton::clicked, this, [this, id] { Act(id); });
        }
    }
}

void ControlPanelDialog::Act(int controlId) {
    const PanelButtonAction action = PanelButton(controlId);
    switch (action.kind) {
        case PanelButtonAction::Kind::Send:
            Send(static_cast<std::uint8_t>(action.value));
            break;
        case PanelButtonAction::Kind::Post:
            PostCommand(action.value);
            break;
        case PanelButtonAction::Kind::ZoneStep:
            StepZoneSource(action.value);
            break;
        case PanelButtonAction::Kind::None:
            break;
    }
}

void ControlPanelDialog::Send(std::uint8_t code) {
    if (link_) link_->SendCommand(code);
}

void ControlPanelDialog::PostCommand(int id) {
    if (parentWidget()) QCoreApplication::postEvent(parentWidget(), new CommandEvent(id));
}

void ControlPanelDialog::StepZoneSource(int index) {
    // From the zone source of the last reload; an unknown one counts as the one before Video 1.
    const int steps = ZoneStepsFromPanel(model_.zoneSourceIndex, index);
    for (int i = 0; i < steps; ++i) Send(cmd::kZoneSourceNext);
}

void ControlPanelDialog::UpdateFromMirror() {
    if (link_) model_.Load(link_->Mirror());
    TransferToControls();
}

void ControlPanelDialog::TransferToControls() {
    for (const PanelControlValue& value : model_.ControlValues()) {
        QWidget* control = Control(value.id);
        switch (value.kind) {
            case PanelControlValue::Kind::Number:
                static_cast<QLineEdit*>(control)->setText(QString::number(value.number));
                break;
            case PanelControlValue::Kind::Check:
            case PanelControlValue::Kind::Radio:
                static_cast<QAbstractButton*>(control)->setChecked(value.number == 1);
                break;
            case PanelControlValue::Kind::Text:
                static_cast<QLineEdit*>(control)->setText(
                    QString::fromLocal8Bit(value.text.c_str()));
                break;
        }
    }
}

void ControlPanelDialog::Open() {
    open_ = true;
    show();
    UpdateFromMirror();  // also when it was up already
}

void ControlPanelDialog::reject() {
    open_ = false;
    QDialog::reject();
}

void ControlPanelDialog::closeEvent(QCloseEvent* event) {
    // A close from the window system (its close button, Alt+F4) is the user's. The application
    // also closes every window as it quits, and that close leaves the user's choice, which is
    // stored as the program ends, as it was.
    if (!event->spontaneous()) return QWidget::closeEvent(event);
    QDialog::closeEvent(event);
}

void ControlPanelDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    UpdateFromMirror();
}

void ControlPanelDialog::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    if (event->type() != QEvent::ActivationChange) return;
    if (isActiveWindow() && focusControlId_ != 0) {
        RestoreFocus();
        return;
    }
    QWidget* focused = QApplication::focusWidget();
    focusControlId_ = focused && isAncestorOf(focused) ? focused->property("controlId").toInt() : 0;
}

void ControlPanelDialog::RestoreFocus() {
    QWidget* control = Control(focusControlId_);
    if (!control) return;
    const auto group = groupOf_.find(control);
    if (group == groupOf_.end()) {
        control->setFocus(Qt::ActiveWindowFocusReason);
        return;
    }
    // A radio button: the checked button of its group takes the focus, searching forward from
    // the remembered one; a group with none checked changes nothing.
    const std::vector<StaticRadioButton*>& buttons = *group->second;
    std::size_t start = 0;
    while (start < buttons.size() && buttons[start] != control) ++start;
    for (std::size_t step = 0; step < buttons.size(); ++step) {
        StaticRadioButton* candidate = buttons[(start + step) % buttons.size()];
        if (candidate->isChecked()) {
            candidate->setFocus(Qt::ActiveWindowFocusReason);
            return;
        }
    }
}

}  // namespace r512
