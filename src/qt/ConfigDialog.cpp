#include "qt/ConfigDialog.h"

#include <QCompleter>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "base/Messages.h"
#include "base/SettingsLayout.h"
#include "qt/DialogControls.h"
#include "qt/DialogNavigation.h"
#include "qt/ModalRun.h"
#include "qt/QtDialogUnits.h"
#include "serial/PortList.h"
#include "ui/ResourceIds.h"

namespace r512 {

ConfigDialog::ConfigDialog(Profile& profile, QWidget* parent)
    // A tool window: the small caption, and no task-bar entry of its own.
    : QDialog(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      profile_(profile) {
    setWindowTitle(QStringLiteral("Program Configuration"));
    setFont(DialogFont());
    const DialogUnits u = DialogUnitsFor(font());
    setFixedSize(u.X(242), u.Y(127));

    // Each group box holds its own radio buttons, so each set is exclusive on its own.
    auto* portBox = new QGroupBox(QStringLiteral("Select COM Port:"), this);
    PlaceAt(portBox, u, 5, 5, 110, 65);
    const char* const kPortTexts[5] = {"COM&1", "COM&2", "COM&3", "COM&4", "&Other:"};
    const int kPortRects[5][4] = {
        {15, 20, 36, 10}, {70, 20, 36, 10}, {15, 35, 36, 10}, {70, 35, 36, 10}, {15, 50, 33, 10}};
    for (int i = 0; i < 5; ++i) {
        ports_[i] = new QRadioButton(QString::fromLatin1(kPortTexts[i]), portBox);
        const DialogUnits::PixelRect r =
            u.Rect(kPortRects[i][0] - 5, kPortRects[i][1] - 5, kPortRects[i][2], kPortRects[i][3]);
        ports_[i]->setGeometry(r.x, r.y, r.width, r.height);
        ports_[i]->setProperty("controlId", IDC_PORT_COM1 + i);
        connect(ports_[i], &QRadioButton::toggled, this, [this] { UpdateOtherField(); });
    }
    other_ = new QLineEdit(portBox);
    const DialogUnits::PixelRect otherRect = u.Rect(50 - 5, 50 - 5, 60, 12);
    other_->setGeometry(otherRect.x, otherRect.y, otherRect.width, otherRect.height);
    other_->setEnabled(false);
    other_->setProperty("controlId", IDC_OTHER_PORT_NAME);
    if (!PortNamesAreCaseSensitive()) {
        // COM port names are shown in capitals while they are typed.
        connect(other_, &QLineEdit::textEdited, this, [this](const QString& text) {
            const int cursor = other_->cursorPosition();
            other_->setText(text.toUpper());
            other_->setCursorPosition(cursor);
        });
    }
    // The ports present on this machine, offered as the field is typed into.
    QStringList present;
    for (const std::string& port : ListSerialPorts()) present << QString::fromStdString(port);
    if (!present.isEmpty()) {
        auto* completer = new QCompleter(present, other_);
        completer->setCaseSensitivity(Qt::CaseSensitive);
        completer->setFilterMode(Qt::MatchContains);
        other_->setCompleter(completer);
    }

    auto* speedBox = new QGroupBox(QStringLiteral("Select Port Speed:"), this);
    PlaceAt(speedBox, u, 5, 75, 230, 45);
    speeds_[0] = new QRadioButton(QStringLiteral("12&000"), speedBox);
    speeds_[1] = new QRadioButton(QStringLiteral("&9600"), speedBox);
    const DialogUnits::PixelRect s0 = u.Rect(15 - 5, 90 - 75, 36, 10);
    const DialogUnits::PixelRect s1 = u.Rect(15 - 5, 105 - 75, 32, 10);
    speeds_[0]->setGeometry(s0.x, s0.y, s0.width, s0.height);
    speeds_[1]->setGeometry(s1.x, s1.y, s1.width, s1.height);
    speeds_[0]->setProperty("controlId", IDC_SPEED_12000);
    speeds_[1]->setProperty("controlId", IDC_SPEED_9600);
    auto* note = new QLabel(
        QStringLiteral("The R512 operates at 12000 bps.  If you have trouble connecting at this "
                       "speed you may want to try connecting an external rate converter and use "
                       "9600."),
        speedBox);
    const DialogUnits::PixelRect n = u.Rect(65 - 5, 90 - 75, 165, 25);
    note->setGeometry(n.x, n.y, n.width, n.height);
    note->setWordWrap(true);
    note->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // A dialog face wider than the one the layout was drawn for wraps the note onto one more
    // line: the note, its group and the dialog grow by what it needs instead of cutting it.
    const int needed = note->heightForWidth(n.width);
    if (needed > n.height) {
        const int extra = needed - n.height;
        note->resize(n.width, needed);
        speedBox->resize(speedBox->width(), speedBox->height() + extra);
        setFixedSize(width(), height() + extra);
    }

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    PlaceAt(ok, u, 185, 5, 50, 14);
    // Enter presses OK, or the push button that has the focus.
    ok->setDefault(true);
    ok->setProperty("controlId", IDC_OK);
    cancel_ = new QPushButton(QStringLiteral("Cancel"), this);
    PlaceAt(cancel_, u, 185, 20, 50, 14);
    cancel_->setProperty("controlId", IDC_CANCEL);
    connect(ok, &QPushButton::clicked, this, &ConfigDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

    // Fill the controls from the stored choice.
    const PortChoice choice = PortChoice::FromSettings(
        profile_.GetProfileString(settings::kConfig, settings::kPort, settings::kDefaultPort),
        profile_.GetProfileInt(settings::kConfig, settings::kSpeed, settings::kDefaultSpeed));
    other_->setText(QString::fromLocal8Bit(choice.otherName.c_str()));
    ports_[choice.port]->setChecked(true);
    speeds_[choice.speed]->setChecked(true);
    UpdateOtherField();

    // Each set of radio buttons is one Tab stop; the arrows check their way through it.
    new RadioGroupKeys({ports_, ports_ + 5}, RadioKind::Automatic);
    new RadioGroupKeys({speeds_, speeds_ + 2}, RadioKind::Automatic);
}

void ConfigDialog::UpdateOtherField() { other_->setEnabled(ports_[4]->isChecked()); }

int ConfigDialog::Run() {
    if (firstRun) {
        // The first run can't be cancelled, and says why the dialog appears.
        cancel_->setEnabled(false);
        cancel_->hide();
        ShowMessage(IDS_FIRST_RUN);
    }
    return RunModal(*this);
}

void ConfigDialog::accept() {
    PortChoice choice;
    for (int i = 0; i < 5; ++i) {
        if (ports_[i]->isChecked()) choice.port = i;
    }
    choice.speed = speeds_[1]->isChecked() ? 1 : 0;
    choice.otherName = other_->text().toLocal8Bit().toStdString();
    profile_.WriteProfileString(settings::kConfig, settings::kPort, choice.PortName());
    profile_.WriteProfileInt(settings::kConfig, settings::kSpeed, choice.Speed());
    QDialog::accept();
}

}  // namespace r512
