// The resource script's Names, Program Configuration, About, Tone and Levels dialogs against the
// core's templates of them, the ones the Qt dialogs are built from: where the two disagree, the
// two programs would show different dialogs.
#include <gtest/gtest.h>

#include "DialogTemplateMatch.h"
#include "ui/DialogTemplates.h"
#include "win32/Win32Resources.h"

namespace r512::test {
namespace {

TEST(DialogTemplates, ResourceScriptHoldsTheCoresTemplates) {
    ExpectResourceMatches(IDD_NAMES, kNamesTemplate);
    ExpectResourceMatches(IDD_CONFIG, kConfigTemplate);
    ExpectResourceMatches(IDD_ABOUT, kAboutTemplate);
    ExpectResourceMatches(IDD_TONE, kToneTemplate);
    ExpectResourceMatches(IDD_LEVELS, kLevelsTemplate);
}

}  // namespace
}  // namespace r512::test
