// The Names dialog on its own: its font, the length limits, Defaults, and what OK and Cancel
// hand back.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "qt/GuiTestSupport.h"
#include "qt/NamesDialog.h"
#include "qt/QStringPrinter.h"

namespace r512::test {
namespace {

class NamesDialogTest : public ::testing::Test {
protected:
    void TearDown() override { NamesDialog::SetModalRun(nullptr); }
};

// Its layout is checked against its template with the other dialogs' (DialogTemplatesTest).
TEST_F(NamesDialogTest, FixedPitchFontAndTheDevicesLengthLimits) {
    NamesDialog dialog;
    EXPECT_TRUE(QFontInfo(dialog.font()).fixedPitch())
        << QFontInfo(dialog.font()).family().toStdString();
    EXPECT_EQ(dialog.font().pointSize(), 8);
    for (int i = 0; i < NamesDialog::kTextCount; ++i) {
        ASSERT_TRUE(TextField(dialog, i)) << i;
        EXPECT_EQ(TextField(dialog, i)->maxLength(), i < 9 ? 7 : 20) << i;
    }
}

TEST_F(NamesDialogTest, NoEighthCharacterInANameAndNoTwentyFirstInALine) {
    NamesDialog dialog;
    NamesDialog::SetModalRun([&](NamesDialog& d) {
        d.show();
        d.activateWindow();
        TextField(d, 4)->setFocus();
        QTest::keyClicks(TextField(d, 4), QStringLiteral("ABCDEFGHIJ"));
        QTest::keyClicks(TextField(d, 11), QStringLiteral("abcdefghijklmnopqrstuvwxyz"));
        PushButton(d, 1)->click();
    });
    EXPECT_EQ(dialog.DoModal(), QDialog::Accepted);
    EXPECT_EQ(dialog.texts[4], QStringLiteral("ABCDEFG"));
    EXPECT_EQ(dialog.texts[11], QStringLiteral("abcdefghijklmnopqrst"));
}

TEST_F(NamesDialogTest, OkHandsBackTheFieldsAsTheyStand) {
    NamesDialog dialog;
    for (int i = 0; i < NamesDialog::kTextCount; ++i)
        dialog.texts[static_cast<std::size_t>(i)] = "x";
    NamesDialog::SetModalRun([&](NamesDialog& d) {
        TextField(d, 0)->setText(QStringLiteral("  Lead"));
        TextField(d, 12)->setText(QString());
        PushButton(d, 1)->click();
    });
    EXPECT_EQ(dialog.DoModal(), QDialog::Accepted);
    EXPECT_EQ(dialog.texts[0], QStringLiteral("  Lead"));
    EXPECT_EQ(dialog.texts[12], QString());
    EXPECT_EQ(dialog.texts[5], QStringLiteral("x"));
}

TEST_F(NamesDialogTest, DefaultsPutTheFactoryTextsIntoTheFields) {
    NamesDialog dialog;
    QStringList shown;
    NamesDialog::SetModalRun([&](NamesDialog& d) {
        PushButton(d, 3)->click();
        for (int i = 0; i < NamesDialog::kTextCount; ++i) shown << TextField(d, i)->text();
        PushButton(d, 1)->click();
    });
    EXPECT_EQ(dialog.DoModal(), QDialog::Accepted);
    const QStringList expected = {
        "Video 1",  "Video 2", "Video 3", "Video 4",      "Video 5",          "Video 6",
        "CD",       "Aux",     "Tuner",   "   ZEL R-512", "Digital Surround", "To Infinity and",
        "beyond..."};
    EXPECT_EQ(shown, expected);
    for (int i = 0; i < NamesDialog::kTextCount; ++i)
        EXPECT_EQ(dialog.texts[static_cast<std::size_t>(i)], expected[i]);
}

TEST_F(NamesDialogTest, DefaultsThenCancelEndsRejected) {
    NamesDialog dialog;
    NamesDialog::SetModalRun([&](NamesDialog& d) {
        PushButton(d, 3)->click();
        PushButton(d, 2)->click();
    });
    EXPECT_EQ(dialog.DoModal(), QDialog::Rejected);
}

TEST_F(NamesDialogTest, RunsModallyWithoutTheHook) {
    NamesDialog dialog;
    dialog.texts[6] = QStringLiteral("CD");
    QString seen;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
        auto* shown = dynamic_cast<NamesDialog*>(QApplication::activeModalWidget());
        if (!shown) return;
        user.stop();
        seen = TextField(*shown, 6)->text();
        TextField(*shown, 6)->setText(QStringLiteral("Phono"));
        QTest::mouseClick(PushButton(*shown, 1), Qt::LeftButton);
    });
    user.start(10);
    QTimer giveUp;
    giveUp.setSingleShot(true);
    QObject::connect(&giveUp, &QTimer::timeout, [&] { dialog.reject(); });
    giveUp.start(10000);
    EXPECT_EQ(dialog.DoModal(), QDialog::Accepted);
    EXPECT_EQ(seen, QStringLiteral("CD"));
    EXPECT_EQ(dialog.texts[6], QStringLiteral("Phono"));
}

}  // namespace
}  // namespace r512::test
