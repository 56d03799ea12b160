// r512d's decisions without traffic: a raw client's bytes into requests, who may connect, the
// volume caps, the acceptance of a names download, and the command line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "daemon/ClientRequestParser.h"
#include "daemon/DaemonOptions.h"
#include "daemon/NamesDownloadCheck.h"
#include "daemon/Policy.h"

namespace r512::test {
namespace {

using daemon::ClientRequestParser;
using daemon::NamesUpload;
using Bytes = std::vector<std::uint8_t>;

Bytes Frame(std::uint8_t code) { return {0xE0, 0x52, 0x53, 0x21, code}; }

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes all;
    for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

Bytes Upload(bool withEnd = true) {
    Bytes bytes = {0xDD, 0x3B, 0x91, 0x5E, 0x27, 0xA4, 0x0F, 0x6C, 0xCF};
    for (int i = 0; i < 112; ++i) bytes.push_back(static_cast<std::uint8_t>('A' + i % 26));
    bytes.push_back(0xCA);
    for (int i = 0; i < 40; ++i) bytes.push_back('w');
    bytes.push_back(0xCB);
    for (int i = 0; i < 40; ++i) bytes.push_back('s');
    if (withEnd) bytes.push_back(0xD4);
    return bytes;
}

struct Parsed {
    std::vector<int> commands;
    int downloads = 0;
    std::vector<NamesUpload> uploads;
    int invalid = 0;
    bool inUpload = false;
};

Parsed Parse(const Bytes& bytes, std::size_t piece) {
    Parsed parsed;
    ClientRequestParser parser({[&](std::uint8_t code) { parsed.commands.push_back(code); },
                                [&] { ++parsed.downloads; },
                                [&](const NamesUpload& u) { parsed.uploads.push_back(u); }});
    for (std::size_t at = 0; at < bytes.size(); at += piece)
        parser.Feed(bytes.data() + at, std::min(piece, bytes.size() - at));
    parsed.invalid = parser.InvalidSinceValid();
    parsed.inUpload = parser.InUpload();
    return parsed;
}

TEST(ClientRequestParser, TakesWholeRequestsOnlyHoweverTheBytesAreCut) {
    struct Case {
        const char* what;
        Bytes bytes;
        std::vector<int> commands;
        int downloads;
        int uploads;
        int invalidAtEnd;
        bool inUpload;
    };
    const Case cases[] = {
        {"two frames", Join({Frame(0x15), Frame(0x07)}), {0x15, 0x07}, 0, 0, 0, false},
        {"garbage before a frame is dropped",
         Join({{0x00, 0x42}, Frame(0x31)}),
         {0x31},
         0,
         0,
         0,
         false},
        {"a broken frame start, then a frame",
         Join({{0xE0, 0x52, 0x00}, Frame(0x16)}),
         {0x16},
         0,
         0,
         0,
         false},
        {"a frame start inside a broken one",
         Join({{0xE0, 0x52}, Frame(0x16)}),
         {0x16},
         0,
         0,
         0,
         false},
        {"trailing garbage counts", Join({Frame(0x15), {1, 2, 3}}), {0x15}, 0, 0, 3, false},
        {"download request",
         Join({Frame(0x15), {0xDC}, Frame(0x01)}),
         {0x15, 0x01},
         1,
         0,
         0,
         false},
        {"whole upload", Upload(), {}, 0, 1, 0, false},
        {"upload without its end is held, not taken", Upload(false), {}, 0, 0, 0, true},
        {"upload with a wrong key is dropped",
         Join({{0xDD, 0x3B, 0x91, 0x00}, Frame(0x15)}),
         {0x15},
         0,
         0,
         0,
         false},
        {"a section twice drops the upload",
         Join({{0xDD, 0x3B, 0x91, 0x5E, 0x27, 0xA4, 0x0F, 0x6C, 0xCA}, Bytes(40, 'x'), {0xCA}}),
         {},
         0,
         0,
         1,
         false},
        {"a frame inside an upload is no frame",
         Join({{0xDD, 0x3B, 0x91, 0x5E, 0x27, 0xA4, 0x0F, 0x6C}, Frame(0x15)}),
         {},
         0,
         0,
         5,
         false},
    };
    for (const Case& c : cases) {
        for (std::size_t piece : {std::size_t{1}, std::size_t{2}, std::size_t{7}, c.bytes.size()}) {
            const Parsed parsed = Parse(c.bytes, piece);
            EXPECT_EQ(parsed.commands, c.commands) << c.what << ", pieces of " << piece;
            EXPECT_EQ(parsed.downloads, c.downloads) << c.what;
            EXPECT_EQ(static_cast<int>(parsed.uploads.size()), c.uploads) << c.what;
            EXPECT_EQ(parsed.invalid, c.invalidAtEnd) << c.what << ", pieces of " << piece;
            EXPECT_EQ(parsed.inUpload, c.inUpload) << c.what;
        }
    }
}

TEST(ClientRequestParser, UploadCarriesEachSectionInPlace) {
    const Parsed parsed = Parse(Upload(), 3);
    ASSERT_EQ(parsed.uploads.size(), 1u);
    const NamesUpload& upload = parsed.uploads[0];
    EXPECT_TRUE(upload.hasSourceTable && upload.hasWelcome && upload.hasStandby);
    EXPECT_EQ(upload.sourceTable[0], 'A');
    EXPECT_EQ(upload.sourceTable[111], 'A' + 111 % 26);
    EXPECT_EQ(upload.welcome[39], 'w');
    EXPECT_EQ(upload.standby[0], 's');
}

TEST(Policy, WhoMayConnect) {
    struct Case {
        std::vector<std::string> allow;
        const char* source;
        bool may;
    };
    const Case cases[] = {
        {{}, "127.0.0.1", true},
        {{}, "127.0.0.3", true},
        {{}, "::1", true},
        {{}, "::ffff:127.0.0.2", true},
        {{}, "192.168.1.20", false},
        {{"127.0.0.2/32"}, "127.0.0.2", true},
        {{"127.0.0.2/32"}, "127.0.0.3", false},
        {{"127.0.0.2"}, "127.0.0.2", true},
        {{"127.0.0.2/32"}, "127.0.0.1", false},
        {{"192.168.1.0/24"}, "192.168.1.20", true},
        {{"192.168.1.0/24"}, "192.168.2.20", false},
        {{"192.168.1.0/24", "127.0.0.0/8"}, "127.0.0.9", true},
        {{"fd00::/8"}, "fd12::1", true},
        {{"fd00::/8"}, "127.0.0.1", false},
    };
    for (const Case& c : cases) {
        daemon::Policy policy;
        daemon::PolicySettings settings;
        settings.allow = c.allow;
        std::string error;
        ASSERT_TRUE(policy.Configure(settings, &error)) << error;
        EXPECT_EQ(policy.MayConnect(boost::asio::ip::make_address(c.source)), c.may)
            << c.source << " with " << c.allow.size() << " allowed networks";
    }
}

TEST(Policy, RefusesNetworksThatAreNone) {
    for (const char* bad : {"10.0.0.0/33", "nonsense", "10.0.0/8", "::1/129"}) {
        daemon::Policy policy;
        daemon::PolicySettings settings;
        settings.allow = {bad};
        std::string error;
        EXPECT_FALSE(policy.Configure(settings, &error)) << bad;
        EXPECT_NE(error.find(bad), std::string::npos);
    }
}

TEST(Policy, CountsClientsUpToTheLimit) {
    daemon::Policy policy;
    daemon::PolicySettings settings;
    settings.maxClients = 2;
    ASSERT_TRUE(policy.Configure(settings, nullptr));
    EXPECT_TRUE(policy.AdmitClient());
    EXPECT_TRUE(policy.AdmitClient());
    EXPECT_FALSE(policy.AdmitClient());
    policy.ReleaseClient();
    EXPECT_TRUE(policy.AdmitClient());
}

TEST(Policy, VolumeCapCountsRaisesNotYetReported) {
    using Clock = daemon::Policy::Clock;
    daemon::Policy policy;
    daemon::PolicySettings settings;
    settings.maxVolume = -30;      // the byte 70
    settings.maxZoneVolume = -40;  // the byte 60
    ASSERT_TRUE(policy.Configure(settings, nullptr));
    RegisterMirror mirror;
    mirror[RS_VOLUME].value = 67;  // -33
    mirror[RS_ZONE_VOLUME].value = 60;
    const Clock::time_point t0 = Clock::now();

    struct Case {
        std::uint8_t code;
        bool refused;
    };
    // Three raises fit below -30; the fourth would pass it while none has been reported.
    EXPECT_FALSE(policy.RefuseCommand(cmd::kKnobUp, mirror, t0));
    policy.NoteSent(cmd::kKnobUp, t0);
    EXPECT_FALSE(policy.RefuseCommand(cmd::kVolumeUp, mirror, t0));
    policy.NoteSent(cmd::kVolumeUp, t0);
    EXPECT_FALSE(policy.RefuseCommand(cmd::kKnobUp, mirror, t0));
    policy.NoteSent(cmd::kKnobUp, t0);
    EXPECT_TRUE(policy.RefuseCommand(cmd::kKnobUp, mirror, t0));
    // Two reports come: one raise is still under way.
    mirror[RS_VOLUME].value = 69;
    policy.NoteReport(RS_VOLUME, 67, 69);
    EXPECT_TRUE(policy.RefuseCommand(cmd::kKnobUp, mirror, t0));
    // A raise that no report follows is forgotten after a while (the device ignored it).
    EXPECT_FALSE(policy.RefuseCommand(cmd::kKnobUp, mirror, t0 + std::chrono::seconds(2)));

    const Case others[] = {
        {cmd::kZoneVolumeUp, true},  // the zone is at its own cap
        {cmd::kKnobDown, false},     // lowering is never capped
        {cmd::kZoneVolumeDown, false},
        {cmd::kMuteToggle, false},
    };
    for (const Case& c : others)
        EXPECT_EQ(policy.RefuseCommand(c.code, mirror, t0).has_value(), c.refused) << int{c.code};

    mirror[RS_VOLUME].state = RegisterState::Pending;
    EXPECT_TRUE(policy.RefuseCommand(cmd::kKnobUp, mirror, t0 + std::chrono::seconds(5)))
        << "an unknown volume may be anywhere";
}

TEST(Policy, SetAboveTheCapIsRefused) {
    daemon::Policy policy;
    daemon::PolicySettings settings;
    settings.maxVolume = -30;
    ASSERT_TRUE(policy.Configure(settings, nullptr));
    EXPECT_FALSE(policy.RefuseSet(RS_VOLUME, 70));  // -30
    EXPECT_TRUE(policy.RefuseSet(RS_VOLUME, 71));   // -29
    EXPECT_FALSE(policy.RefuseSet(RS_ZONE_VOLUME, 115)) << "no zone cap given";
    EXPECT_FALSE(policy.RefuseSet(RS_BASS, 24));
}

TEST(NamesDownloadCheck, AcceptsOnlyAWholeAlignedValidImage) {
    struct Case {
        daemon::NamesDownloadResult result;
        bool accepted;
    };
    const Case cases[] = {
        {{1024, 0, true}, true},   {{1023, 0, true}, false},  // short
        {{1024, 2, true}, false},                             // shifted: bytes followed
        {{1024, 0, false}, false},                            // bytes the device can't hold
        {{0, 0, true}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(daemon::NamesDownloadAccepted(c.result), c.accepted)
            << c.result.received << " " << c.result.trailing << " " << c.result.imageValid;
}

TEST(DaemonOptions, ReadsTheCommandLine) {
    daemon::DaemonOptions options;
    std::string error;
    ASSERT_TRUE(daemon::ParseDaemonOptions(
        {"--port", "socket://127.0.0.1:4001", "--json", "127.0.0.1:0", "--max-volume", "-20",
         "--allow", "127.0.0.2/32", "--listen", "[::1]:5120"},
        options, &error))
        << error;
    EXPECT_EQ(options.port, "socket://127.0.0.1:4001");
    EXPECT_EQ(options.listen, std::vector<std::string>{"[::1]:5120"});
    EXPECT_EQ(options.policy.maxVolume, -20);
    EXPECT_FALSE(options.policy.maxZoneVolume);

    daemon::DaemonOptions defaults;
    ASSERT_TRUE(daemon::ParseDaemonOptions({}, defaults, &error));
    EXPECT_EQ(defaults.listen, std::vector<std::string>{"127.0.0.1:5120"});
    EXPECT_EQ(defaults.policy.maxClients, 32);

    const std::vector<std::vector<std::string>> bad = {
        {"--speed", "4800"},
        {"--listen", "5120"},
        {"--json", "host:99999"},
        {"--max-volume", "loud"},
        {"--max-clients", "0"},
        {"--frobnicate", "1"},
        {"--port"},
        {"--client-queue", "12"},
    };
    for (const auto& args : bad) {
        daemon::DaemonOptions o;
        EXPECT_FALSE(daemon::ParseDaemonOptions(args, o, &error)) << args[0];
        EXPECT_FALSE(error.empty());
    }
}

}  // namespace
}  // namespace r512::test
