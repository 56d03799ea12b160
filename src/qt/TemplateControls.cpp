#include "qt/TemplateControls.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "qt/DialogControls.h"
#include "qt/DialogNavigation.h"
#include "qt/QtDialogUnits.h"

namespace r512 {

namespace {

// A drop-down's template height is that of its opened list; closed, its field is one line, as
// tall as an edit field of the templates.
constexpr int kFieldHeight = 12;
// The height of one line of static text; a taller one wraps its words.
constexpr int kLineHeight = 8;
constexpr int kIconPixels = 32;

QWidget* MakeControl(const DialogItem& item, QWidget* client, QWidget* before,
                     const TemplateControls::UpDownHandler& onUpDown) {
    const QString text = QString::fromLatin1(item.text);
    const bool autoMark = (item.flags & kAutoMark) != 0;
    switch (item.kind) {
        case ControlKind::Label:
        case ControlKind::CentredLabel: {
            auto* label = new QLabel(text, client);
            label->setAlignment(
                (item.kind == ControlKind::Label ? Qt::AlignLeft : Qt::AlignHCenter) |
                Qt::AlignTop);
            label->setWordWrap(item.height > kLineHeight);
            return label;
        }
        case ControlKind::Icon: {
            auto* icon = new QLabel(client);
            icon->setPixmap(
                QIcon(QStringLiteral(":/icon/r512-32.png")).pixmap(kIconPixels, kIconPixels));
            return icon;
        }
        case ControlKind::GroupBox:
            return new QGroupBox(text, client);
        case ControlKind::Edit:
        case ControlKind::ComboBox: {
            // The drop-down's list is offered as a completer's pop-up by the dialog that has
            // entries for it; the field still takes any typed text. Capitals (kUppercase) are
            // the dialog's to decide, too.
            auto* field = new QLineEdit(client);
            field->setReadOnly((item.flags & kReadOnly) != 0);
            return field;
        }
        case ControlKind::CheckBox: {
            QCheckBox* box =
                autoMark ? new QCheckBox(text, client) : new StaticCheckBox(text, client);
            // A check box starting a group is one of its own: the arrows leave the focus on it.
            if ((item.flags & kGroupStart) != 0) KeepArrowsOnControl(box);
            return box;
        }
        case ControlKind::RadioButton:
            return autoMark ? new QRadioButton(text, client) : new StaticRadioButton(text, client);
        case ControlKind::PushButton:
        case ControlKind::DefaultButton: {
            auto* button = new QPushButton(text, client);
            // Enter presses the default button, or the push button that has the focus.
            button->setDefault(item.kind == ControlKind::DefaultButton);
            return button;
        }
        case ControlKind::UpDown:
            break;
    }
    // Beside the field before it, whose arrow keys it takes as well.
    return new UpDownControl(before, client, [onUpDown, id = item.id](int delta) {
        if (onUpDown) onUpDown(id, delta);
    });
}

// An up-down control sits inside its field's right edge, as tall as the field, which keeps its
// text clear of it.
void PlaceUpDown(QWidget* upDown, QWidget* field, int width) {
    const QRect box = field->geometry();
    upDown->setGeometry(box.right() + 1 - width, box.top(), width, box.height());
    if (auto* edit = qobject_cast<QLineEdit*>(field)) edit->setTextMargins(0, 0, width, 0);
}

}  // namespace

TemplateControls::TemplateControls(const DialogTemplate& dialog, QWidget* client,
                                   UpDownHandler onUpDown)
    : template_(dialog) {
    const DialogUnits units = DialogUnitsFor(client->font());
    client->setFixedSize(units.X(dialog.width), units.Y(dialog.height));
    if (dialog.caption[0] != '\0') client->setWindowTitle(QString::fromLatin1(dialog.caption));
    for (const DialogItem& item : dialog.items) {
        QWidget* before = widgets_.empty() ? nullptr : widgets_.back();
        QWidget* widget = MakeControl(item, client, before, onUpDown);
        const bool dropDown = item.kind == ControlKind::ComboBox;
        PlaceAt(widget, units, item.x, item.y, item.width, dropDown ? kFieldHeight : item.height);
        if (item.kind == ControlKind::UpDown && before)
            PlaceUpDown(widget, before, units.X(item.width));
        if (item.kind == ControlKind::Icon)  // shown at the icon's own size at least
            widget->resize(qMax(widget->width(), kIconPixels), qMax(widget->height(), kIconPixels));
        if (item.id != kStaticId) widget->setProperty("controlId", item.id);
        if ((item.flags & kDisabled) != 0) widget->setEnabled(false);
        widgets_.push_back(widget);
    }
    MakeRadioGroups();
}

void TemplateControls::MakeRadioGroups() {
    const std::size_t count = widgets_.size();
    for (std::size_t first = 0; first < count;) {
        if (template_.items[first].kind != ControlKind::RadioButton) {
            ++first;
            continue;
        }
        std::size_t end = first + 1;
        while (end < count && template_.items[end].kind == ControlKind::RadioButton &&
               (template_.items[end].flags & kGroupStart) == 0)
            ++end;
        std::vector<QAbstractButton*> buttons;
        for (std::size_t i = first; i < end; ++i)
            buttons.push_back(static_cast<QAbstractButton*>(widgets_[i]));
        const bool automatic = (template_.items[first].flags & kAutoMark) != 0;
        if (automatic) {
            auto* exclusive = new QButtonGroup(buttons.front());
            for (QAbstractButton* button : buttons) exclusive->addButton(button);
        }
        new RadioGroupKeys(std::move(buttons), automatic ? RadioKind::Automatic : RadioKind::Plain);
        first = end;
    }
}

QWidget* TemplateControls::Control(int id) const {
    const std::size_t index = IndexOf(id);
    return index < widgets_.size() ? widgets_[index] : nullptr;
}

std::size_t TemplateControls::IndexOf(int id) const {
    std::size_t index = 0;
    while (index < widgets_.size() && template_.items[index].id != id) ++index;
    return index;
}

}  // namespace r512
