// The Names command against the simulated R512 on a pseudo-terminal, with the Qt event loop
// carrying the link's notices: download, dialog, check and paced upload, and everything the
// command does around them (disabled windows, cursors, messages).
#include <gtest/gtest.h>

#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <ctime>
#include <vector>

#include "base/Messages.h"
#include "device/DeviceLink.h"
#include "device/NamesFields.h"
#include "qt/GuiTestSupport.h"
#include "qt/NamesCommand.h"
#include "qt/NamesDialog.h"
#include "qt/QStringPrinter.h"
#include "qt/QtMessagePump.h"
#include "simulator/Simulator.h"
#include "ui/ResourceIds.h"

namespace r512::test {
namespace {

using namespace std::chrono_literals;
using sim::Simulator;

const std::vector<std::uint8_t> kNamesDone = {0xE0, 0x52, 0x53, 0x21, 0x01};

// The read notice, queued to the window as the program's own window queues it.
class NoticeEvent final : public QEvent {
public:
    static QEvent::Type Type() {
        static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
        return type;
    }
    NoticeEvent(std::uint32_t requested, std::uint32_t received)
        : QEvent(Type()), requested(requested), received(received) {}
    const std::uint32_t requested;
    const std::uint32_t received;
};

// Stands for the remote window: owns nothing, hands each notice to the link, counts paints.
class LinkWindow final : public QWidget, public NoticeTarget {
public:
    explicit LinkWindow(DeviceLink& link) : link_(link) { resize(200, 100); }
    void PostNotice(std::uint32_t, std::uint32_t requested, std::uint32_t received) override {
        QCoreApplication::postEvent(this, new NoticeEvent(requested, received));
    }
    int paints = 0;
    int presses = 0;

protected:
    void mousePressEvent(QMouseEvent*) override { ++presses; }
    bool event(QEvent* e) override {
        if (e->type() == NoticeEvent::Type()) {
            const auto* n = static_cast<NoticeEvent*>(e);
            link_.ProcessReceived(n->requested, n->received);
            return true;
        }
        return QWidget::event(e);
    }
    void paintEvent(QPaintEvent*) override { ++paints; }

private:
    DeviceLink& link_;
};

double ThreadCpuMs() {
    timespec t{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) * 1000.0 + static_cast<double>(t.tv_nsec) / 1e6;
}

class NamesCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string error;
        device = Simulator::OpenPseudoTerminal(&error);
        ASSERT_TRUE(device) << error;
        SetMessageSink([this](int id, const std::string&) { messages.push_back(id); });
        window.show();
        QObject::connect(panelButton, &QPushButton::clicked, [this] { ++panelClicks; });
        panel.show();
    }
    void TearDown() override {
        NamesDialog::SetModalRun(nullptr);
        SetMessageSink(nullptr);
        while (QGuiApplication::overrideCursor()) QGuiApplication::restoreOverrideCursor();
    }

    bool Connect() {
        return link.OpenPort(device->PortPath().c_str(), "baud=11520 parity=N data=8 stop=1",
                             &window) == SerialLink::OpenResult::Opened;
    }

    void Run() {
        RunNamesCommand(
            link, &window, &panel, [this](bool busy) { cursorCalls.push_back(busy); }, pump);
        EXPECT_EQ(ClicksTaken(), 2);
        EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
        EXPECT_FALSE(link.NamesPending());
    }

    std::vector<std::uint8_t> ReceivedBytes() const {
        std::vector<std::uint8_t> bytes;
        for (const auto& r : device->Received()) bytes.push_back(r.byte);
        return bytes;
    }

    // Nothing more than `count` bytes reaches the device within a short while.
    void ExpectNoMoreThan(std::size_t count) {
        EXPECT_FALSE(device->WaitForReceived(count + 1, 300ms)) << "more was sent";
    }

