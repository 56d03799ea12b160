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

namespace r512 {

namespace {

struct ButtonSpec {
    int id;
    const char* text;
    int y;
    int width;
};

}  // namespace

ControlPanelDialog::ControlPanelDialog(QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                         Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("controlPanel"));
    setWindowTitle(QStringLiteral("R512 Control Panel"));
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
    const DialogUnits u = DialogUnitsFor(font());
    setFixedSize(u.X(387), u.Y(191));

    auto group = [&](const char* title, int x, int y, int w, int h) {
        auto* box = new QGroupBox(QString::fromLatin1(title), this);
        PlaceAt(box, u, x, y, w, h);
        box->lower();
    };
    auto label = [&](const char* text, int x, int y, int w, int h) {
        auto* l = new QLabel(QString::fromLatin1(text), this);
        PlaceAt(l, u, x, y, w, h);
        return l;
    };
    auto check = [&](int id, const char* text, int x, int y, int w) {
        auto* box = new StaticCheckBox(QString::fromLatin1(text), this);
        PlaceAt(box, u, x, y, w, 10);
        Register(id, box);
        KeepArrowsOnControl(box);  // a group of its own
        connect(box, &QAbstractButton::clicked, this, [this, id] { Act(id); });
        return box;
    };
    auto number = [&](int id, int x, int y) {
        auto* edit = new QLineEdit(this);
        edit->setReadOnly(true);
        edit->setAlignment(Qt::AlignLeft);
        PlaceAt(edit, u, x, y, 30, 12);
        Register(id, edit);
        return edit;
    };
    auto upDown = [&](int id, QLineEdit* buddy, int width) {
        // Aligned inside the buddy's right edge, as an up-down control sits.
        auto* control = new UpDownControl(buddy, this, [this, id](int delta) {
            const int code = UpDownCode(id, delta);
            if (code >= 0) Send(static_cast<std::uint8_t>(code));
        });
        const QRect field = buddy->geometry();
        const int w = u.X(width);
        control->setGeometry(field.right() + 1 - w, field.top(), w, field.height());
        buddy->setTextMargins(0, 0, w, 0);
        Register(id, control);
    };
    auto radios = [&](std::vector<StaticRadioButton*>& list, int x,
                      const std::vector<ButtonSpec>& specs) {
        for (std::size_t i = 0; i < specs.size(); ++i) {
            auto* radio = new StaticRadioButton(QString::fromLatin1(specs[i].text), this);
            PlaceAt(radio, u, x, specs[i].y, specs[i].width, 10);
            Register(specs[i].id, radio);
            list.push_back(radio);
            groupOf_[radio] = &list;
            const int id = specs[i].id;
            connect(radio, &QAbstractButton::clicked, this, [this, id] { Act(id); });
        }
        // One Tab stop; the arrows click their way through the group and the marks still
        // follow the device.
        new RadioGroupKeys(std::vector<QAbstractButton*>(list.begin(), list.end()),
                           RadioKind::Plain);
    };

    // Main.
    group("Main", 5, 5, 200, 140);
    label("Volume:", 10, 15, 26, 8);
    QLineEdit* volume = number(IDC_VOLUME, 40, 15);
    upDown(IDC_VOLUME_SPIN, volume, 11);
    check(IDC_MUTE, "Mute", 75, 15, 32);
    check(IDC_LATE_NIGHT, "Late Night", 110, 15, 49);
    radios(sources_, 10,
           {{IDC_SOURCE_VIDEO_1, "Video 1", 30, 40},
            {IDC_SOURCE_VIDEO_2, "Video 2", 40, 40},
            {IDC_SOURCE_VIDEO_3, "Video 3", 50, 40},
            {IDC_SOURCE_VIDEO_4, "Video 4", 60, 40},
            {IDC_SOURCE_VIDEO_5, "Video 5", 70, 40},
            {IDC_SOURCE_VIDEO_6, "Video 6", 80, 40},
            {IDC_SOURCE_CD, "CD", 90, 26},
            {IDC_SOURCE_AUX, "Aux", 100, 28},
            {IDC_SOURCE_TUNER, "Tuner", 110, 35},
            {IDC_SOURCE_EXT_51, "Ext 5.1", 120, 38}});
    check(IDC_TAPE_MONITOR, "Tape Monitor", 10, 130, 58);
    radios(modes_, 70,
           {{IDC_MODE_STEREO_DIRECT, "Stereo/Direct", 30, 59},
            {IDC_MODE_STEREO_DOWNMIX, "Stereo Downmix", 40, 67},
            {IDC_MODE_MONO_DOWNMIX, "Mono Downmix", 50, 65},
            {IDC_MODE_BYPASS, "Bypass", 60, 39},
            {IDC_MODE_EARS, "Ears", 70, 30},
            {IDC_MODE_PROLOGIC, "Dolby Prologic", 80, 61},
            {IDC_MODE_SURROUND_61, "Surround 6.1", 90, 57}});
    radios(thx_, 70,
           {{IDC_THX_OFF, "THX Off", 110, 42},
            {IDC_THX_ON, "THX On", 120, 42},
            {IDC_THX_SURROUND_EX, "THX Surr Ex", 130, 55}});
    struct Level {
        const char* text;
        int y, labelWidth, edit, upDown;
    };
    for (const Level& level : {Level{"Treble:", 30, 23, IDC_TREBLE, IDC_TREBLE_SPIN},
                               Level{"Bass:", 45, 18, IDC_BASS, IDC_BASS_SPIN},
                               Level{"Sub.W:", 65, 25, IDC_SUBWOOFER, IDC_SUBWOOFER_SPIN},
                               Level{"Center:", 80, 24, IDC_CENTER, IDC_CENTER_SPIN},
                               Level{"Surr:", 95, 16, IDC_SURROUND, IDC_SURROUND_SPIN}}) {
        label(level.text, 145, level.y, level.labelWidth, 8);
        QLineEdit* edit = number(level.edit, 171, level.y);
        upDown(level.upDown, edit, 11);
    }

