#include "mqtt/Bridge.h"

#include <algorithm>
#include <iostream>

#include "base/Messages.h"
#include "base/SavedPort.h"
#include "base/SettingsLayout.h"
#include "device/Protocol.h"

#ifndef R512_VERSION
#define R512_VERSION "0"
#endif

namespace r512::mqtt {

namespace {

// The notice that the broker's events or a stop wait in the bridge's queue.
constexpr std::uint32_t kWake = WM_DEVICE_DATA + 1000;

constexpr std::chrono::milliseconds kFirstBackoff{500};
constexpr std::chrono::milliseconds kLongestBackoff{30000};
// A port that could not be opened is tried again this often (an adapter plugged in later).
constexpr std::chrono::milliseconds kPortRetry{2000};
// A refresh marks every register awaited; the device answers within this, so the bridge says
// "offline" only when it stays silent longer.
constexpr std::chrono::milliseconds kSilenceLimit{3000};
constexpr std::chrono::milliseconds kFirstAnswerWait{3000};
constexpr std::chrono::seconds kBrokerWait{10};
constexpr int kQos = 1;

// Why a connection attempt failed: the broker's refusal (its CONNACK code) or the library's
// words for what went wrong before.
std::string FailureText(int code) {
    static const char* const kRefusals[] = {"unacceptable protocol version", "client id rejected",
                                            "broker unavailable", "bad user name or password",
                                            "not authorized"};
    if (code >= 1 && code <= 5) return std::string("refused: ") + kRefusals[code - 1];
    const std::string text = ::mqtt::exception::error_str(code);
    return text.empty() ? "error " + std::to_string(code) : text;
}

}  // namespace

// The MQTT library's callbacks, on its threads: each only queues an event for the bridge.
class Bridge::Callbacks final : public ::mqtt::callback, public ::mqtt::iaction_listener {
public:
    explicit Callbacks(Bridge& bridge) : bridge_(bridge) {}
    void connected(const std::string&) override { bridge_.Post({Event::Kind::Connected, {}, {}}); }
    void connection_lost(const std::string&) override { bridge_.Post({Event::Kind::Lost, {}, {}}); }
    void message_arrived(::mqtt::const_message_ptr message) override {
        bridge_.Post({Event::Kind::Message, message->get_topic(), message->to_string()});
    }
    void on_failure(const ::mqtt::token& token) override {
        bridge_.Post({Event::Kind::ConnectFailed, {}, FailureText(token.get_return_code())});
    }
    void on_success(const ::mqtt::token&) override {}

private:
    Bridge& bridge_;
};

Bridge::Bridge(BridgeOptions options, std::string password)
    : options_(std::move(options)),
      password_(std::move(password)),
      topics_{options_.topicPrefix},
      composer_(link_.Mirror(), *this, *this),
      controller_(link_, *this, *this, composer_, notices_) {
    controller_.SetOpenEndedHandler([this](bool opened) { PortOpenEnded(opened); });
    if (options_.clientId.empty()) options_.clientId = NodeIdOf(options_.topicPrefix) + "-mqtt";
    client_ =
        std::make_unique<::mqtt::async_client>(*BrokerUri(options_.broker), options_.clientId);
    callbacks_ = std::make_unique<Callbacks>(*this);
    client_->set_callback(*callbacks_);
    SetMessageSink([this](int, const std::string& text) { Log(text); });
}

Bridge::~Bridge() {
    SetMessageSink(nullptr);
    link_.ClosePort();
}

void Bridge::Log(const std::string& line) const {
    std::string text = line;
    std::replace(text.begin(), text.end(), '\n', ' ');
    std::cerr << "r512-mqtt: " << text << std::endl;
}

void Bridge::Post(Event event) {
    {
        std::lock_guard<std::mutex> guard(eventsLock_);
        events_.push_back(std::move(event));
    }
    notices_.PostNotice(kWake, 0, 0);
}

void Bridge::Stop() {
    stop_ = true;
    notices_.PostNotice(kWake, 0, 0);
}

// ---- the device side ----

int Bridge::GetProfileInt(const char*, const char* key, int defaultValue) {
    if (std::string(key) != settings::kSpeed) return defaultValue;
    return options_.speed.value_or(ReadSavedPort().speed);
}

std::string Bridge::GetProfileString(const char*, const char* key, const char* defaultValue) {
    if (std::string(key) != settings::kPort) return defaultValue;
    return options_.port.value_or(ReadSavedPort().port);
}

void Bridge::StartTimer(int id, unsigned periodMs) {
    Timer& timer = timers_.at(static_cast<std::size_t>(id));
    timer.running = true;
    timer.period = std::chrono::milliseconds(periodMs);
    timer.due = Clock::now() + timer.period;
}

void Bridge::StopTimer(int id) { timers_.at(static_cast<std::size_t>(id)).running = false; }

bool Bridge::IsTimerRunning(int id) const {
    return timers_.at(static_cast<std::size_t>(id)).running;
}

void Bridge::OpenDevice() {
    // The port's message is logged once; the retries that follow are quiet. The open ends on
    // the link's thread and is told through the notice queue (PortOpenEnded).
    if (portMissing_) SetMessageSink([](int, const std::string&) {});
    opening_ = true;
    controller_.Connect();
}

void Bridge::PortOpenEnded(bool opened) {
    // Reopens after a failure of the port are the controller's own retry.
    if (!opening_) return;
    opening_ = false;
    SetMessageSink([this](int, const std::string& text) { Log(text); });
    if (opened) {
        if (portMissing_) Log("the port is open");
        portMissing_ = false;
        portRetryAt_.reset();
        composer_.UpdateDisplay();
        return;
    }
    // Unlike the desktop program, whose user mends the setting, a service waits for the port.
    if (!portMissing_)
        Log("trying the port again every " + std::to_string(kPortRetry.count() / 1000) + " s");
    portMissing_ = true;
    portRetryAt_ = Clock::now() + kPortRetry;
}

void Bridge::HandleNotice(const BlockingNoticeQueue::Notice& notice) {
    if (notice.message == kWake) return;
    if (!controller_.Notice(notice.message, notice.requested, notice.received)) return;
    const RegisterFrame frame = controller_.LastFrame();
    lastFrame_ = Clock::now();
    if (!IsRegisterCode(frame.code)) return;
    PublishRegister(frame.code);
    auto pursuit = pursuits_.find(frame.code);
    if (pursuit != pursuits_.end() && pursuit->second.Active())
        PursuitStep(frame.code, pursuit->second.Report(frame.value, Clock::now()));
}

void Bridge::RunUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const Clock::time_point until = Clock::now() + limit;
    while (!done() && !stop_ && Clock::now() < until) {
        if (auto notice = notices_.TakeUntil(until)) HandleNotice(*notice);
    }
}

