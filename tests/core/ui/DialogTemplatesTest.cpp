// What every dialog template must hold for both front ends to build a working dialog from it:
// each control within the dialog's width, identifiers that tell the controls apart, every radio
// group and up-down control where the dialog manager looks for them, one default button at most.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "ui/ControlPanelTemplate.h"
#include "ui/DialogTemplates.h"

namespace r512::test {
namespace {

TEST(DialogTemplates, EachTemplateMakesAWorkingDialog) {
    for (const DialogTemplate* dialog :
         {&kNamesTemplate, &kConfigTemplate, &kAboutTemplate, &kToneTemplate, &kLevelsTemplate,
          &kControlPanelTemplate}) {
        SCOPED_TRACE(std::string("template \"") + dialog->caption + "\" " +
                     std::to_string(dialog->width));
        std::set<int> ids;
        int defaults = 0;
        ControlKind previous = ControlKind::Label;
        for (const DialogItem& item : dialog->items) {
            SCOPED_TRACE(std::string("item \"") + item.text + "\" " + std::to_string(item.id));
            EXPECT_GE(item.x, 0);
            EXPECT_GE(item.y, 0);
            EXPECT_LE(item.x + item.width, dialog->width);
            // Some reach past the bottom edge: a drop-down's opened list, and the Tone popup's
            // second row by a unit, as the template has it.
            EXPECT_LT(item.y, dialog->height);
            if (item.id != kStaticId) {
                EXPECT_TRUE(ids.insert(item.id).second) << "used twice";
            }
            if (item.kind == ControlKind::DefaultButton) ++defaults;
            // A radio group starts at a group-flagged button; a button after another control
            // without the flag would join that control's group.
            if (item.kind == ControlKind::RadioButton && previous != ControlKind::RadioButton) {
                EXPECT_NE(item.flags & kGroupStart, 0);
            }
            // An up-down control works on the field just before it.
            if (item.kind == ControlKind::UpDown) {
                EXPECT_EQ(previous, ControlKind::Edit);
            }
            previous = item.kind;
        }
        EXPECT_LE(defaults, 1);
    }
}

}  // namespace
}  // namespace r512::test