    // How many of two clicks, one on the window and one on the Control Panel, reach them. While
    // the command blocks them, none does, and neither window looks disabled (greyed).
    int ClicksTaken() {
        EXPECT_TRUE(window.isEnabled() && panelButton->isEnabled());
        const int before = window.presses + panelClicks;
        QTest::mouseClick(&window, Qt::LeftButton);
        QTest::mouseClick(panelButton, Qt::LeftButton);
        return window.presses + panelClicks - before;
    }

    static std::string Field(const std::vector<std::uint8_t>& memory, int offset, int width) {
        return {memory.begin() + offset, memory.begin() + offset + width};
    }

    std::unique_ptr<Simulator> device;
    DeviceLink link;
    LinkWindow window{link};
    QWidget panel;
    QPushButton* panelButton = new QPushButton(QStringLiteral("Mute"), &panel);
    int panelClicks = 0;
    QtMessagePump pump;
    std::vector<int> messages;
    std::vector<bool> cursorCalls;
};

TEST_F(NamesCommandTest, DownloadFillsTheDialogAndOkUploadsExactlyTheEdits) {
    auto original = device->NamesMemory();  // the factory texts, and other bytes around them
    const std::string dvd = "DVD    ";
    std::copy(dvd.begin(), dvd.end(), original.begin() + 709);
    device->SetNamesMemory(original);
    ASSERT_TRUE(Connect());

    QStringList offered;
    bool blockedMeanwhile = false;
    NamesDialog::SetModalRun([&](NamesDialog& d) {
        for (int i = 0; i < NamesDialog::kTextCount; ++i) offered << TextField(d, i)->text();
        blockedMeanwhile = ClicksTaken() == 0;
        TextField(d, 0)->setText(QStringLiteral("Seven78"));
        TextField(d, 1)->setText(QString());
        TextField(d, 8)->setText(QStringLiteral("FM"));
        TextField(d, 9)->setText(QStringLiteral("  Hello"));
        TextField(d, 12)->setText(QStringLiteral("bye") + QChar(0x7F));
        PushButton(d, 1)->click();
    });
    QElapsedTimer clock;
    clock.start();
    Run();
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(blockedMeanwhile);
    EXPECT_EQ(cursorCalls, (std::vector<bool>{true, false}));
    const QStringList expected = {
        "Video 1", "DVD",   "Video 3",      "Video 4",          "Video 5",         "Video 6",  "CD",
        "Aux",     "Tuner", "   ZEL R-512", "Digital Surround", "To Infinity and", "beyond..."};
    EXPECT_EQ(offered, expected);

    ASSERT_TRUE(device->WaitForReceived(6 + 204 + 5, 5000ms));
    ExpectNoMoreThan(6 + 204 + 5);
    EXPECT_EQ(device->UploadsAccepted(), 1);
    const auto stored = device->NamesMemory();
    EXPECT_EQ(Field(stored, 702, 7), "Seven78");
    EXPECT_EQ(Field(stored, 709, 7), "       ");
    EXPECT_EQ(Field(stored, 758, 7), "FM     ");
    EXPECT_EQ(Field(stored, 400, 20), "  Hello             ");
    EXPECT_EQ(Field(stored, 460, 20), "bye\x7F                ");
    for (int i : {2, 3, 4, 5, 6, 7})
        EXPECT_EQ(Field(stored, 702 + 7 * i, 7), Field(original, 702 + 7 * i, 7)) << i;
    EXPECT_EQ(Field(stored, 420, 20), "Digital Surround    ");
    // The 49 bytes after name 9, and everything outside the names and messages, unchanged.
    for (int i = 0; i < IDC_SUBWOOFER; ++i) {
        if ((i >= 400 && i < 480) || (i >= 702 && i < 765)) continue;
        ASSERT_EQ(stored[static_cast<std::size_t>(i)], original[static_cast<std::size_t>(i)]) << i;
    }

    // On the line: request, 0x01, the upload of the two ranges alone, 0x01.
    const auto bytes = ReceivedBytes();
    std::vector<std::uint8_t> upload = {0xDD, 0x3B, 0x91, 0x5E, 0x27, 0xA4, 0x0F, 0x6C, 0xCF};
    upload.insert(upload.end(), stored.begin() + 702, stored.begin() + 814);
    upload.push_back(0xCA);
    upload.insert(upload.end(), stored.begin() + 400, stored.begin() + 440);
    upload.push_back(0xCB);
    upload.insert(upload.end(), stored.begin() + 440, stored.begin() + 480);
    upload.push_back(0xD4);
    std::vector<std::uint8_t> all = {0xDC};
    all.insert(all.end(), kNamesDone.begin(), kNamesDone.end());
    all.insert(all.end(), upload.begin(), upload.end());
    all.insert(all.end(), kNamesDone.begin(), kNamesDone.end());
    EXPECT_EQ(bytes, all);

    const auto received = device->Received();
    const double upload_ms =
        std::chrono::duration<double, std::milli>(received[6 + 204].at - received[6].at).count();
    EXPECT_GT(upload_ms, 2040.0);
    EXPECT_LT(upload_ms, 2500.0);
}

