// Connecting, the read notices and the window's timers, over a port the test controls.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "base/BlockingNoticeQueue.h"
#include "base/Messages.h"
#include "base/SettingsLayout.h"
#include "support/FakePortChannel.h"
#include "support/MemoryProfile.h"
#include "support/RecordingWindowTimers.h"
#include "ui/ConnectionController.h"
#include "ui/KnobRepeat.h"
#include "ui/NamesCommand.h"

namespace r512::test {
namespace {

using namespace std::chrono_literals;

// The display's lines as the composer sends them.
class RecordedLines final : public DisplayLines {
public:
    void SetLine(const char* text, int line, bool) override {
        if (line < 0 || line > 1) return;
        lines[static_cast<std::size_t>(line)] = text ? std::string(text, 20) : std::string(20, ' ');
        ++passes;
    }
    std::array<std::string, 2> lines{};
    int passes = 0;
};

class Connection : public ::testing::Test {
protected:
    void SetUp() override {
        SetMessageSink([this](int id, const std::string&) { messages.push_back(id); });
    }
    void TearDown() override { SetMessageSink(nullptr); }

    // Hands the next notice, which must be the open's, on as the window does; true when the
    // link is open afterwards.
    bool FinishOpen() {
        const auto notice = notices.Take(5000ms);
        if (!notice || notice->message != WM_PORT_OPENED) return false;
        EXPECT_FALSE(controller.Notice(notice->message, notice->requested, notice->received));
        return link.IsOpen();
    }
    bool ConnectNow() {
        controller.Connect();
        return FinishOpen();
    }

    // The refresh frames written so far.
    int RefreshesSent() {
        std::lock_guard<std::mutex> guard(shared.lock);
        int n = 0;
        for (const auto& w : shared.writesStarted)
            n += w.bytes == std::vector<std::uint8_t>{0xE0, 0x52, 0x53, 0x21, 0xE3};
        return n;
    }
    // Completes the outstanding write so that the next one starts.
    void DrainWrites(std::size_t count) {
        for (std::size_t i = 0; i < count; ++i) {
            ASSERT_TRUE(fake.WaitForWrites(i + 1, 5000ms));
            fake.Push({PortChannel::Completion::Kind::WriteDone, 5});
        }
        ASSERT_TRUE(fake.WaitIdle(5000ms));
    }
    // Delivers bytes into the outstanding read and hands its notice on.
    bool Deliver(const std::vector<std::uint8_t>& bytes) {
        fake.CompleteRead(bytes);
        const auto notice = notices.Take(5000ms);
        return notice && controller.Notice(notice->message, notice->requested, notice->received);
    }

