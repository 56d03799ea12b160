#include "qt/ControlPanelDialog.h"

#include <QApplication>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "device/DeviceLink.h"
#include "qt/CommandEvent.h"
#include "qt/DialogControls.h"
#include "qt/DialogNavigation.h"
#include "qt/QtDialogUnits.h"
#include "ui/CommandSet.h"
#include "ui/ControlPanelButtons.h"
#include "ui/ControlPanelTemplate.h"
#include "ui/ResourceIds.h"

namespace r512 {

namespace {

// A static text this tall or less is one line; a taller one wraps its words from the top.
constexpr int kLineHeight = 8;

}  // namespace

ControlPanelDialog::ControlPanelDialog(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("controlPanel"));
    setFont(DialogFont());
    Build();
    // The first exchange: no link yet, so the controls show the initial values.
    TransferToControls();
}

void ControlPanelDialog::Register(int id, QWidget* control) {
    control->setProperty("controlId", id);
    controls_[id] = control;
}

QWidget* ControlPanelDialog::Control(int id) const {
    const auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : it->second;
}

void ControlPanelDialog::Build() {
    setWindowTitle(QString::fromLatin1(kControlPanelTemplate.caption));
    const DialogUnits u = DialogUnitsFor(font());
    setFixedSize(u.X(kControlPanelTemplate.width), u.Y(kControlPanelTemplate.height));
    QWidget* previous = nullptr;
    for (const DialogItem& item : kControlPanelTemplate.items) {
        const QString text = QString::fromLatin1(item.text);
        QWidget* control = nullptr;
        switch (item.kind) {
            case ControlKind::GroupBox:
                control = new QGroupBox(text, this);
                break;
            case ControlKind::Label: {
                auto* label = new QLabel(text, this);
                if (item.height > kLineHeight) {
                    label->setWordWrap(true);
                    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
                }
                control = label;
                break;
            }
            case ControlKind::Edit: {
                auto* edit = new QLineEdit(this);
                edit->setReadOnly((item.flags & kReadOnly) != 0);
                control = edit;
                break;
            }
            case ControlKind::UpDown: {
                const int id = item.id;
                control = new UpDownControl(previous, this, [this, id](int delta) {
                    const int code = UpDownCode(id, delta);
                    if (code >= 0) Send(static_cast<std::uint8_t>(code));
                });
                break;
            }
            case ControlKind::CheckBox: {
                auto* box = new StaticCheckBox(text, this);
                KeepArrowsOnControl(box);  // a group of its own
                control = box;
                break;
            }
            case ControlKind::RadioButton: {
                auto* radio = new StaticRadioButton(text, this);
                if ((item.flags & kGroupStart) || radioGroups_.empty()) radioGroups_.emplace_back();
                radioGroups_.back().push_back(radio);
                groupOf_[radio] = &radioGroups_.back();
                control = radio;
                break;
            }
            case ControlKind::PushButton:
            case ControlKind::DefaultButton: {
                auto* button = new QPushButton(text, this);
                // Enter presses the default button (Refresh: ask the device for everything
                // again), unless the focus is on another push button: then Enter presses that
                // one (every push button of a dialog is an auto-default one).
                if (item.kind == ControlKind::DefaultButton) button->setDefault(true);
                control = button;
                break;
            }
            default:
                continue;  // no such control in this template
        }
        if (item.kind == ControlKind::UpDown) {
            // Inside the right edge of the number field before it and as tall, where an up-down
            // control aligns itself.
            const QRect field = previous->geometry();
            const int width = u.X(item.width);
            control->setGeometry(field.right() + 1 - width, field.top(), width, field.height());
            static_cast<QLineEdit*>(previous)->setTextMargins(0, 0, width, 0);
        } else {
            PlaceAt(control, u, item.x, item.y, item.width, item.height);
        }
        if (item.kind == ControlKind::GroupBox) control->lower();
        if (item.id != kStaticId) Register(item.id, control);
        if (auto* button = qobject_cast<QAbstractButton*>(control)) {
            const int id = item.id;
            if (id == IDC_CANCEL)
                connect(button, &QAbstractButton::clicked, this, &QDialog::reject);  // hides it
            else
                connect(button, &QAbstractButton::clicked, this, [this, id] { Act(id); });
        }
        previous = control;
    }
    // Each radio group is one Tab stop; the arrows click their way through the group and the
    // marks still follow the device.
    for (const std::vector<StaticRadioButton*>& group : radioGroups_)
        new RadioGroupKeys(std::vector<QAbstractButton*>(group.begin(), group.end()),
                           RadioKind::Plain);
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
        QWidget* control = controls_.at(value.id);
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
