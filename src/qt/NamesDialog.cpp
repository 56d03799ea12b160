#include "qt/NamesDialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <utility>

#include "device/NamesFields.h"
#include "qt/ModalRun.h"
#include "qt/QtDialogUnits.h"
#include "ui/ResourceIds.h"

namespace r512 {

namespace {

constexpr int kNameWidth = 7;
constexpr int kLineWidth = 20;

struct Place {
    int x, y, width, height;  // dialog units
};

// The dialog's layout, in dialog units.
constexpr int kWidthUnits = 182;
constexpr int kHeightUnits = 161;

struct LabelDef {
    const char* text;
    Place place;
};
constexpr LabelDef kLabels[] = {
    {"Source Names:", {5, 5, 53, 8}},
    {"1", {5, 20, 8, 8}},
    {"2", {5, 35, 8, 8}},
    {"3", {5, 50, 8, 8}},
    {"4", {5, 65, 8, 8}},
    {"5", {5, 80, 8, 8}},
    {"6", {5, 95, 8, 8}},
    {"7", {5, 110, 8, 8}},
    {"8", {5, 125, 8, 8}},
    {"9", {5, 140, 8, 8}},
    {"Welcome Message:", {75, 5, 65, 8}},
    {"1", {75, 20, 8, 8}},
    {"2", {75, 35, 8, 8}},
    {"Standby Message:", {75, 65, 65, 8}},
    {"1", {75, 80, 8, 8}},
    {"2", {75, 95, 8, 8}},
};

// The edit fields in the order of the strings: names 1 to 9, welcome 1 and 2, standby 1 and 2.
struct EditDef {
    int id;
    int maxChars;
    Place place;
};
constexpr EditDef kEdits[NamesDialog::kTextCount] = {
    {IDC_SOURCE_NAME_1, kNameWidth, {15, 20, 45, 12}},
    {IDC_SOURCE_NAME_1 + 1, kNameWidth, {15, 36, 45, 12}},
    {IDC_SOURCE_NAME_1 + 2, kNameWidth, {15, 50, 45, 12}},
    {IDC_SOURCE_NAME_1 + 3, kNameWidth, {15, 65, 45, 12}},
    {IDC_SOURCE_NAME_1 + 4, kNameWidth, {15, 81, 45, 12}},
    {IDC_SOURCE_NAME_1 + 5, kNameWidth, {15, 95, 45, 12}},
    {IDC_SOURCE_NAME_1 + 6, kNameWidth, {15, 110, 45, 12}},
    {IDC_SOURCE_NAME_1 + 7, kNameWidth, {15, 126, 45, 12}},
    {IDC_SOURCE_NAME_1 + 8, kNameWidth, {15, 140, 45, 12}},
    {IDC_WELCOME_1, kLineWidth, {85, 20, 85, 12}},
    {IDC_WELCOME_2, kLineWidth, {85, 36, 85, 12}},
    {IDC_STANDBY_1, kLineWidth, {85, 80, 85, 12}},
    {IDC_STANDBY_2, kLineWidth, {85, 96, 85, 12}},
};

struct ButtonDef {
    int id;
    const char* text;
    Place place;
};
constexpr ButtonDef kButtons[] = {
    {IDC_DEFAULTS, "Defaults", {125, 120, 50, 14}},
    {IDC_OK, "OK", {70, 140, 50, 14}},
    {IDC_CANCEL, "Cancel", {125, 140, 50, 14}},
};

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
    setWindowTitle(QStringLiteral("R512"));
    setFont(NamesFont());
    const DialogUnits units = DialogUnitsFor(font());
    setFixedSize(units.X(kWidthUnits), units.Y(kHeightUnits));
    auto place = [&](QWidget* widget, const Place& p) {
        const DialogUnits::PixelRect r = units.Rect(p.x, p.y, p.width, p.height);
        widget->setGeometry(r.x, r.y, r.width, r.height);
    };

    for (const LabelDef& label : kLabels)
        place(new QLabel(QString::fromLatin1(label.text), this), label.place);
    for (int i = 0; i < kTextCount; ++i) {
        const EditDef& edit = kEdits[i];
        auto* field = new QLineEdit(this);  // bordered, scrolls sideways, no other style
        field->setProperty("controlId", edit.id);
        field->setMaxLength(edit.maxChars);
        place(field, edit.place);
        fields_[static_cast<std::size_t>(i)] = field;
    }
    for (const ButtonDef& b : kButtons) {
        auto* button = new QPushButton(QString::fromLatin1(b.text), this);
        button->setProperty("controlId", b.id);
        // Enter presses OK, or the push button that has the focus (Cancel, Defaults).
        button->setDefault(b.id == IDC_OK);
        place(button, b.place);
        if (b.id == IDC_OK) connect(button, &QPushButton::clicked, this, &QDialog::accept);
        if (b.id == IDC_CANCEL) connect(button, &QPushButton::clicked, this, &QDialog::reject);
        if (b.id == IDC_DEFAULTS)
            connect(button, &QPushButton::clicked, this, [this] { Defaults(); });
    }
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
