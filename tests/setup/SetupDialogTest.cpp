// The setup dialog from template 101, run modally on the test's thread while a second thread
// works it like a user: keys through the dialog manager, the close box through the system menu.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <thread>

#include "SetupDialog.h"
#include "SetupFixture.h"
#include "SetupResource.h"
#include "support/ShortcutReader.h"
#include "support/Waiting.h"
#include "support/WindowFinder.h"

namespace {

using namespace r512;
using testkit::kUninstallEntry;

constexpr DWORD kWindowTimeoutMs = 15000;

class SetupDialogTest : public testkit::SetupFixture {
protected:
    // Runs the dialog; user acts on it from another thread once it is shown. If the dialog is
    // still open well after the user's actions, the close box is pressed and answered Yes by the
    // double's fallback, so that the test ends and reports instead of hanging.
    void RunDialog(const std::function<void(HWND)>& user) {
        boxes.SetUnscriptedAnswer(IDYES);
        const DWORD dialogThread = GetCurrentThreadId();
        bool found = false;
        std::thread person([&] {
            const HWND dialog =
                testkit::WaitForWindow({dialogThread, 0}, "R512 Control Software Setup",
                                       "Select Operations to Perform:", kWindowTimeoutMs);
            found = dialog != nullptr;
            if (found) {
                user(dialog);
            }
            if (dialog != nullptr &&
                !testkit::WaitUntil([&] { return !IsWindow(dialog); }, kWindowTimeoutMs)) {
                PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
            }
        });
        result = DialogBoxParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_SETUP), nullptr,
                                 setup::SetupDialogProc, reinterpret_cast<LPARAM>(&context));
        person.join();
        ASSERT_TRUE(found) << "the dialog did not appear";
    }

    bool Installed() const { return testkit::ValueCount(registry.Machine(), kUninstallEntry) == 2; }

    INT_PTR result = -1;
};

// Clicks a check box once the dialog gets to the message, in order with the keys posted around it.
void ClickLater(HWND dialog, int id) { PostMessageA(GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

bool IsChecked(HWND dialog, int id) {
    return SendMessageA(GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

TEST_F(SetupDialogTest, OpensWithAllChoicesCheckedAndNextInstalls) {
    bool allChecked = false;
    RunDialog([&](HWND dialog) {
        allChecked = IsChecked(dialog, IDC_START_MENU_SHORTCUT) &&
                     IsChecked(dialog, IDC_DESKTOP_SHORTCUT) && IsChecked(dialog, IDC_RUN_PROGRAM);
        // Cleared, so that no program starts; the shortcuts stay chosen.
        SendMessageA(GetDlgItem(dialog, IDC_RUN_PROGRAM), BM_SETCHECK, BST_UNCHECKED, 0);
        // "Next >>" pressed with the mouse.
        PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
    });
    EXPECT_TRUE(allChecked);
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(Installed());
    EXPECT_TRUE(testkit::ReadShortcut(folders.StartMenuShortcut()).has_value());
    EXPECT_TRUE(testkit::ReadShortcut(folders.DesktopShortcut()).has_value());
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].text, "Installation Complete");
    EXPECT_EQ(boxes.Unscripted(), 1);  // answered OK by the fallback, as a person would
}

TEST_F(SetupDialogTest, ClearedBoxesAreReadWhenNextIsPressed) {
    RunDialog([&](HWND dialog) {
        for (int id : {IDC_START_MENU_SHORTCUT, IDC_RUN_PROGRAM}) {
            SendMessageA(GetDlgItem(dialog, id), BM_SETCHECK, BST_UNCHECKED, 0);
        }
        testkit::PressKey(dialog, VK_RETURN);
    });
    EXPECT_TRUE(Installed());
    EXPECT_FALSE(testkit::Exists(folders.Programs() + "\\ZEL"));
    EXPECT_TRUE(testkit::ReadShortcut(folders.DesktopShortcut()).has_value());
}

TEST_F(SetupDialogTest, EscapeLeavesTheDialogOpenAndEnterActsAsNext) {
    RunDialog([&](HWND dialog) {
        SendMessageA(GetDlgItem(dialog, IDC_RUN_PROGRAM), BM_SETCHECK, BST_UNCHECKED, 0);
        testkit::PressKey(dialog, VK_ESCAPE);
        // Queued behind the Escape: only an open dialog clears the desktop choice and then acts
        // on Enter. Had Escape installed, the desktop shortcut would be there.
        ClickLater(dialog, IDC_DESKTOP_SHORTCUT);
        testkit::PressKey(dialog, VK_RETURN);
    });
    EXPECT_TRUE(Installed());
    EXPECT_TRUE(testkit::Exists(folders.StartMenuShortcut()));
    EXPECT_FALSE(testkit::Exists(folders.DesktopShortcut()));
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].text, "Installation Complete");
}

TEST_F(SetupDialogTest, CloseBoxAsksAndNoKeepsTheDialogOpen) {
    boxes.Answer(IDNO);
    RunDialog([&](HWND dialog) {
        SendMessageA(GetDlgItem(dialog, IDC_RUN_PROGRAM), BM_SETCHECK, BST_UNCHECKED, 0);
        PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0);
        ClickLater(dialog, IDC_DESKTOP_SHORTCUT);
        testkit::PressKey(dialog, VK_RETURN);
    });
    ASSERT_GE(boxes.Shown().size(), 2u);
    const testkit::ShownBox& question = boxes.Shown()[0];
    EXPECT_EQ(question.text, setup::kExitQuestion);
    EXPECT_EQ(question.caption, "R512 Control Software Setup");
    EXPECT_EQ(question.type, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION));
    EXPECT_NE(question.owner, nullptr);  // the dialog
    EXPECT_EQ(boxes.Shown()[1].text, "Installation Complete");
    EXPECT_TRUE(Installed());
    EXPECT_FALSE(testkit::Exists(folders.DesktopShortcut()));
}

TEST_F(SetupDialogTest, ClicksWhileTheCompletionIsShownDoNotRunTheStepsAgain) {
    std::atomic<HWND> shown{nullptr};
    // "Installation Complete" has no owner, so the dialog stays enabled and the box's message
    // loop hands it what a person does meanwhile: "Next >>" once more, then the close box.
    boxes.Answer(IDOK, [&] {
        const HWND dialog = shown.load();
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
        SendMessageA(dialog, WM_CLOSE, 0, 0);
    });
    RunDialog([&](HWND dialog) {
        shown = dialog;
        testkit::PressKey(dialog, VK_RETURN);
    });
    EXPECT_EQ(result, 0);
    // One completion, no second one and no exit question (either would be answered Yes).
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].text, "Installation Complete");
    ASSERT_TRUE(testkit::WaitUntil([&] { return ProgramStarts() >= 1; }, 15000));
    EXPECT_FALSE(testkit::WaitUntil([&] { return ProgramStarts() > 1; }, 500));
}

TEST_F(SetupDialogTest, CloseBoxAnsweredYesEndsWithoutInstalling) {
    boxes.Answer(IDYES);
    RunDialog([&](HWND dialog) { PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); });
    EXPECT_EQ(result, 0);
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].text, setup::kExitQuestion);
    EXPECT_FALSE(Installed());
    EXPECT_FALSE(testkit::Exists(folders.DesktopShortcut()));
}

}  // namespace