TEST_F(NamesCommandTest, NoPortOpenShows1041SendsNothingAndReadingWorksOnceOpened) {
    bool dialogRan = false;
    NamesDialog::SetModalRun([&](NamesDialog&) { dialogRan = true; });
    Run();
    EXPECT_EQ(messages, std::vector<int>{IDS_NAMES_READ_FAILED});
    EXPECT_FALSE(dialogRan);
    EXPECT_EQ(cursorCalls, (std::vector<bool>{true, false}));
    ExpectNoMoreThan(0);

    ASSERT_TRUE(Connect());
    ASSERT_TRUE(link.RequestRefresh());
    EXPECT_TRUE(WaitUntil(
        [&] {
            return !link.Mirror().AllPending() &&
                   link.Mirror().State(RS_THX) == RegisterState::Known;
        },
        5000));
    EXPECT_EQ(link.Mirror().Value(RS_VOLUME), device->Register(RS_VOLUME));
}

TEST_F(NamesCommandTest, TextsTheDeviceCantStoreAreRefusedWith1042AndNothingIsSent) {
    ASSERT_TRUE(Connect());
    const auto original = device->NamesMemory();
    const QString refused[] = {
        QStringLiteral("Caf") + QChar(0xE9),  // an accented letter
        QString(QChar(0x13)),
        QString(QChar(0x80)),
        QString(QChar(0xFF)),
        QStringLiteral("Euro ") + QChar(0x20AC),  // beyond the single-byte range
    };
    std::size_t sent = 0;
    for (const QString& text : refused) {
        messages.clear();
        NamesDialog::SetModalRun([&](NamesDialog& d) {
            TextField(d, 10)->setText(text);
            PushButton(d, 1)->click();
        });
        Run();
        EXPECT_EQ(messages, std::vector<int>{IDS_NAMES_WRITE_FAILED}) << text.toStdString();
        sent += 6;  // the request and 0x01 of the download, nothing else
        ASSERT_TRUE(device->WaitForReceived(sent, 3000ms));
        ExpectNoMoreThan(sent);
        // The image keeps the refused text, padded, until the next download.
        EXPECT_EQ(link.NamesImage()[420 + static_cast<std::size_t>(text.size())], ' ');
    }
    EXPECT_EQ(device->NamesMemory(), original);
    EXPECT_EQ(device->UploadsAccepted(), 0);
}

TEST_F(NamesCommandTest, CancelSendsNothingAndDefaultsThenCancelChangesNothing) {
    ASSERT_TRUE(Connect());
    const auto original = device->NamesMemory();
    auto edited = original;
    const std::string other = "Other  ";
    std::copy(other.begin(), other.end(), edited.begin() + 702);
    device->SetNamesMemory(edited);

    NamesDialog::SetModalRun([&](NamesDialog& d) {
        TextField(d, 0)->setText(QStringLiteral("Typed"));
        PushButton(d, 2)->click();
    });
    Run();
    NamesDialog::SetModalRun([&](NamesDialog& d) {
        PushButton(d, 3)->click();
        PushButton(d, 2)->click();
    });
    Run();
    EXPECT_TRUE(messages.empty());
    ASSERT_TRUE(device->WaitForReceived(12, 3000ms));
    ExpectNoMoreThan(12);
    EXPECT_EQ(device->NamesMemory(), edited);
    EXPECT_TRUE(std::equal(edited.begin(), edited.end(), link.NamesImage().begin()));
}

