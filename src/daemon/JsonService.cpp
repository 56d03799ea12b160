#include "daemon/JsonService.h"

#include <boost/asio/post.hpp>
#include <boost/asio/steady_timer.hpp>
#include <boost/json.hpp>

#include "device/KeyNames.h"
#include "device/NamesFields.h"
#include "device/NamesText.h"
#include "device/RegisterJson.h"
#include "device/RegisterText.h"
#include "ui/SetTargets.h"

namespace r512::daemon {

namespace json = boost::json;

namespace {

constexpr int kMaxRepeat = 100;
constexpr const char* kBusy = "the daemon has too many requests waiting for the device";
// How long a key's report may take before the device counts as not acting on it (as r512ctl).
constexpr std::chrono::milliseconds kReportWait{1500};
constexpr std::chrono::seconds kSetLimit{30};

std::string Text(const json::value* value) {
    if (!value) return "";
    if (value->is_string()) return std::string(value->as_string());
    if (value->is_int64()) return std::to_string(value->as_int64());
    if (value->is_uint64()) return std::to_string(value->as_uint64());
    if (value->is_double()) return json::serialize(*value);
    return "";
}

// The names as one JSON object, field names as r512ctl's names file has them.
std::string NamesObject(const names_fields::Texts& texts) {
    std::string object = names_text::FormatJson(texts);
    while (!object.empty() && object.back() == '\n') object.pop_back();
    return object;
}

std::string Lines(const std::string& top, const std::string& bottom) {
    return "[" + JsonQuote(top) + "," + JsonQuote(bottom) + "]";
}

}  // namespace

// The closed loop of `set`: a key, then the register's report, until the register shows the
// goal, as r512ctl's set does, on the event loop instead of a blocking wait.
class SetRun final : public std::enable_shared_from_this<SetRun>, private HubListener {
public:
    SetRun(DeviceHub& hub, std::weak_ptr<JsonSession> session, std::string id, SetGoal goal,
           boost::asio::any_io_executor executor)
        : hub_(hub),
          session_(std::move(session)),
          id_(std::move(id)),
          goal_(goal),
          reg_(goal.target->reg),
          timer_(executor),
          deadline_(std::chrono::steady_clock::now() + kSetLimit) {}

    void Start() {
        budget_ = KeyBudget(goal_, hub_.Mirror().Value(reg_));
        hub_.AddListener(this);
        Step();
    }

private:
    void Step() {
        auto session = session_.lock();
        if (!session || !session->sink_) return Finish();
        const std::uint8_t now = hub_.Mirror().Value(reg_);
        if (GoalReached(goal_, now)) {
            session->Reply(id_, "\"reply\":\"set\",\"register\":" + RegisterJson(reg_, now, true));
            return Finish();
        }
        const int key = NextKey(goal_, now);
        if (key < 0) return Fail("bad-value", "no key leads there from here");
        if (sent_ >= budget_ || std::chrono::steady_clock::now() >= deadline_)
            return Fail("timeout",
                        "the device did not get there after " + std::to_string(sent_) + " keys");
        before_ = now;
        auto self = shared_from_this();
        const bool queued =
            hub_.Command(session->Peer(), static_cast<std::uint8_t>(key),
                         [this, self](DeviceHub::Outcome outcome, const std::string& reason) {
                             if (done_) return;
                             if (outcome == DeviceHub::Outcome::Refused)
                                 return Fail("capped", reason);
                             if (outcome == DeviceHub::Outcome::LinkDown)
                                 return Fail("link-lost", reason);
                             ++sent_;
                             waiting_ = true;
                             timer_.expires_after(kReportWait);
                             timer_.async_wait([this, self](const boost::system::error_code& ec) {
                                 if (ec || !waiting_ || done_) return;
                                 waiting_ = false;
                                 Fail("timeout", std::string("no report of ") + RegisterName(reg_) +
                                                     ": the device did not get there");
                             });
                         });
        if (!queued) Fail("busy", kBusy);
    }