void Bridge::ReadDeviceNames() {
    namesRead_ = true;
    const bool read = link_.ReadNames(*this);
    // The download discards whatever the device was reporting meanwhile: ask for it again.
    link_.RequestRefresh();
    lastFrame_ = Clock::now();
    if (!read) {
        Log("the source names could not be read from the R512; the fixed names serve");
        return;
    }
    const SourceNames names = SourceNamesFromImage(link_.NamesImage());
    if (names == names_) return;
    names_ = names;
    if (brokerUp_) {
        PublishDiscovery();
        PublishRegister(RS_AUDIO_SOURCE, true);
        PublishRegister(RS_ZONE_AUDIO_SOURCE, true);
    }
}

bool Bridge::DeviceAnswering() const {
    if (!link_.IsOpen() || controller_.AwaitingPort()) return false;
    return !link_.Mirror().AllPending() || Clock::now() - lastFrame_ < kSilenceLimit;
}

void Bridge::SyncAvailability() {
    const bool answering = DeviceAnswering();
    // While a refresh is unanswered, look again when the silence would count.
    availabilityCheckAt_.reset();
    if (answering && link_.Mirror().AllPending()) availabilityCheckAt_ = lastFrame_ + kSilenceLimit;
    if (answering == online_) return;
    online_ = answering;
    Log(online_ ? "the R512 answers" : "the R512 does not answer");
    if (online_) {
        for (const RegisterTopic& topic : RegisterTopics()) PublishRegister(topic.code, true);
        if (!namesRead_) ReadDeviceNames();
    } else {
        // Fresh state when the device is back: every register is published again as its report
        // comes, and only reports from then on count as an answer.
        for (const RegisterTopic& topic : RegisterTopics())
            published_.erase(topics_.State(topic.leaf));
        lastFrame_ = {};
    }
    Publish(topics_.Availability(), online_ ? "online" : "offline");
}

void Bridge::SyncDisplay() {
    Publish(topics_.DisplayLine(0), DisplayPayload(composer_.TopLine()));
    Publish(topics_.DisplayLine(1), DisplayPayload(composer_.BottomLine()));
}

// ---- commands ----

void Bridge::HandleMessage(const std::string& topic, const std::string& payload) {
    if (topic == topics_.Key()) {
        std::string error;
        const auto key =
            KeyCommand(payload, link_.Mirror().Value(RS_VOLUME),
                       link_.Mirror().Value(RS_ZONE_VOLUME), options_.maxVolume, &error);
        if (!key) return Log(error);
        if (!link_.SendCommand(*key)) Log("key " + payload + ": the R512 is not connected");
        return;
    }
    if (topic == topics_.Refresh()) {
        controller_.RefreshCommand();
        // A device that answers stays online while its answer comes.
        if (online_) lastFrame_ = Clock::now();
        return;
    }
    const std::string head = topics_.prefix + "/";
    const std::string tail = "/set";
    if (topic.size() <= head.size() + tail.size() || topic.rfind(head, 0) != 0 ||
        topic.compare(topic.size() - tail.size(), tail.size(), tail) != 0)
        return;
    const std::string leaf = topic.substr(head.size(), topic.size() - head.size() - tail.size());
    const RegisterTopic* registerTopic = TopicOfLeaf(leaf);
    if (registerTopic == nullptr || registerTopic->target == nullptr)
        return Log(topic + ": no such command topic");
    HandleSet(*registerTopic, payload);
}

