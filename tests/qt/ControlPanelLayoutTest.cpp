// The Qt Control Panel as its template describes it: each control of the kind, text, place and
// flags the template gives, in the template's Tab order.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <optional>
#include <vector>

#include "qt/ControlPanelDialog.h"
#include "qt/DialogControls.h"
#include "qt/GuiTestSupport.h"
#include "qt/QtDialogUnits.h"
#include "ui/ControlPanelTemplate.h"

namespace r512::test {
namespace {

// The text a control shows, when it is of the kind the template names; null otherwise.
std::optional<QString> TextOfKind(QWidget* control, ControlKind kind) {
    switch (kind) {
        case ControlKind::Label:
            if (auto* label = qobject_cast<QLabel*>(control)) return label->text();
            break;
        case ControlKind::GroupBox:
            if (auto* box = qobject_cast<QGroupBox*>(control)) return box->title();
            break;
        case ControlKind::Edit:
            if (qobject_cast<QLineEdit*>(control)) return QString();  // it shows values
            break;
        case ControlKind::UpDown:
            if (dynamic_cast<UpDownControl*>(control)) return QString();
            break;
        case ControlKind::CheckBox:
            if (auto* box = qobject_cast<QCheckBox*>(control)) return box->text();
            break;
        case ControlKind::RadioButton:
            if (auto* radio = qobject_cast<QRadioButton*>(control)) return radio->text();
            break;
        case ControlKind::PushButton:
        case ControlKind::DefaultButton:
            if (auto* button = qobject_cast<QPushButton*>(control))
                if (button->isDefault() == (kind == ControlKind::DefaultButton))
                    return button->text();
            break;
        default:
            break;
    }
    return std::nullopt;
}

// A static control: the one of the template's kind and text at the template's place.
QWidget* StaticControl(const QWidget& dialog, const DialogItem& item, const QRect& place) {
    for (QWidget* child : dialog.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (child->geometry() == place && TextOfKind(child, item.kind) == item.text) return child;
    }
    return nullptr;
}

TEST(ControlPanelLayout, EachControlAsTheTemplateDescribesIt) {
    ControlPanelDialog panel(nullptr);
    const DialogUnits u = DialogUnitsFor(panel.font());
    EXPECT_EQ(panel.windowTitle(), kControlPanelTemplate.caption);
    EXPECT_EQ(panel.size(),
              QSize(u.X(kControlPanelTemplate.width), u.Y(kControlPanelTemplate.height)));
    std::vector<int> templateOrder;
    QWidget* previous = nullptr;
    for (const DialogItem& item : kControlPanelTemplate.items) {
        SCOPED_TRACE(std::string(item.text) + " " + std::to_string(item.id));
        const DialogUnits::PixelRect r = u.Rect(item.x, item.y, item.width, item.height);
        const QRect place(r.x, r.y, r.width, r.height);
        QWidget* control =
            item.id == kStaticId ? StaticControl(panel, item, place) : ControlById(&panel, item.id);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(TextOfKind(control, item.kind), item.text);
        if (item.kind == ControlKind::UpDown) {
            // Inside the right edge of the number field before it, as tall.
            ASSERT_NE(previous, nullptr);
            EXPECT_EQ(control->geometry(),
                      QRect(previous->geometry().right() + 1 - place.width(),
                            previous->geometry().top(), place.width(), previous->height()));
        } else {
            EXPECT_EQ(control->geometry(), place);
        }
        if (auto* edit = qobject_cast<QLineEdit*>(control)) {
            EXPECT_EQ(edit->isReadOnly(), (item.flags & kReadOnly) != 0);
        }
        // No button shows a mark yet: each radio group's Tab stop is its first button.
        EXPECT_EQ((control->focusPolicy() & Qt::TabFocus) != 0, (item.flags & kTabStop) != 0);
        auto* button = qobject_cast<QAbstractButton*>(control);
        if (button && button->isCheckable()) {
            // Without the automatic mark it moves only with the device's report.
            button->click();
            EXPECT_EQ(button->isChecked(), (item.flags & kAutoMark) != 0);
        }
        if (item.id != kStaticId) templateOrder.push_back(item.id);
        previous = control;
    }
    std::vector<int> focusOrder;
    for (QWidget* w = panel.nextInFocusChain(); w != &panel; w = w->nextInFocusChain()) {
        if (w->parentWidget() == &panel && w->property("controlId").isValid())
            focusOrder.push_back(w->property("controlId").toInt());
    }
    EXPECT_EQ(focusOrder, templateOrder);
}

}  // namespace
}  // namespace r512::test