    void OnFrame(const RegisterFrame& frame) override {
        if (!waiting_ || done_ || frame.code != reg_) return;
        waiting_ = false;
        timer_.cancel();
        // A report that doesn't move the register twice in a row: the keys lead nowhere.
        stalls_ = hub_.Mirror().Value(reg_) == before_ ? stalls_ + 1 : 0;
        if (stalls_ >= 2) return Fail("timeout", "the device does not move any further");
        auto self = shared_from_this();
        boost::asio::post(timer_.get_executor(), [this, self] {
            if (!done_) Step();
        });
    }

    void Fail(const char* word, const std::string& reason) {
        if (auto session = session_.lock()) {
            std::string text = reason + "; " + RegisterName(reg_) + " is " +
                               RegisterText(reg_, hub_.Mirror().Value(reg_));
            session->Error(id_, word, text);
        }
        Finish();
    }

    void Finish() {
        done_ = true;
        waiting_ = false;
        timer_.cancel();
        hub_.RemoveListener(this);
    }

    DeviceHub& hub_;
    std::weak_ptr<JsonSession> session_;
    std::string id_;
    SetGoal goal_;
    std::uint8_t reg_;
    boost::asio::steady_timer timer_;
    std::chrono::steady_clock::time_point deadline_;
    int budget_ = 0;
    int sent_ = 0;
    int stalls_ = 0;
    std::uint8_t before_ = 0;
    bool waiting_ = false;
    bool done_ = false;
};

std::shared_ptr<JsonSession> JsonService::Attach(JsonSink& sink, std::string peer) {
    return std::make_shared<JsonSession>(hub_, sink, std::move(peer));
}

JsonSession::JsonSession(DeviceHub& hub, JsonSink& sink, std::string peer)
    : hub_(hub), sink_(&sink), peer_(std::move(peer)) {}

JsonSession::~JsonSession() { Detach(); }

void JsonSession::Detach() {
    Watch(false);
    sink_ = nullptr;
}

void JsonSession::Watch(bool on) {
    if (on == watching_) return;
    watching_ = on;
    if (on)
        hub_.AddListener(this);
    else
        hub_.RemoveListener(this);
}

void JsonSession::Reply(const std::string& id, std::string body) {
    if (!sink_) return;
    std::string line = "{" + std::move(body);
    if (!id.empty()) line += ",\"id\":" + id;
    line += "}";
    sink_->Send(std::move(line));
}

void JsonSession::Error(const std::string& id, const char* word, const std::string& reason) {
    Reply(id, std::string("\"reply\":\"error\",\"error\":\"") + word +
                  "\",\"reason\":" + JsonQuote(reason));
}

std::string JsonSession::StatusBody() const {
    std::string body = "\"reply\":\"status\",\"link\":\"";
    body += hub_.LinkOpen() ? "open" : "lost";
    body += "\",\"registers\":[";
    for (int i = 0; i < kRegisterCount; ++i) {
        const auto code = static_cast<std::uint8_t>(kFirstRegister + i);
        if (i > 0) body += ",";
        body += RegisterJson(code, hub_.Mirror().Value(code),
                             hub_.Mirror().State(code) != RegisterState::Pending);
    }
    body += "],\"display\":" + Lines(hub_.DisplayTop(), hub_.DisplayBottom());
    const PolicySettings& limits = hub_.Rules().Settings();
    auto number = [](const std::optional<int>& v) {
        return v ? std::to_string(*v) : std::string("null");
    };
    body += ",\"limits\":{\"max_volume\":" + number(limits.maxVolume) +
            ",\"max_zone_volume\":" + number(limits.maxZoneVolume) + "}";
    return body;
}

void JsonSession::Receive(std::string_view line) {
    if (!sink_) return;
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.remove_suffix(1);
    if (line.empty()) return;
    const auto now = std::chrono::steady_clock::now();
    while (!recent_.empty() && now - recent_.front() > std::chrono::seconds(1)) recent_.pop_front();
    boost::system::error_code ec;
    json::value request = json::parse(line, ec);
    std::string id;
    if (!ec && request.is_object()) {
        if (const json::value* v = request.as_object().if_contains("id")) id = json::serialize(*v);
    }
    if (static_cast<int>(recent_.size()) >= kRequestsPerSecond)
        return Error(id, "too-fast", "more than 50 requests in a second");
    recent_.push_back(now);
    if (ec || !request.is_object())
        return Error(id, "bad-request", "each line must be one JSON object");
    const json::object& object = request.as_object();
    const std::string command = Text(object.if_contains("cmd"));

    if (command == "status") return Reply(id, StatusBody());
    if (command == "watch") {
        Reply(id, StatusBody());
        Watch(true);
        return Reply(id, "\"reply\":\"watch\"");
    }
    if (command == "unwatch") {
        Watch(false);
        return Reply(id, "\"reply\":\"unwatch\"");
    }
    if (command == "refresh") {
        if (!hub_.LinkOpen()) return Error(id, "link-lost", "the link to the R512 is down");
        if (!hub_.Refresh(peer_)) return Error(id, "busy", kBusy);
        return Reply(id, "\"reply\":\"refresh\"");
    }
    if (command == "key") {
        int repeat = 1;
        if (const json::value* r = object.if_contains("repeat")) {
            if (!r->is_int64() || r->as_int64() < 1 || r->as_int64() > kMaxRepeat)
                return Error(id, "bad-value", "repeat must be a whole number from 1 to 100");
            repeat = static_cast<int>(r->as_int64());
        }
        return DoKey(id, Text(object.if_contains("key")), repeat);
    }
    if (command == "set")
        return DoSet(id, Text(object.if_contains("target")), Text(object.if_contains("value")));
    if (command == "names") {
        const std::string op = Text(object.if_contains("op"));
        if (op == "get") return DoNamesGet(id);
        if (op == "set") {
            const json::value* names = object.if_contains("names");
            if (!names || !names->is_object())
                return Error(id, "bad-request", "names set needs an object \"names\"");
            return DoNamesSet(id, json::serialize(*names));
        }
        return Error(id, "bad-request", "names takes \"op\": \"get\" or \"set\"");
    }
    return Error(id, "bad-request", "unknown cmd '" + command + "'");
}

void JsonSession::DoKey(const std::string& id, const std::string& key, int repeat) {
    const int code = KeyCode(key);
    if (code < 0) return Error(id, "unknown-key", "no key '" + key + "' (see r512ctl keys)");
    if (!hub_.LinkOpen()) return Error(id, "link-lost", "the link to the R512 is down");
    if (hub_.QueueRoom() < static_cast<std::size_t>(repeat)) return Error(id, "busy", kBusy);
    struct Tally {
        int left = 0;
        int sent = 0;
        std::string refusal;
        const char* word = nullptr;
    };
    auto tally = std::make_shared<Tally>();
    tally->left = repeat;
    std::weak_ptr<JsonSession> weak = weak_from_this();
    for (int i = 0; i < repeat; ++i) {
        hub_.Command(
            peer_, static_cast<std::uint8_t>(code),
            [weak, tally, id](DeviceHub::Outcome outcome, const std::string& reason) {
                if (outcome == DeviceHub::Outcome::Sent) {
                    ++tally->sent;
                } else if (!tally->word) {
                    tally->word = outcome == DeviceHub::Outcome::Refused ? "capped" : "link-lost";
                    tally->refusal = reason;
                }
                if (--tally->left > 0) return;
                auto self = weak.lock();
                if (!self) return;
                if (tally->sent == 0 && tally->word)
                    return self->Error(id, tally->word, tally->refusal);
                self->Reply(id, "\"reply\":\"key\",\"sent\":" + std::to_string(tally->sent));
            });
    }
}

void JsonSession::DoSet(const std::string& id, const std::string& target,
                        const std::string& value) {
    SetGoal goal;
    if (const SetProblem problem = ParseSetGoal(target, value, goal); problem != SetProblem::None)
        return Error(id, problem == SetProblem::UnknownTarget ? "unknown-target" : "bad-value",
                     SetProblemText(problem, target, value));
    if (auto refusal = hub_.Rules().RefuseSet(goal.target->reg, goal.value))
        return Error(id, "capped", *refusal);
    if (!hub_.LinkOpen()) return Error(id, "link-lost", "the link to the R512 is down");
    auto run = std::make_shared<SetRun>(hub_, weak_from_this(), id, goal,
                                        boost::asio::any_io_executor(hub_.Executor()));
    run->Start();
}

void JsonSession::DoNamesGet(const std::string& id) {
    std::weak_ptr<JsonSession> weak = weak_from_this();
    const bool queued =
        hub_.Download(peer_, [weak, id](const DeviceHub::Image* image, const std::string& reason) {
            auto self = weak.lock();
            if (!self) return;
            if (!image) return self->Error(id, "names-failed", reason);
            self->Reply(id, "\"reply\":\"names\",\"names\":" +
                                NamesObject(names_fields::FromImage(*image)));
        });
    if (!queued) Error(id, "busy", kBusy);
}

void JsonSession::DoNamesSet(const std::string& id, std::string fieldsJson) {
    // As the Names dialog does: the device's texts first, the edits on top, the whole checked,
    // and only then the upload.
    json::object fields = json::parse(fieldsJson).as_object();
    std::string file;
    for (const auto& [name, text] : fields) {
        if (!text.is_string())
            return Error(id, "bad-value", "names: " + std::string(name) + " must be a string");
        file += std::string(name) + " = " + JsonQuote(std::string(text.as_string())) + "\n";
    }
    // Checked before anything is asked of the device.
    {
        names_fields::Texts probe = names_fields::Defaults();
        if (const auto fault = names_text::Parse(file, probe))
            return Error(id, "bad-value", fault->Text());
    }
    std::weak_ptr<JsonSession> weak = weak_from_this();
    const bool queued = hub_.Download(
        peer_, [this, weak, id, file](const DeviceHub::Image* image, const std::string& reason) {
            auto self = weak.lock();
            if (!self) return;
            if (!image) return Error(id, "names-failed", reason);
            names_fields::Texts texts = names_fields::FromImage(*image);
            (void)names_text::Parse(file, texts);  // checked before the download
            DeviceHub::Image edited = *image;
            names_fields::ToImage(texts, edited);
            if (!names_fields::IsValid(edited))
                return Error(id, "bad-value", "the names may contain invalid characters");
            NamesUpload upload;
            upload.hasSourceTable = upload.hasWelcome = upload.hasStandby = true;
            std::copy_n(edited.begin() + names_layout::kSourceTableOffset,
                        names_layout::kSourceTableLength, upload.sourceTable.begin());
            std::copy_n(edited.begin() + names_layout::kWelcomeOffset, names_layout::kMessageLength,
                        upload.welcome.begin());
            std::copy_n(edited.begin() + names_layout::kStandbyOffset, names_layout::kMessageLength,
                        upload.standby.begin());
            const bool uploading =
                hub_.Upload(peer_, upload, [weak, id, texts](bool ok, const std::string& why) {
                    auto session = weak.lock();
                    if (!session) return;
                    if (!ok) return session->Error(id, "names-failed", why);
                    session->Reply(id, "\"reply\":\"names\",\"names\":" + NamesObject(texts));
                });
            if (!uploading) Error(id, "busy", kBusy);
        });
    if (!queued) Error(id, "busy", kBusy);
}

void JsonSession::OnFrame(const RegisterFrame& frame) {
    if (!IsRegisterCode(frame.code)) return;
    Reply("", "\"event\":\"register\",\"register\":" + RegisterJson(frame.code, frame.value, true));
}

void JsonSession::OnLink(bool open) {
    Reply("", std::string("\"event\":\"link\",\"state\":\"") + (open ? "open" : "lost") + "\"");
}

void JsonSession::OnDisplay(const std::string& top, const std::string& bottom) {
    Reply("", "\"event\":\"display\",\"lines\":" + Lines(top, bottom));
}

}  // namespace r512::daemon