void Bridge::HandleSet(const RegisterTopic& topic, const std::string& payload) {
    SetGoal goal;
    std::string error;
    if (!CommandGoal(topic, payload, names_, options_.maxVolume, goal, &error)) {
        PublishRegister(topic.code, true);  // a controller that showed the value takes it back
        return Log(error);
    }
    if (!online_) {
        PublishRegister(topic.code, true);
        return Log(std::string(topic.leaf) + " " + payload + ": the R512 is not connected");
    }
    if (link_.Mirror().State(topic.code) == RegisterState::Pending) {
        return Log(std::string(topic.leaf) + " " + payload + ": the R512 has not reported " +
                   RegisterName(topic.code) + " yet");
    }
    // A new command for a register replaces the one still under way.
    SetPursuit& pursuit = pursuits_[topic.code];
    PursuitStep(topic.code, pursuit.Start(goal, link_.Mirror().Value(topic.code), Clock::now()));
}

void Bridge::PursuitStep(std::uint8_t code, SetPursuit::Step step) {
    SetPursuit& pursuit = pursuits_[code];
    if (step == SetPursuit::Step::SendKey) {
        if (link_.SendCommand(pursuit.Key())) return;
        step = pursuit.Expired();
    }
    if (step == SetPursuit::Step::Failed) {
        Log(std::string("set ") + pursuit.Goal().target->name + ": " + pursuit.Failure());
        PublishRegister(code, true);
    }
}

// ---- the broker side ----

bool Bridge::Connect(bool wait) {
    auto options = ::mqtt::connect_options_builder()
                       .clean_session(true)
                       .keep_alive_interval(std::chrono::seconds(30))
                       .connect_timeout(std::chrono::seconds(5))
                       .will(::mqtt::message(topics_.Availability(), "offline", kQos, true))
                       .finalize();
    if (!options_.username.empty()) options.set_user_name(options_.username);
    if (!password_.empty()) options.set_password(password_);
    if (BrokerUsesTls(options_.broker)) {
        auto ssl = ::mqtt::ssl_options_builder().enable_server_cert_auth(true).verify(true);
        if (!options_.caFile.empty()) ssl.trust_store(options_.caFile);
        options.set_ssl(ssl.finalize());
    }
    try {
        auto token = client_->connect(options, nullptr, *callbacks_);
        if (wait) return token->wait_for(kBrokerWait) && client_->is_connected();
    } catch (const ::mqtt::exception& error) {
        if (!wait) Post({Event::Kind::ConnectFailed, {}, error.what()});
        return false;
    }
    return true;
}

void Bridge::Connected() {
    brokerUp_ = true;
    backoff_ = kFirstBackoff;
    reconnectAt_.reset();
    Log("connected to " + options_.broker);
    published_.clear();
    try {
        client_->subscribe(topics_.prefix + "/+/set", kQos);
        client_->subscribe(topics_.Key(), kQos);
        client_->subscribe(topics_.Refresh(), kQos);
    } catch (const ::mqtt::exception& error) {
        Log(std::string("broker: ") + error.what());
    }
    PublishDiscovery();
    PublishAll();
}

void Bridge::ConnectionDown(const std::string& why) {
    brokerUp_ = false;
    Log(options_.broker + ": " + why + "; trying again in " + std::to_string(backoff_.count()) +
        " ms");
    reconnectAt_ = Clock::now() + backoff_;
    backoff_ = std::min(backoff_ * 2, kLongestBackoff);
}

bool Bridge::Publish(const std::string& topic, const std::string& payload, bool force) {
    auto known = published_.find(topic);
    if (!force && known != published_.end() && known->second == payload) return true;
    published_[topic] = payload;
    if (!brokerUp_) return false;
    try {
        client_->publish(topic, payload.data(), payload.size(), kQos, true);
        return true;
    } catch (const ::mqtt::exception& error) {
        Log(std::string("broker: ") + error.what());
        return false;
    }
}

DiscoveryContext Bridge::Context() const {
    return {topics_,      options_.discoveryPrefix, NodeIdOf(options_.topicPrefix),
            R512_VERSION, options_.maxVolume,       names_};
}