TEST_F(NamesCommandTest, EnterOnAFocusedDefaultsOrCancelUploadsNothing) {
    ASSERT_TRUE(Connect());
    const auto original = device->NamesMemory();
    NamesDialog::SetModalRun([&](NamesDialog& d) {
        TextField(d, 0)->setText(QStringLiteral("Typed"));
        PressEnterOn(d, IDC_DEFAULTS);  // the factory texts; the dialog stays
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(TextField(d, 0)->text(), QStringLiteral("Video 1"));
        EXPECT_EQ(PressEnterOn(d, IDC_CANCEL), QDialog::Rejected);
        EXPECT_FALSE(d.isVisible());
    });
    Run();
    ASSERT_TRUE(device->WaitForReceived(6, 3000ms));  // the download's request alone
    ExpectNoMoreThan(6);
    EXPECT_EQ(device->UploadsAccepted(), 0);
    EXPECT_EQ(device->NamesMemory(), original);
}

TEST_F(NamesCommandTest, DefaultsThenOkStoresTheFactoryTexts) {
    std::vector<std::uint8_t> memory(IDC_SUBWOOFER, 'q');
    device->SetNamesMemory(memory);
    ASSERT_TRUE(Connect());
    NamesDialog::SetModalRun([&](NamesDialog& d) {
        PushButton(d, 3)->click();
        PushButton(d, 1)->click();
    });
    Run();
    ASSERT_TRUE(device->WaitForReceived(6 + 204 + 5, 5000ms));
    const auto stored = device->NamesMemory();
    EXPECT_EQ(Field(stored, 400, 20), "   ZEL R-512        ");
    EXPECT_EQ(Field(stored, 420, 20), "Digital Surround    ");
    EXPECT_EQ(Field(stored, 440, 20), "To Infinity and     ");
    EXPECT_EQ(Field(stored, 460, 20), "beyond...           ");
    EXPECT_EQ(Field(stored, 702, 63),
              "Video 1Video 2Video 3Video 4Video 5Video 6CD     Aux    Tuner  ");
    EXPECT_EQ(Field(stored, 765, 49), std::string(49, 'q'));
}

TEST_F(NamesCommandTest, InvalidDeviceMemoryShows1041AndTheDialogDoesNotOpen) {
    auto memory = device->NamesMemory();
    memory[811] = 0x05;
    device->SetNamesMemory(memory);
    ASSERT_TRUE(Connect());
    bool dialogRan = false;
    NamesDialog::SetModalRun([&](NamesDialog&) { dialogRan = true; });
    Run();
    EXPECT_FALSE(dialogRan);
    EXPECT_EQ(messages, std::vector<int>{IDS_NAMES_READ_FAILED});
    ASSERT_TRUE(device->WaitForReceived(6, 3000ms));
    ExpectNoMoreThan(6);
}

