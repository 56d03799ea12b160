#include "qt/ConfigDialog.h"

#include <QCompleter>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "base/Messages.h"
#include "qt/ModalRun.h"
#include "qt/QtDialogUnits.h"
#include "qt/TemplateControls.h"
#include "serial/PortList.h"
#include "ui/DialogTemplates.h"
#include "ui/ResourceIds.h"

namespace r512 {

ConfigDialog::ConfigDialog(Profile& profile, QWidget* parent)
    // A tool window: the small caption, and no task-bar entry of its own.
    : QDialog(parent, Qt::Tool | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint),
      profile_(profile) {
    setFont(DialogFont());
    const TemplateControls controls(kConfigTemplate, this);
    for (int i = 0; i < 5; ++i) {
        ports_[i] = controls.Get<QRadioButton>(IDC_PORT_COM1 + i);
        connect(ports_[i], &QRadioButton::toggled, this, [this] { UpdateOtherField(); });
    }
    speeds_[0] = controls.Get<QRadioButton>(IDC_SPEED_12000);
    speeds_[1] = controls.Get<QRadioButton>(IDC_SPEED_9600);
    other_ = controls.Get<QLineEdit>(IDC_OTHER_PORT_NAME);
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

    // A dialog face wider than the one the layout was drawn for wraps the note on the speed
    // onto one more line: the note, its group and the dialog grow by what it needs instead of
    // cutting it. The note follows the last speed button; its group comes before the first.
    QWidget* note = controls.At(controls.IndexOf(IDC_SPEED_9600) + 1);
    QWidget* speedBox = controls.At(controls.IndexOf(IDC_SPEED_12000) - 1);
    const int needed = note->heightForWidth(note->width());
    if (needed > note->height()) {
        const int extra = needed - note->height();
        note->resize(note->width(), needed);
        speedBox->resize(speedBox->width(), speedBox->height() + extra);
        setFixedSize(width(), height() + extra);
    }

    cancel_ = controls.Get<QPushButton>(IDC_CANCEL);
    connect(controls.Get<QPushButton>(IDC_OK), &QPushButton::clicked, this, &ConfigDialog::accept);
    connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);

    // Fill the controls from the stored choice.
    const PortChoice choice = PortChoice::Load(profile_);
    other_->setText(QString::fromLocal8Bit(choice.otherName.c_str()));
    ports_[choice.port]->setChecked(true);
    speeds_[choice.speed]->setChecked(true);
    UpdateOtherField();
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
    choice.Store(profile_);
    QDialog::accept();
}

}  // namespace r512