    FakePortChannel::Shared shared;
    BlockingNoticeQueue notices;
    DeviceLink link{std::make_unique<FakePortChannel>(shared)};
    FakePortChannel fake{shared};
    MemoryProfile profile;
    RecordingWindowTimers timers;
    RecordedLines lines;
    DisplayComposer composer{link.Mirror(), lines, timers};
    ConnectionController controller{link, profile, timers, composer, notices};
    std::vector<int> messages;
};

TEST_F(Connection, SpeedSettingChoosesTheLine) {
    EXPECT_STREQ(ConnectionController::LineDefinition(9600), "baud=9600 parity=N data=8 stop=1");
    for (int speed : {12000, 0, 115200, -1, 9601})
        EXPECT_STREQ(ConnectionController::LineDefinition(speed),
                     "baud=11520 parity=N data=8 stop=1");
}

TEST_F(Connection, ConnectWithoutSettingsOpensCom1AtTheDefaultSpeed) {
    ASSERT_TRUE(ConnectNow());
    EXPECT_EQ(shared.lastPort, "COM1");
    EXPECT_EQ(shared.lastLine, "baud=11520 parity=N data=8 stop=1");
    EXPECT_TRUE(link.Mirror().AllPending());
    ASSERT_TRUE(fake.WaitForWrites(1, 5000ms));
    EXPECT_EQ(RefreshesSent(), 1);
    EXPECT_TRUE(timers.IsTimerRunning(kSettleTimer));
    EXPECT_EQ(timers.Period(kSettleTimer), 1000u);
}

TEST_F(Connection, ConnectUsesTheStoredPortAndSpeed) {
    profile.strings[MemoryProfile::Key("Config", "Port")] = "/dev/ttyUSB3";
    profile.ints[MemoryProfile::Key("Config", "Speed")] = 9600;
    ASSERT_TRUE(ConnectNow());
    EXPECT_EQ(shared.lastPort, "/dev/ttyUSB3");
    EXPECT_EQ(shared.lastLine, "baud=9600 parity=N data=8 stop=1");
}

TEST_F(Connection, FailedConnectSendsNothingAndStartsNoTimer) {
    shared.openResult = PortChannel::OpenStatus::OpenFailed;
    EXPECT_FALSE(ConnectNow());
    EXPECT_EQ(messages, std::vector<int>{1024});
    EXPECT_FALSE(link.Mirror().AllPending());
    EXPECT_TRUE(timers.events.empty());
    EXPECT_EQ(fake.WritesStarted(), 0u);
}

TEST_F(Connection, SilentDeviceIsAskedAgainEveryOtherSecond) {
    ASSERT_TRUE(ConnectNow());
    // One second later: still nothing, so the no-connection screen and the retry timer.
    controller.TimerExpired(kSettleTimer);
    EXPECT_FALSE(timers.IsTimerRunning(kSettleTimer));
    EXPECT_EQ(lines.lines[0], "   no connection    ");
    EXPECT_EQ(lines.lines[1], "      to R512       ");
    ASSERT_TRUE(timers.IsTimerRunning(kRetryTimer));
    EXPECT_EQ(timers.Period(kRetryTimer), 1000u);
    // Another second: the refresh goes out again and the settle timer starts again.
    controller.TimerExpired(kRetryTimer);
    EXPECT_FALSE(timers.IsTimerRunning(kRetryTimer));
    EXPECT_TRUE(timers.IsTimerRunning(kSettleTimer));
    DrainWrites(2);
    EXPECT_EQ(RefreshesSent(), 2);
    // The first report ends the cycle: the next pass shows the device, not the retry.
    EXPECT_TRUE(Deliver({RS_OPER_MODE, 0x00, 0xFF}));
    controller.TimerExpired(kSettleTimer);
    EXPECT_FALSE(timers.IsTimerRunning(kRetryTimer));
    EXPECT_EQ(timers.Starts(kRetryTimer), 1);
}

TEST_F(Connection, RefreshDoesNotRestartARunningSettleTimer) {
    ASSERT_TRUE(ConnectNow());
    controller.RefreshCommand();
    EXPECT_EQ(timers.Starts(kSettleTimer), 1);
    DrainWrites(2);
    EXPECT_EQ(RefreshesSent(), 2);
}

TEST_F(Connection, OnlyTakenFramesRecomposeTheDisplay) {
    ASSERT_TRUE(ConnectNow());
    const int before = lines.passes;
    EXPECT_FALSE(Deliver({}));  // the empty read of a silent device
    EXPECT_EQ(lines.passes, before);
    EXPECT_TRUE(Deliver({0x05, 0x10, 0xFF}));  // a frame of no register still recomposes
    EXPECT_GT(lines.passes, before);
}

TEST_F(Connection, HeldKnobRepeatsEveryPeriodWhileTheButtonIsDown) {
    ASSERT_EQ(link.OpenPort("COM1", "baud=11520", &notices), SerialLink::OpenResult::Opened);
    bool down = true;
    controller.Repeat().SetButtonProbe([&] { return down; });
    controller.Repeat().Start(12, cmd::kKnobUp);
    EXPECT_TRUE(timers.IsTimerRunning(kRepeatTimer));
    EXPECT_EQ(timers.Period(kRepeatTimer), 100u);
    controller.TimerExpired(kRepeatTimer);
    controller.TimerExpired(kRepeatTimer);
    EXPECT_TRUE(controller.Repeat().Held());
    DrainWrites(2);
    std::lock_guard<std::mutex> guard(shared.lock);
    ASSERT_EQ(shared.writesStarted.size(), 2u);
    for (const auto& w : shared.writesStarted)
        EXPECT_EQ(w.bytes, (std::vector<std::uint8_t>{0xE0, 0x52, 0x53, 0x21, 0x15}));
}

// Every way the window can lose the pointer ends the repeat at once: timer 0 stops, and a tick
// already queued sends nothing. The last rows are found by the controller itself: a failing
// port, and a tick that finds the button up because its release went to another window.
TEST_F(Connection, EveryLossOfThePointerEndsTheRepeatAtOnce) {
    enum class Cause { Window, PortFailure, ButtonUpAtTick };
    const struct {
        RepeatStop reason;
        Cause cause;
    } kRows[] = {
        {RepeatStop::ButtonReleased, Cause::Window},
        {RepeatStop::LeftHalf, Cause::Window},
        {RepeatStop::CaptureLost, Cause::Window},
        {RepeatStop::CancelMode, Cause::Window},
        {RepeatStop::Deactivated, Cause::Window},
        {RepeatStop::Hidden, Cause::Window},
        {RepeatStop::DialogOrMenu, Cause::Window},
        {RepeatStop::PortFailed, Cause::PortFailure},
        {RepeatStop::ButtonNotDown, Cause::ButtonUpAtTick},
    };
    for (const auto& row : kRows) {
        SCOPED_TRACE(static_cast<int>(row.reason));
        ASSERT_EQ(link.OpenPort("COM1", "baud=11520", &notices), SerialLink::OpenResult::Opened);
        bool down = true;
        controller.Repeat().SetButtonProbe([&] { return down; });
        controller.Repeat().Start(11, cmd::kKnobDown);
        const std::size_t before = fake.WritesStarted();
        controller.TimerExpired(kRepeatTimer);
        ASSERT_TRUE(fake.WaitForWrites(before + 1, 5000ms));
        fake.Push({PortChannel::Completion::Kind::WriteDone, 5});
        ASSERT_TRUE(fake.WaitIdle(5000ms));
        switch (row.cause) {
            case Cause::Window:
                controller.Repeat().Stop(row.reason);
                break;
            case Cause::PortFailure: {
                fake.Push({PortChannel::Completion::Kind::Failed, 0});
                const auto failure = notices.Take(5000ms);
                ASSERT_TRUE(failure);
                controller.Notice(failure->message, failure->requested, failure->received);
                break;
            }
            case Cause::ButtonUpAtTick:
                down = false;
                break;
        }
        controller.TimerExpired(kRepeatTimer);  // queued before the stop, or the last guard
        EXPECT_FALSE(timers.IsTimerRunning(kRepeatTimer));
        EXPECT_FALSE(controller.Repeat().Held());
        EXPECT_EQ(controller.Repeat().LastStop(), row.reason);
        EXPECT_EQ(fake.WritesStarted(), before + 1) << "a code went out after the stop";
        link.ClosePort();
    }
}

}  // namespace
}  // namespace r512::test

