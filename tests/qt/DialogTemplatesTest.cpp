// The Qt dialogs against the core's templates (which the Windows test holds the resource script
// to): each control in the template's order and the Tab order, of its kind, with its text,
// identifier, state and Tab stop, at its rectangle in the dialog units of the dialog's font.
// And the builder's kinds and radio groups on a small template of its own.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QToolButton>
#include <vector>

#include "qt/AboutDialog.h"
#include "qt/ConfigDialog.h"
#include "qt/ControlPanelDialog.h"
#include "qt/DialogControls.h"
#include "qt/GuiTestSupport.h"
#include "qt/NamesDialog.h"
#include "qt/PopupPanel.h"
#include "qt/QtDialogUnits.h"
#include "qt/QtProfile.h"
#include "qt/TemplateControls.h"
#include "ui/ControlPanelTemplate.h"
#include "ui/DialogTemplates.h"

namespace r512::test {
namespace {

QRect InPixels(const DialogUnits& u, const DialogItem& item) {
    const DialogUnits::PixelRect r = u.Rect(item.x, item.y, item.width, item.height);
    return {r.x, r.y, r.width, r.height};
}

// The widget is the template item's kind, with its text.
void ExpectKind(QWidget* widget, const DialogItem& item) {
    const QString text = QString::fromLatin1(item.text);
    switch (item.kind) {
        case ControlKind::Label:
        case ControlKind::CentredLabel: {
            auto* label = qobject_cast<QLabel*>(widget);
            ASSERT_TRUE(label);
            EXPECT_EQ(label->text(), text);
            EXPECT_EQ(label->alignment() & Qt::AlignHorizontal_Mask,
                      item.kind == ControlKind::Label ? Qt::AlignLeft : Qt::AlignHCenter);
            break;
        }
        case ControlKind::Icon: {
            auto* label = qobject_cast<QLabel*>(widget);
            ASSERT_TRUE(label);
            EXPECT_FALSE(label->pixmap().isNull());
            break;
        }
        case ControlKind::GroupBox:
            ASSERT_TRUE(qobject_cast<QGroupBox*>(widget));
            EXPECT_EQ(qobject_cast<QGroupBox*>(widget)->title(), text);
            break;
        case ControlKind::Edit:
        case ControlKind::ComboBox:
            ASSERT_TRUE(qobject_cast<QLineEdit*>(widget));
            EXPECT_EQ(qobject_cast<QLineEdit*>(widget)->isReadOnly(),
                      (item.flags & kReadOnly) != 0);
            break;
        case ControlKind::CheckBox:
            ASSERT_TRUE(qobject_cast<QCheckBox*>(widget));
            EXPECT_EQ(qobject_cast<QCheckBox*>(widget)->text(), text);
            break;
        case ControlKind::RadioButton:
            ASSERT_TRUE(qobject_cast<QRadioButton*>(widget));
            EXPECT_EQ(qobject_cast<QRadioButton*>(widget)->text(), text);
            break;
        case ControlKind::PushButton:
        case ControlKind::DefaultButton: {
            auto* button = qobject_cast<QPushButton*>(widget);
            ASSERT_TRUE(button);
            EXPECT_EQ(button->text(), text);
            EXPECT_EQ(button->isDefault(), item.kind == ControlKind::DefaultButton);
            break;
        }
        case ControlKind::UpDown:
            EXPECT_TRUE(dynamic_cast<UpDownControl*>(widget));
            break;
    }
}

// `client` (the dialog, or a popup's area inside its frame) holds the template's controls and
// nothing else, in the template's order, and Tab visits them in that order. A label that wraps
// may grow to fit its words in a wider face than the layout was drawn for: the group around it
// and the dialog grow by as much.
void ExpectBuiltFrom(const QWidget& client, const DialogTemplate& layout) {
    const DialogUnits u = DialogUnitsFor(client.font());
    if (layout.caption[0] != '\0') {
        EXPECT_EQ(client.windowTitle(), QString::fromLatin1(layout.caption));
    }
    const QList<QWidget*> widgets = client.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    ASSERT_EQ(widgets.size(), static_cast<qsizetype>(layout.items.size()));
    int grown = 0;
    for (std::size_t i = 0; i < layout.items.size(); ++i) {
        const DialogItem& item = layout.items[i];
        QWidget* widget = widgets[static_cast<qsizetype>(i)];
        SCOPED_TRACE("item " + std::to_string(i) + " id " + std::to_string(item.id) + " \"" +
                     item.text + "\"");
        ExpectKind(widget, item);
        EXPECT_EQ(widget->property("controlId").isValid(), item.id != kStaticId);
        if (item.id != kStaticId) {
            EXPECT_EQ(widget->property("controlId").toInt(), item.id);
        }
        EXPECT_EQ(widget->isEnabled(), (item.flags & kDisabled) == 0);

        // Tab stops where the template has one: a radio group at its checked button, or at
        // its first while none is checked.
        EXPECT_EQ((widget->focusPolicy() & Qt::TabFocus) != 0, (item.flags & kTabStop) != 0);

        const QRect expected = InPixels(u, item);
        if (item.kind == ControlKind::UpDown) {
            // Inside the right edge of the field before it, as tall, as on Windows.
            ASSERT_GT(i, 0u);
            const QRect field = widgets[static_cast<qsizetype>(i) - 1]->geometry();
            EXPECT_EQ(widget->geometry(), QRect(field.right() + 1 - expected.width(), field.top(),
                                                expected.width(), field.height()));
            continue;
        }
        const QRect placed = widget->geometry();
        EXPECT_EQ(placed.topLeft(), expected.topLeft());
        if (item.kind == ControlKind::Icon) {
            EXPECT_GE(placed.width(), expected.width());  // at the icon's own size at least
        } else if (item.kind == ControlKind::ComboBox) {
            EXPECT_EQ(placed.width(), expected.width());  // closed: one line high
        } else if (item.kind == ControlKind::Label && item.height > 8) {
            EXPECT_EQ(placed.width(), expected.width());
            EXPECT_GE(placed.height(), expected.height());
            grown += placed.height() - expected.height();
        } else if (item.kind == ControlKind::GroupBox) {
            EXPECT_EQ(placed.width(), expected.width());
            EXPECT_GE(placed.height(), expected.height());
        } else {
            EXPECT_EQ(placed.size(), expected.size());
        }
    }
    EXPECT_EQ(client.size(), QSize(u.X(layout.width), u.Y(layout.height) + grown));

    // Tab and the focus chain visit the controls in the template's order.
    std::vector<const QWidget*> chain;
    for (QWidget* w = client.nextInFocusChain(); w != &client && chain.size() < 200;
         w = w->nextInFocusChain()) {
        if (widgets.contains(w)) chain.push_back(w);
    }
    std::vector<const QWidget*> inOrder(widgets.begin(), widgets.end());
    EXPECT_EQ(chain, inOrder);
}

TEST(DialogTemplatesQt, EachDialogIsBuiltFromItsTemplate) {
    ClearSettings();
    QtProfile profile;
    QWidget owner;
    NamesDialog names;
    ConfigDialog config(profile);
    ControlPanelDialog panel(nullptr);
    AboutDialog about;
    ToneDialog tone(&owner);
    LevelsDialog levels(&owner);
    struct Case {
        const char* name;
        const QWidget& client;
        const DialogTemplate& layout;
    };
    for (const Case& c :
         {Case{"names", names, kNamesTemplate}, Case{"config", config, kConfigTemplate},
          Case{"control panel", panel, kControlPanelTemplate}, Case{"about", about, kAboutTemplate},
          Case{"tone", *tone.findChild<QWidget*>(QStringLiteral("client")), kToneTemplate},
          Case{"levels", *levels.findChild<QWidget*>(QStringLiteral("client")), kLevelsTemplate}}) {
        SCOPED_TRACE(c.name);
        ExpectBuiltFrom(c.client, c.layout);
    }
}

// The kinds the dialogs above don't use, and radio groups of both kinds.
constexpr DialogItem kSampleItems[] = {
    {10, ControlKind::Edit, "", 10, 5, 30, 12, kGroupStart | kTabStop | kReadOnly},
    {11, ControlKind::UpDown, "", 35, 5, 11, 10},
    {12, ControlKind::CheckBox, "Plain", 10, 20, 40, 10, kGroupStart | kTabStop},
    {13, ControlKind::CheckBox, "Auto", 10, 30, 40, 10, kGroupStart | kTabStop | kAutoMark},
    {20, ControlKind::RadioButton, "A1", 60, 5, 30, 10, kGroupStart | kTabStop | kAutoMark},
    {21, ControlKind::RadioButton, "A2", 60, 15, 30, 10, kAutoMark},
    {30, ControlKind::RadioButton, "B1", 60, 30, 30, 10, kGroupStart | kTabStop | kAutoMark},
    {31, ControlKind::RadioButton, "B2", 60, 40, 30, 10, kAutoMark},
    {40, ControlKind::RadioButton, "P1", 100, 5, 30, 10, kGroupStart | kTabStop},
    {41, ControlKind::RadioButton, "P2", 100, 15, 30, 10},
};
constexpr DialogTemplate kSample{"Sample", 140, 60, kSampleItems};

TEST(DialogTemplatesQt, BuilderMakesEveryKindAndKeepsRadioGroupsApart) {
    QWidget client;
    client.setFont(DialogFont());
    std::vector<std::pair<int, int>> presses;
    const TemplateControls controls(kSample, &client,
                                    [&](int id, int delta) { presses.emplace_back(id, delta); });
    ExpectBuiltFrom(client, kSample);

    // The up-down reports its presses with its identifier.
    for (QToolButton* arrow : controls.Control(11)->findChildren<QToolButton*>()) arrow->click();
    EXPECT_EQ(presses, (std::vector<std::pair<int, int>>{{11, -1}, {11, +1}}));

    // A plain check box shows only what the program sets; an automatic one follows the click.
    controls.Get<QCheckBox>(12)->click();
    controls.Get<QCheckBox>(13)->click();
    EXPECT_FALSE(controls.Get<QCheckBox>(12)->isChecked());
    EXPECT_TRUE(controls.Get<QCheckBox>(13)->isChecked());
    // Each is a group of its own: the arrows leave the focus where it is.
    ASSERT_TRUE(ShowActive(client));
    EXPECT_EQ(PressKeyOn(client, 12, Qt::Key_Down), controls.Control(12));
    EXPECT_EQ(PressKeyOn(client, 13, Qt::Key_Up), controls.Control(13));

    // Automatic radio groups are exclusive each on its own; plain ones leave the marks alone.
    struct Click {
        int id;
        std::vector<int> checked;
    };
    for (const Click& c : {Click{20, {20}}, Click{30, {20, 30}}, Click{21, {21, 30}},
                           Click{31, {21, 31}}, Click{40, {21, 31}}}) {
        controls.Get<QRadioButton>(c.id)->click();
        std::vector<int> checked;
        for (int id : {20, 21, 30, 31, 40, 41})
            if (controls.Get<QRadioButton>(id)->isChecked()) checked.push_back(id);
        EXPECT_EQ(checked, c.checked) << c.id;
    }
    controls.Get<QRadioButton>(41)->setChecked(true);  // the program marks a plain one
    controls.Get<QRadioButton>(40)->setChecked(true);
    EXPECT_TRUE(controls.Get<QRadioButton>(41)->isChecked());  // and unmarks it itself
    EXPECT_EQ(controls.Control(99), nullptr);
}

}  // namespace
}  // namespace r512::test
