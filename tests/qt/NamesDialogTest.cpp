// The Names dialog on its own: its layout and font, the length limits, Defaults, and what OK and
// Cancel hand back.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "qt/GuiTestSupport.h"
#include "qt/NamesDialog.h"
#include "qt/QStringPrinter.h"
#include "qt/QtDialogUnits.h"
#include "ui/ResourceIds.h"

namespace r512::test {
namespace {

class NamesDialogTest : public ::testing::Test {
protected:
    void TearDown() override { NamesDialog::SetModalRun(nullptr); }
};

TEST_F(NamesDialogTest, LaidOutInItsFixedPitchFontFromTheDialogUnitTable) {
    NamesDialog dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("R512"));
    EXPECT_TRUE(QFontInfo(dialog.font()).fixedPitch())
        << QFontInfo(dialog.font()).family().toStdString();
    EXPECT_EQ(dialog.font().pointSize(), 8);
    const DialogUnits u = DialogUnitsFor(dialog.font());
    EXPECT_EQ(dialog.size(), QSize(u.X(182), u.Y(161)));

    const int nameY[9] = {20, 36, 50, 65, 81, 95, 110, 126, 140};
    for (int n = 0; n < 9; ++n) {
        QLineEdit* field = TextField(dialog, n);
        ASSERT_TRUE(field);
        EXPECT_EQ(field->property("controlId").toInt(), IDC_SOURCE_NAME_1 + n);
        EXPECT_EQ(field->geometry(), QRect(u.X(15), u.Y(nameY[n]), u.X(45), u.Y(12))) << n;
        EXPECT_EQ(field->maxLength(), 7);
    }
    const int lineY[4] = {20, 36, 80, 96};
    for (int i = 0; i < 4; ++i) {
        QLineEdit* field = TextField(dialog, 9 + i);
        ASSERT_TRUE(field);
        EXPECT_EQ(field->property("controlId").toInt(), IDC_WELCOME_1 + i);
        EXPECT_EQ(field->geometry(), QRect(u.X(85), u.Y(lineY[i]), u.X(85), u.Y(12))) << i;
        EXPECT_EQ(field->maxLength(), 20);
    }
    struct Expected {
        int id;
        const char* text;
        int x, y;
    };
    for (const Expected& e : {Expected{3, "Defaults", 125, 120}, Expected{1, "OK", 70, 140},
                              Expected{2, "Cancel", 125, 140}}) {
        QPushButton* button = PushButton(dialog, e.id);
        ASSERT_TRUE(button) << e.id;
        EXPECT_EQ(button->text(), QString::fromLatin1(e.text));
        EXPECT_EQ(button->geometry(), QRect(u.X(e.x), u.Y(e.y), u.X(50), u.Y(14)));
        EXPECT_EQ(button->isDefault(), e.id == 1);
    }
    QStringList labels;
    for (QLabel* label : dialog.findChildren<QLabel*>()) labels << label->text();
    for (const char* text : {"Source Names:", "Welcome Message:", "Standby Message:"})
        EXPECT_TRUE(labels.contains(QString::fromLatin1(text))) << text;
    EXPECT_EQ(labels.count(QStringLiteral("1")), 3);
    EXPECT_EQ(labels.count(QStringLiteral("9")), 1);
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