namespace r512::test {
namespace {

TEST_F(Connection, CommandsMadeWhileClosedAreDroppedNotSentAtTheNextOpen) {
    shared.openResult = PortChannel::OpenStatus::OpenFailed;
    EXPECT_FALSE(ConnectNow());
    // Three retry cycles and a key press with no port.
    for (int i = 0; i < 3; ++i) controller.RefreshCommand();
    EXPECT_FALSE(link.SendCommand(cmd::kKnobUp));
    shared.openResult = PortChannel::OpenStatus::Opened;
    ASSERT_TRUE(ConnectNow());
    DrainWrites(1);
    EXPECT_EQ(fake.WritesStarted(), 1u);  // the refresh of this open, nothing from before
    EXPECT_EQ(RefreshesSent(), 1);
}

}  // namespace
}  // namespace r512::test

namespace r512::test {
namespace {

TEST_F(Connection, AFailedPortShowsNoConnectionAndTheRetryOpensItAgainQuietly) {
    ASSERT_TRUE(ConnectNow());
    ASSERT_TRUE(Deliver({RS_OPER_MODE, 0x01, 0xFF}));
    controller.TimerExpired(kSettleTimer);

    fake.Push({PortChannel::Completion::Kind::Failed, 0});  // the adapter is pulled out
    const auto failure = notices.Take(5000ms);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->message, WM_PORT_FAILED);
    shared.openResult = PortChannel::OpenStatus::OpenFailed;  // and stays out for a while
    EXPECT_FALSE(controller.Notice(failure->message, failure->requested, failure->received));
    EXPECT_FALSE(link.IsOpen());
    EXPECT_TRUE(controller.AwaitingPort());
    EXPECT_EQ(lines.lines[0], "   no connection    ");
    EXPECT_TRUE(timers.IsTimerRunning(kRetryTimer));