// After a good download, a download that is not the device's whole memory in place (no reply,
// a report ahead of or behind every reply) is never offered for editing, so never uploaded:
// the user is told the names could not be read.
TEST_F(NamesCommandTest, ADownloadNotKnownWholeIsNeverOfferedNorUploaded) {
    ASSERT_TRUE(Connect());
    NamesDialog::SetModalRun([&](NamesDialog& d) { PushButton(d, 2)->click(); });
    Run();
    ASSERT_TRUE(messages.empty());
    struct Case {
        const char* what;
        sim::Faults faults;
    };
    sim::Faults silent, ahead, behind;
    silent.namesReply = sim::Faults::NamesReply::None;
    ahead.namesReportAt = 0;
    behind.namesReportAt = 1024;
    for (const Case& c :
         {Case{"silent", silent}, Case{"report ahead", ahead}, Case{"report behind", behind}}) {
        device->SetFaults(c.faults);
        messages.clear();
        bool dialogRan = false;
        NamesDialog::SetModalRun([&](NamesDialog& d) {
            dialogRan = true;
            d.accept();  // would upload what it was given
        });
        Run();
        EXPECT_FALSE(dialogRan) << c.what;
        EXPECT_EQ(messages, std::vector<int>{IDS_NAMES_READ_FAILED}) << c.what;
        EXPECT_EQ(device->UploadsAccepted() + device->UploadsRefused(), 0) << c.what;
    }
}

TEST_F(NamesCommandTest, TheProgramKeepsPaintingAndItsTimersRunDuringTheDownload) {
    sim::Faults faults;
    faults.namesReply = sim::Faults::NamesReply::Slow;  // about 0.8 s
    device->SetFaults(faults);
    ASSERT_TRUE(Connect());
    ASSERT_TRUE(WaitUntil([&] { return window.paints > 0; }, 3000));

    int ticks = 0;
    int paintsAtStart = 0;
    bool sawBlocked = false;
    bool sawWaitCursor = false;
    bool refreshRefused = false;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        if (!link.NamesPending()) return;
        if (ticks++ == 0) {
            paintsAtStart = window.paints;
            // The retry of a refresh would have its answer land in the names image.
            refreshRefused = !link.RequestRefresh();
        }
        window.update();
        sawBlocked = ClicksTaken() == 0;
        sawWaitCursor = QGuiApplication::overrideCursor() &&
                        QGuiApplication::overrideCursor()->shape() == Qt::WaitCursor;
    });
    timer.start(20);

    double cpuAtDialog = 0;
    qint64 wallAtDialog = 0;
    QElapsedTimer wall;
    NamesDialog::SetModalRun([&](NamesDialog& d) {
        cpuAtDialog = ThreadCpuMs();
        wallAtDialog = wall.elapsed();
        PushButton(d, 2)->click();
    });
    const double cpuAtStart = ThreadCpuMs();
    wall.start();
    Run();
    timer.stop();

    EXPECT_GE(ticks, 10);
    EXPECT_GT(window.paints, paintsAtStart);
    EXPECT_TRUE(sawBlocked);
    EXPECT_TRUE(sawWaitCursor);
    EXPECT_TRUE(refreshRefused);
    EXPECT_TRUE(messages.empty());
    // Waiting sleeps: the thread used well under half of the time the download took.
    ASSERT_GT(wallAtDialog, 500);
    EXPECT_LT(cpuAtDialog - cpuAtStart, 0.5 * static_cast<double>(wallAtDialog))
        << "cpu " << (cpuAtDialog - cpuAtStart) << " ms over " << wallAtDialog << " ms";
    ASSERT_TRUE(device->WaitForReceived(6, 3000ms));
    ExpectNoMoreThan(6);  // the refused refresh never went out
}

TEST_F(NamesCommandTest, TheDialogRunsModallyOverTheCommand) {
    ASSERT_TRUE(Connect());
    QString seen;
    QTimer user;
    QObject::connect(&user, &QTimer::timeout, [&] {
        auto* shown = dynamic_cast<NamesDialog*>(QApplication::activeModalWidget());
        if (!shown) return;
        user.stop();
        seen = shown->windowTitle();
        TextField(*shown, 7)->setText(QStringLiteral("Phono"));
        PushButton(*shown, 1)->click();
    });
    user.start(10);
    Run();
    EXPECT_EQ(seen, QStringLiteral("R512"));
    ASSERT_TRUE(device->WaitForReceived(6 + 204 + 5, 5000ms));
    EXPECT_EQ(Field(device->NamesMemory(), 751, 7), "Phono  ");
}

}  // namespace
}  // namespace r512::test
