#include "qt/ControlPanelDialog.h"

#include <QApplication>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "device/DeviceLink.h"
#include "qt/DialogControls.h"
#include "qt/QtDialogUnits.h"
#include "qt/CommandEvent.h"
#include "ui/CommandSet.h"

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
    auto check = [&](int id, const char* text, int x, int y, int w, std::uint8_t code,
                     bool sends) {
        auto* box = new StaticCheckBox(QString::fromLatin1(text), this);
        PlaceAt(box, u, x, y, w, 10);
        Register(id, box);
        if (sends) connect(box, &QAbstractButton::clicked, this, [this, code] { Send(code); });
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
        upDowns_[id] = control;
    };
    auto radios = [&](std::vector<StaticRadioButton*>& list, int x,
                      const std::vector<ButtonSpec>& specs, auto onClick) {
        for (std::size_t i = 0; i < specs.size(); ++i) {
            auto* radio = new StaticRadioButton(QString::fromLatin1(specs[i].text), this);
            PlaceAt(radio, u, x, specs[i].y, specs[i].width, 10);
            Register(specs[i].id, radio);
            list.push_back(radio);
            groupOf_[radio] = &list;
            const int index = static_cast<int>(i);
            connect(radio, &QAbstractButton::clicked, this, [onClick, index] { onClick(index); });
        }
    };

    // Main.
    group("Main", 5, 5, 200, 140);
    label("Volume:", 10, 15, 26, 8);
    QLineEdit* volume = number(1013, 40, 15);
    upDown(1028, volume, 11);
    check(1014, "Mute", 75, 15, 32, Cmd::MuteToggle, true);
    check(1020, "Late Night", 110, 15, 49, Cmd::LateNightToggle, true);
    static const std::uint8_t kSourceCodes[10] = {Cmd::Video1, Cmd::Video2, Cmd::Video3,
                                                  Cmd::Video4, Cmd::Video5, Cmd::Video6,
                                                  Cmd::Cd,     Cmd::Aux,    Cmd::Tuner,
                                                  Cmd::Ext51};
    radios(sources_, 10,
           {{1038, "Video 1", 30, 40}, {1039, "Video 2", 40, 40}, {1040, "Video 3", 50, 40},
            {1041, "Video 4", 60, 40}, {1042, "Video 5", 70, 40}, {1043, "Video 6", 80, 40},
            {1044, "CD", 90, 26},      {1045, "Aux", 100, 28},    {1046, "Tuner", 110, 35},
            {1047, "Ext 5.1", 120, 38}},
           [this](int i) { Send(kSourceCodes[i]); });
    check(1019, "Tape Monitor", 10, 130, 58, Cmd::TapeMonitorPanel, true);
    static const int kModeCommands[7] = {ID_MODE_STEREO_DIRECT, ID_MODE_STEREO_DOWNMIX,
                                         ID_MODE_MONO_DOWNMIX,  ID_MODE_BYPASS,
                                         ID_MODE_EARS,          ID_MODE_PROLOGIC,
                                         ID_MODE_SURROUND_61};
    radios(modes_, 70,
           {{1048, "Stereo/Direct", 30, 59}, {1063, "Stereo Downmix", 40, 67},
            {1049, "Mono Downmix", 50, 65},  {1051, "Bypass", 60, 39},
            {1052, "Ears", 70, 30},          {1050, "Dolby Prologic", 80, 61},
            {1062, "Surround 6.1", 90, 57}},
           [this](int i) { PostCommand(kModeCommands[i]); });
    static const int kThxCommands[3] = {ID_THX_OFF, ID_THX_ON, ID_THX_SURROUND_EX};
    radios(thx_, 70,
           {{1071, "THX Off", 110, 42}, {1072, "THX On", 120, 42}, {1073, "THX Surr Ex", 130, 55}},
           [this](int i) { PostCommand(kThxCommands[i]); });
    struct Level {
        const char* text;
        int y, labelWidth, edit, upDown;
    };
    for (const Level& level : {Level{"Treble:", 30, 23, 1016, 1030}, Level{"Bass:", 45, 18, 1015, 1031},
                               Level{"Sub.W:", 65, 25, 1024, 1034}, Level{"Center:", 80, 24, 1025, 1032},
                               Level{"Surr:", 95, 16, 1023, 1033}}) {
        label(level.text, 145, level.y, level.labelWidth, 8);
        QLineEdit* edit = number(level.edit, 171, level.y);
        upDown(level.upDown, edit, 11);
    }

    // Multi Source.
    group("Multi Source", 210, 5, 110, 140);
    label("Volume:", 215, 15, 26, 8);
    QLineEdit* zoneVolume = number(1026, 245, 15);
    upDown(1029, zoneVolume, 11);
    check(1027, "Mute*", 280, 15, 35, Cmd::MuteToggle, true);
    radios(zoneSources_, 215,
           {{1053, "Video 1", 30, 40}, {1054, "Video 2", 40, 40}, {1055, "Video 3", 50, 40},
            {1056, "Video 4", 60, 40}, {1057, "Video 5", 70, 40}, {1058, "Video 6", 80, 40},
            {1059, "CD", 90, 26},      {1060, "Aux", 100, 28},    {1061, "Tuner", 110, 35}},
           [this](int i) { StepZoneSource(i); });

    // Other.
    group("Other", 325, 40, 55, 105);
    check(1017, "Power On", 331, 50, 47, Cmd::PowerToggle, true);
    check(1018, "Dimmer", 331, 65, 39, Cmd::Brightness, true);
    check(1021, "Trigger 1", 331, 80, 44, 0, false);  // shown, not switched from here
    check(1022, "Trigger 2", 331, 95, 44, 0, false);

    // Signal Status.
    group("Signal Status", 5, 145, 375, 40);
    auto status = [&](int id, int x, int y) {
        auto* edit = new QLineEdit(this);
        edit->setReadOnly(true);
        PlaceAt(edit, u, x, y, 120, 12);
        Register(id, edit);
    };
    label("Audio Input:", 10, 155, 39, 8);
    status(1074, 60, 155);
    label("Audio Format:", 10, 170, 44, 8);
    status(1075, 60, 170);
    label("Video Input:", 195, 155, 39, 8);
    status(1076, 250, 155);
    label("Video Format:", 195, 170, 44, 8);
    status(1077, 250, 170);

    auto* refresh = new QPushButton(QStringLiteral("Refresh"), this);
    PlaceAt(refresh, u, 331, 5, 50, 14);
    refresh->setDefault(true);  // Enter asks the device for everything again
    Register(3, refresh);
    connect(refresh, &QPushButton::clicked, this, [this] { PostCommand(ID_REFRESH); });
    auto* close = new QPushButton(QStringLiteral("Close"), this);
    PlaceAt(close, u, 331, 20, 50, 14);
    close->setAutoDefault(false);
    Register(2, close);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);  // hides the window

    QLabel* note = label(
        "* You must change the Multi Source Volume before you can toggle Multi Source Mute.", 265,
        35, 45, 65);
    note->setWordWrap(true);
    note->setAlignment(Qt::AlignLeft | Qt::AlignTop);
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
    for (int i = 0; i < steps; ++i) Send(Cmd::ZoneSourceNext);
}

void ControlPanelDialog::StepUpDown(int id, int delta) {
    const auto it = upDowns_.find(id);
    if (it != upDowns_.end()) it->second->Step(delta);
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
    setNumber(1013, model_.volume);
    setCheck(1014, model_.mute);
    setNumber(1015, model_.bass);
    setNumber(1016, model_.treble);
    setCheck(1018, model_.dimmer);
    setCheck(1020, model_.lateNight);
    setCheck(1017, model_.powerOn);
    setCheck(1019, model_.tapeMonitor);
    setCheck(1021, model_.trigger1);
    setCheck(1022, model_.trigger2);
    setNumber(1025, model_.centre);
    setNumber(1024, model_.subwoofer);
    setNumber(1023, model_.surround);
    setNumber(1026, model_.zoneVolume);
    setCheck(1027, model_.zoneMute);
    setRadio(sources_, model_.sourceIndex);
    setRadio(modes_, model_.modeIndex);
    setRadio(zoneSources_, model_.zoneSourceIndex);
    setRadio(thx_, model_.thxIndex);
    setText(1075, model_.audioFormat);
    setText(1074, model_.audioInput);
    setText(1077, model_.videoFormat);
    setText(1076, model_.videoInput);
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