    // Retries while the port is missing: no message, nothing queued for later.
    for (int cycle = 0; cycle < 3; ++cycle) {
        controller.TimerExpired(kRetryTimer);
        EXPECT_FALSE(FinishOpen());
        controller.TimerExpired(kSettleTimer);
        EXPECT_TRUE(timers.IsTimerRunning(kRetryTimer));
    }
    EXPECT_TRUE(messages.empty());

    // Plugged in again: the next retry opens it, and the refresh brings the display back.
    shared.openResult = PortChannel::OpenStatus::Opened;
    controller.TimerExpired(kRetryTimer);
    EXPECT_TRUE(FinishOpen());
    EXPECT_FALSE(controller.AwaitingPort());
    DrainWrites(1);
    EXPECT_EQ(fake.WritesStarted(), 2u);  // the first refresh and this one, nothing between
    ASSERT_TRUE(fake.WaitForReads(2, 5000ms));
    EXPECT_TRUE(Deliver({RS_OPER_MODE, 0x01, 0xFF}));
    controller.TimerExpired(kSettleTimer);
    EXPECT_FALSE(timers.IsTimerRunning(kRetryTimer));
    EXPECT_NE(lines.lines[0], "   no connection    ");
    EXPECT_TRUE(messages.empty());
}

// The upload's message says what went wrong: names the device can't store, or a port that
// failed before the upload's end (then the no-connection screen follows as for any failure).
TEST_F(Connection, AnUploadCutShortByTheFailedPortBlamesTheConnection) {
    const struct {
        const char* what;
        bool storable;
        bool portFails;
        int message;
    } kRows[] = {
        {"names the device can't store", false, false, IDS_NAMES_WRITE_FAILED},
        {"unstorable names and a failed port", false, true, IDS_NAMES_WRITE_FAILED},
        {"storable names, failed port", true, true, IDS_NAMES_CONNECTION_LOST},
    };
    for (const auto& row : kRows) {
        SCOPED_TRACE(row.what);
        ASSERT_TRUE(ConnectNow());
        link.NamesImage().fill(0x41);
        if (!row.storable) link.NamesImage()[758] = 0x13;  // within the source names
        if (row.portFails) {
            fake.Push({PortChannel::Completion::Kind::Failed, 0});
            const auto failure = notices.Take(5000ms);
            ASSERT_TRUE(failure);
            controller.Notice(failure->message, failure->requested, failure->received);
        }
        const std::size_t writes = fake.WritesStarted();
        EXPECT_EQ(UploadNames(link), row.message);
        EXPECT_EQ(fake.WritesStarted(), writes) << "nothing goes out";
        EXPECT_NE(std::string(MessageText(row.message)), "");
        link.ClosePort();
    }
    EXPECT_NE(std::string(MessageText(IDS_NAMES_CONNECTION_LOST)),
              MessageText(IDS_NAMES_WRITE_FAILED));
}

// The user chose another port (Configure) while the old port's failure notice was on its way:
// the new port is kept.
TEST_F(Connection, AFailureOfAPortClosedSinceIsIgnored) {
    ASSERT_TRUE(ConnectNow());
    fake.Push({PortChannel::Completion::Kind::Failed, 0});
    const auto failure = notices.Take(5000ms);  // still in the window's queue
    ASSERT_TRUE(failure);
    link.ClosePort();
    controller.Connect();
    // The window takes its notices in the order they were posted: the old failure first.
    controller.Notice(failure->message, failure->requested, failure->received);
    EXPECT_TRUE(FinishOpen());
    EXPECT_FALSE(controller.AwaitingPort());
}

// The open runs on the link's thread: nothing is shown, sent or started until its notice is
// handed on, and then the outcome of the open the user asked for is told (each message once).
TEST_F(Connection, TheOpensOutcomeIsActedOnWhenItsNoticeComes) {
    struct Case {
        PortChannel::OpenStatus status;
        bool eventsResult;
        std::vector<int> shown;
        bool refreshed;
    };
    const Case cases[] = {
        {PortChannel::OpenStatus::Opened, true, {}, true},
        {PortChannel::OpenStatus::OpenFailed, true, {1024}, false},
        {PortChannel::OpenStatus::ConfigureFailed, true, {1025}, false},
        {PortChannel::OpenStatus::Opened, false, {1026}, false},
    };
    for (const Case& c : cases) {
        link.ClosePort();
        messages.clear();
        timers.events.clear();
        shared.openResult = c.status;
        shared.eventsResult = c.eventsResult;
        const int refreshesBefore = RefreshesSent();
        controller.Connect();
        EXPECT_TRUE(messages.empty());
        EXPECT_FALSE(timers.IsTimerRunning(kSettleTimer));
        EXPECT_EQ(FinishOpen(), c.refreshed);
        EXPECT_EQ(messages, c.shown);
        EXPECT_EQ(timers.IsTimerRunning(kSettleTimer), c.refreshed);
        EXPECT_EQ(RefreshesSent() - refreshesBefore, c.refreshed ? 1 : 0);
        if (c.refreshed) timers.StopTimer(kSettleTimer);
    }
}

// The user chose again (Configure) before the first open had ended: the notice of the open
// that was cut short does nothing; the new one counts.
TEST_F(Connection, TheNoticeOfAnOpenClosedSinceIsDropped) {
    shared.openResult = PortChannel::OpenStatus::OpenFailed;
    controller.Connect();
    const auto old = notices.Take(5000ms);
    ASSERT_TRUE(old);
    link.ClosePort();
    shared.openResult = PortChannel::OpenStatus::Opened;
    controller.Connect();
    controller.Notice(old->message, old->requested, old->received);
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(FinishOpen());
    EXPECT_TRUE(messages.empty());
}

TEST_F(Connection, APortThatNeverOpenedIsReportedOnceAndNotRetried) {
    shared.openResult = PortChannel::OpenStatus::OpenFailed;
    EXPECT_FALSE(ConnectNow());
    controller.RefreshCommand();  // the user's Refresh
    controller.TimerExpired(kSettleTimer);
    controller.TimerExpired(kRetryTimer);
    EXPECT_EQ(messages, std::vector<int>{1024});
    EXPECT_FALSE(controller.AwaitingPort());
    std::lock_guard<std::mutex> guard(shared.lock);
    EXPECT_EQ(shared.lastPort, "COM1");
}

}  // namespace
}  // namespace r512::test