void Bridge::PublishDiscovery() {
    for (const RetainedMessage& message : DiscoveryConfigs(Context()))
        Publish(message.topic, message.payload, true);
}

void Bridge::PublishRegister(std::uint8_t code, bool force) {
    const RegisterTopic* topic = TopicOfCode(code);
    if (topic == nullptr || link_.Mirror().State(code) == RegisterState::Pending) return;
    Publish(topics_.State(topic->leaf), StatePayload(*topic, link_.Mirror().Value(code), names_),
            force);
}

void Bridge::PublishAll() {
    Publish(topics_.Availability(), online_ ? "online" : "offline", true);
    for (const RegisterTopic& topic : RegisterTopics()) PublishRegister(topic.code, true);
    SyncDisplay();
}

// ---- the loop ----

void Bridge::HandleEvents() {
    std::deque<Event> events;
    {
        std::lock_guard<std::mutex> guard(eventsLock_);
        events.swap(events_);
    }
    for (const Event& event : events) {
        switch (event.kind) {
            case Event::Kind::Connected:
                Connected();
                break;
            case Event::Kind::Lost:
                ConnectionDown("the connection is lost");
                break;
            case Event::Kind::ConnectFailed:
                ConnectionDown(event.payload);
                break;
            case Event::Kind::Message:
                HandleMessage(event.topic, event.payload);
                break;
        }
    }
}

Bridge::Clock::time_point Bridge::NextDeadline() const {
    Clock::time_point next = Clock::time_point::max();
    for (const Timer& timer : timers_) {
        if (timer.running) next = std::min(next, timer.due);
    }
    for (const auto& [code, pursuit] : pursuits_) {
        if (pursuit.Active()) next = std::min(next, pursuit.ReportDeadline());
    }
    for (const auto& at : {reconnectAt_, portRetryAt_, availabilityCheckAt_}) {
        if (at) next = std::min(next, *at);
    }
    return next;
}

void Bridge::RunDueTimers() {
    const Clock::time_point now = Clock::now();
    for (std::size_t id = 0; id < timers_.size(); ++id) {
        Timer& timer = timers_[id];
        if (!timer.running || timer.due > now) continue;
        timer.due = now + timer.period;
        controller_.TimerExpired(static_cast<int>(id));
    }
    for (auto& [code, pursuit] : pursuits_) {
        if (pursuit.Active() && pursuit.ReportDeadline() <= now)
            PursuitStep(code, pursuit.Expired());
    }
    if (reconnectAt_ && *reconnectAt_ <= now) {
        reconnectAt_.reset();
        Connect(false);
    }
    if (portRetryAt_ && *portRetryAt_ <= now) {
        portRetryAt_.reset();
        OpenDevice();
    }
}

int Bridge::Run() {
    OpenDevice();
    RunUntil([&] { return !opening_; }, kFirstAnswerWait);
    // The device's own source names are the selects' choices: read them before the entities
    // are announced, when the device answers in time.
    if (!portMissing_) RunUntil([&] { return !link_.Mirror().AllPending(); }, kFirstAnswerWait);
    SyncAvailability();
    Connect(false);
    while (!stop_) {
        const Clock::time_point next = NextDeadline();
        // Without any deadline the thread sleeps until a notice comes.
        auto notice = notices_.TakeUntil(
            next == Clock::time_point::max() ? Clock::now() + std::chrono::hours(24) : next);
        if (notice) HandleNotice(*notice);
        HandleEvents();
        RunDueTimers();
        SyncAvailability();
        SyncDisplay();
    }
    Log("stopping");
    if (brokerUp_) {
        try {
            client_->publish(topics_.Availability(), "offline", 7, kQos, true)
                ->wait_for(kBrokerWait);
            client_->disconnect()->wait_for(kBrokerWait);
        } catch (const ::mqtt::exception& error) {
            Log(std::string("broker: ") + error.what());
        }
    }
    link_.ClosePort();
    return 0;
}

int Bridge::RemoveDiscovery() {
    if (!Connect(true)) {
        Log("can't reach the broker " + options_.broker);
        return 1;
    }
    try {
        std::vector<RetainedMessage> messages = DiscoveryRemovals(Context());
        for (const RegisterTopic& topic : RegisterTopics())
            messages.push_back({topics_.State(topic.leaf), ""});
        for (int line = 0; line < 2; ++line) messages.push_back({topics_.DisplayLine(line), ""});
        messages.push_back({topics_.Availability(), ""});
        ::mqtt::delivery_token_ptr last;
        for (const RetainedMessage& message : messages)
            last = client_->publish(message.topic, "", 0, kQos, true);
        if (last) last->wait_for(kBrokerWait);
        client_->disconnect()->wait_for(kBrokerWait);
    } catch (const ::mqtt::exception& error) {
        Log(std::string("broker: ") + error.what());
        return 1;
    }
    return 0;
}

}  // namespace r512::mqtt