    // Multi Source.
    group("Multi Source", 210, 5, 110, 140);
    label("Volume:", 215, 15, 26, 8);
    QLineEdit* zoneVolume = number(IDC_ZONE_VOLUME, 245, 15);
    upDown(IDC_ZONE_VOLUME_SPIN, zoneVolume, 11);
    check(IDC_ZONE_MUTE, "Mute*", 280, 15, 35);
    radios(zoneSources_, 215,
           {{IDC_ZONE_SOURCE_VIDEO_1, "Video 1", 30, 40},
            {IDC_ZONE_SOURCE_VIDEO_2, "Video 2", 40, 40},
            {IDC_ZONE_SOURCE_VIDEO_3, "Video 3", 50, 40},
            {IDC_ZONE_SOURCE_VIDEO_4, "Video 4", 60, 40},
            {IDC_ZONE_SOURCE_VIDEO_5, "Video 5", 70, 40},
            {IDC_ZONE_SOURCE_VIDEO_6, "Video 6", 80, 40},
            {IDC_ZONE_SOURCE_CD, "CD", 90, 26},
            {IDC_ZONE_SOURCE_AUX, "Aux", 100, 28},
            {IDC_ZONE_SOURCE_TUNER, "Tuner", 110, 35}});

    // Other.
    group("Other", 325, 40, 55, 105);
    check(IDC_POWER_ON, "Power On", 331, 50, 47);
    check(IDC_DIMMER, "Dimmer", 331, 65, 39);
    check(IDC_TRIGGER_1, "Trigger 1", 331, 80, 44);  // shown, not switched from here
    check(IDC_TRIGGER_2, "Trigger 2", 331, 95, 44);

    // Signal Status.
    group("Signal Status", 5, 145, 375, 40);
    auto status = [&](int id, int x, int y) {
        auto* edit = new QLineEdit(this);
        edit->setReadOnly(true);
        PlaceAt(edit, u, x, y, 120, 12);
        Register(id, edit);
    };
    label("Audio Input:", 10, 155, 39, 8);
    status(IDC_AUDIO_INPUT, 60, 155);
    label("Audio Format:", 10, 170, 44, 8);
    status(IDC_AUDIO_FORMAT, 60, 170);
    label("Video Input:", 195, 155, 39, 8);
    status(IDC_VIDEO_INPUT, 250, 155);
    label("Video Format:", 195, 170, 44, 8);
    status(IDC_VIDEO_FORMAT, 250, 170);

    auto* refresh = new QPushButton(QStringLiteral("Refresh"), this);
    PlaceAt(refresh, u, 331, 5, 50, 14);
    // Enter asks the device for everything again, unless the focus is on a push button: then
    // Enter presses that one (every push button of a dialog is an auto-default one).
    refresh->setDefault(true);
    Register(IDC_REFRESH, refresh);
    connect(refresh, &QPushButton::clicked, this, [this] { Act(IDC_REFRESH); });
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    PlaceAt(close, u, 331, 20, 50, 14);
    Register(IDC_CANCEL, close);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);  // hides the window

    QLabel* note =
        label("* You must change the Multi Source Volume before you can toggle Multi Source Mute.",
              265, 35, 45, 65);
    note->setWordWrap(true);
    note->setAlignment(Qt::AlignLeft | Qt::AlignTop);
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
    auto setNumber = [&](int id, int value) {
        static_cast<QLineEdit*>(controls_.at(id))->setText(QString::number(value));
    };
    auto setCheck = [&](int id, int value) {
        // Only 1 shows a check mark.
        static_cast<QCheckBox*>(controls_.at(id))->setChecked(value == 1);
    };
    auto setRadio = [](std::vector<StaticRadioButton*>& group, int index) {
        for (std::size_t i = 0; i < group.size(); ++i)
            group[i]->setChecked(static_cast<int>(i) == index);
    };
    auto setText = [&](int id, const std::string& text) {
        static_cast<QLineEdit*>(controls_.at(id))->setText(QString::fromLocal8Bit(text.c_str()));
    };
    setNumber(IDC_VOLUME, model_.volume);
    setCheck(IDC_MUTE, model_.mute);
    setNumber(IDC_BASS, model_.bass);
    setNumber(IDC_TREBLE, model_.treble);
    setCheck(IDC_DIMMER, model_.dimmer);
    setCheck(IDC_LATE_NIGHT, model_.lateNight);
    setCheck(IDC_POWER_ON, model_.powerOn);
    setCheck(IDC_TAPE_MONITOR, model_.tapeMonitor);
    setCheck(IDC_TRIGGER_1, model_.trigger1);
    setCheck(IDC_TRIGGER_2, model_.trigger2);
    setNumber(IDC_CENTER, model_.centre);
    setNumber(IDC_SUBWOOFER, model_.subwoofer);
    setNumber(IDC_SURROUND, model_.surround);
    setNumber(IDC_ZONE_VOLUME, model_.zoneVolume);
    setCheck(IDC_ZONE_MUTE, model_.zoneMute);
    setRadio(sources_, model_.sourceIndex);
    setRadio(modes_, model_.modeIndex);
    setRadio(zoneSources_, model_.zoneSourceIndex);
    setRadio(thx_, model_.thxIndex);
    setText(IDC_AUDIO_FORMAT, model_.audioFormat);
    setText(IDC_AUDIO_INPUT, model_.audioInput);
    setText(IDC_VIDEO_FORMAT, model_.videoFormat);
    setText(IDC_VIDEO_INPUT, model_.videoInput);
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
