#include "qt/NamesDialog.h"

#include <QLineEdit>
#include <QPushButton>
#include <utility>

#include "device/NamesFields.h"
#include "qt/ModalRun.h"
#include "qt/TemplateControls.h"
#include "ui/DialogTemplates.h"
#include "ui/ResourceIds.h"

namespace r512 {

namespace {

// The longest source name and message line the device stores.
constexpr int kNameWidth = 7;
constexpr int kLineWidth = 20;
constexpr int kNameCount = 9;

// The dialog's fixed-pitch face at 8 points.
QFont NamesFont() {
    QFont font(QStringLiteral("Courier New"));
    font.setPointSize(8);
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    return font;
}

}  // namespace

NamesDialog::NamesDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint) {
    setFont(NamesFont());
    const TemplateControls controls(kNamesTemplate, this);
    // The fields in the order of the strings: names 1 to 9, welcome 1 and 2, standby 1 and 2.
    for (int i = 0; i < kTextCount; ++i) {
        auto* field = controls.Get<QLineEdit>(IDC_SOURCE_NAME_1 + i);
        field->setMaxLength(i < kNameCount ? kNameWidth : kLineWidth);
        fields_[static_cast<std::size_t>(i)] = field;
    }
    connect(controls.Get<QPushButton>(IDC_OK), &QPushButton::clicked, this, &QDialog::accept);
    connect(controls.Get<QPushButton>(IDC_CANCEL), &QPushButton::clicked, this, &QDialog::reject);
    connect(controls.Get<QPushButton>(IDC_DEFAULTS), &QPushButton::clicked, this,
            [this] { Defaults(); });
}

NamesDialog::~NamesDialog() = default;

void NamesDialog::SetModalRun(ModalRun run) {
    if (!run) {
        SetModalHook(nullptr);
        return;
    }
    SetModalHook([run = std::move(run)](QDialog& dialog) {
        run(static_cast<NamesDialog&>(dialog));
        return dialog.result();
    });
}

int NamesDialog::DoModal() {
    UpdateData(false);
    setResult(Rejected);
    return RunModal(*this);
}

void NamesDialog::done(int result) {
    if (result == Accepted) UpdateData(true);
    QDialog::done(result);
}

void NamesDialog::UpdateData(bool saving) {
    for (int i = 0; i < kTextCount; ++i) {
        QString& text = texts[static_cast<std::size_t>(i)];
        QLineEdit* field = fields_[static_cast<std::size_t>(i)];
        if (saving)
            text = field->text();
        else
            field->setText(text);
    }
}

void NamesDialog::Defaults() {
    const names_fields::Texts& defaults = names_fields::Defaults();
    for (int i = 0; i < kTextCount; ++i)
        texts[static_cast<std::size_t>(i)] =
            QString::fromLatin1(defaults[static_cast<std::size_t>(i)].c_str());
    UpdateData(false);
}

}  // namespace r512
