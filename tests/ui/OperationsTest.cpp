// Every operation of both windows against the simulated bench, as a table:
// the adapter's state, the operation, the exact bytes the adapter received,
// the pauses it was given, the message boxes the user saw, and what the
// adapter holds afterwards.
#include "support/BenchFixture.h"
#include "support/Say.h"
#include "ui/ManualDlg.h"
#include "ui/Messages.h"

#include <thread>

namespace nw::test {
namespace {

using sim::AdapterState;
using sim::CSimAdapter;
using Pauses = std::vector<std::uint32_t>;
using Boxes = std::vector<std::string>;
namespace manual = id::manual;

const char kMasterReport[] = "Friendly Name: OLMA-M\nBluetooth Address: 0001950A0B00\n"
                             "Mode: MODE0\nFlowControl: OFF\nStatus: STANDBY\n"
                             "Authentication: OFF\nEncryption: OFF\nCommand Response: ON";
const char kDetect[] = "at\r\nat+btinfo?\r\n";
const char kAbsent[] = "at\r\nats10?\r\n+++ats10=1\r\n"; // detection and the reset's wake-up
const std::string kReport = "at\r\nat+btinfo?\r\nato\r\n";

class Operations : public BenchTest {
  public:
    using BenchTest::dlg;
    using BenchTest::host;
    using BenchTest::State;

    // Runs `body` in the Manual Setting window, after its opening report.
    Outcome InManual(const std::function<Outcome(CManualDlg&, RecordingHost&)>& body) {
        Outcome outcome;
        host.onManualWindow = [&](CManualDlg& m, RecordingHost& h) {
            opened = Sent();
            host.ClearRecords();
            outcome = body(m, h);
            boxes = h.Boxes();
            info = h.Text(manual::kStaticInfo);
        };
        dlg.OnButtonManual();
        return outcome;
    }
    static void Use(RecordingHost& h, int k, const std::string& text) {
        h.SetCheck(manual::kUseChecks[static_cast<std::size_t>(k)], true);
        h.Type(manual::kSlaveEdits[static_cast<std::size_t>(k)], text);
    }
    static Outcome Of(OutcomeKind kind) { return {kind, {}}; }

    std::string opened; // what its opening report sent
    Boxes boxes;        // what the Manual Setting window showed in boxes
    std::string info;   // its information area afterwards
};

using Prepare = std::function<void(CSimAdapter&)>;
using Operation = std::function<Outcome(Operations&)>;
using Verify = std::function<void(Operations&)>;

struct Case {
    Case(const char* name_, const char* attach_, Prepare prepare_, Operation run_,
         std::string bytes_, Pauses pauses_ = {}, OutcomeKind outcome_ = OutcomeKind::Succeeded,
         Boxes shown_ = {}, Verify check_ = nullptr)
        : name(name_), attach(attach_), prepare(std::move(prepare_)), run(std::move(run_)),
          bytes(std::move(bytes_)), pauses(std::move(pauses_)), outcome(outcome_),
          shown(std::move(shown_)), check(std::move(check_)) {}

    const char* name;
    const char* attach; // "" when nothing is attached
    Prepare prepare;
    Operation run;
    std::string bytes;
    Pauses pauses; // empty: not checked
    OutcomeKind outcome;
    Boxes shown; // boxes of either window
    Verify check;
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

const Prepare kAsIs = [](CSimAdapter&) {};
const Prepare kSilent = [](CSimAdapter& a) { a.State().s10 = 0; };
const Prepare kLinked = [](CSimAdapter& a) { a.SetLinked(); };
const Prepare kNoMulti = [](CSimAdapter& a) { a.State().multiSupport = false; };

Operation Detect() {
    return [](Operations& t) { return Operations::Of(t.dlg.DetectDevice()); };
}
Operation Check() {
    return [](Operations& t) { return t.dlg.OnButtonCheck(); };
}
Operation Reset() {
    return [](Operations& t) { return t.dlg.OnButtonFactoryReset(); };
}
Operation Multi() {
    return [](Operations& t) { return Operations::Of(t.dlg.CheckMultiConnection()); };
}
// `body` in the Manual Setting window (none: just open it).
Operation InManual(std::function<Outcome(CManualDlg&, RecordingHost&)> body) {
    return [body](Operations& t) {
        return t.InManual(
            [&](CManualDlg& m, RecordingHost& h) { return body ? body(m, h) : Outcome(); });
    };
}
Operation AutoFill() {
    return InManual([](CManualDlg& m, RecordingHost&) { return m.OnButtonAutoFill(); });
}
// Master Set with the Use boxes given as {slave, typed text}.
Operation MasterSet(std::vector<std::pair<int, std::string>> used, bool quiet = false) {
    return [used, quiet](Operations& t) {
        return t.InManual([&](CManualDlg& m, RecordingHost& h) {
            for (const auto& [k, text] : used)
                Operations::Use(h, k, text);
            h.SetCheck(manual::kCheckDisableResponse, quiet);
            return m.OnButtonMasterSet();
        });
    };
}
Operation SlaveSet(std::string master, bool quiet = false) {
    return [master, quiet](Operations& t) {
        return t.InManual([&](CManualDlg& m, RecordingHost& h) {
            h.Type(manual::kEditMaster, master);
            h.SetCheck(manual::kCheckDisableResponse, quiet);
            return m.OnButtonSlaveSet();
        });
    };
}

// `who`'s registers and mode afterwards.
Verify Holds(std::string who, std::string s46, std::string s54, std::string s55, std::string s56,
             int mode, int s53, int s10) {
    return [=](Operations& t) {
        const AdapterState s = t.State(who);
        EXPECT_EQ(s.s46 + " " + s.s54 + " " + s.s55 + " " + s.s56,
                  s46 + " " + s54 + " " + s55 + " " + s56);
        EXPECT_EQ(s.mode, mode);
        EXPECT_EQ(s.s53, s53);
        EXPECT_EQ(s.s10, s10);
    };
}

const char kZero[] = "000000000000";
const char kS1[] = "0001950A0B01";
const char kS2[] = "0001950A0B02";
const char kS3[] = "0001950A0B03";
const char kS4[] = "0001950A0B04";

// clang-format off
const Case kCases[] = {
    // Detection: the commands of each state an adapter can be found in.
    {"DetectIdle", "master", kAsIs, Detect(), kDetect, {400, 1500}},
    {"DetectPending", "master", [](CSimAdapter& a) { a.SetPending(); }, Detect(),
     "at\r\nat+btinfo?\r\nat+btcancel\r\n", {400, 1500, 4000}},
    {"DetectSilent", "master", kSilent, Detect(),
     "at\r\nats10?\r\nats10=1\r\nat+btinfo?\r\n", {400, 400, 400, 1500}, OutcomeKind::Succeeded, {},
     [](Operations& t) { EXPECT_EQ(t.State("master").s10, 1); }},
    {"DetectLinked", "master", kLinked, Detect(),
     "at\r\nats10?\r\n+++ath\r\nat+btinfo?\r\n", {400, 400, 400, 400, 1500}, OutcomeKind::Succeeded, {},
     [](Operations& t) { EXPECT_EQ(t.State("master").link, sim::LinkState::Standby); }},
    {"DetectLinkedSilent", "master", [](CSimAdapter& a) { a.SetLinked(); a.State().s10 = 0; },
     Detect(), "at\r\nats10?\r\n+++ats10=1\r\nath\r\nat+btinfo?\r\n", {}, OutcomeKind::Succeeded, {},
     [](Operations& t) { EXPECT_FALSE(t.State("master").dataMode); }},
    // A link to a device that sends everything back: the echoes say nothing.
    {"DetectLinkedLoopback", "master",
     [](CSimAdapter& a) { a.SetLinked(); a.Fault().loopback = true; },
     Detect(), "at\r\nats10?\r\n+++ath\r\nat+btinfo?\r\n"},
    {"DetectAbsent", "", nullptr, Detect(), kAbsent, {400, 400, 400, 400}, OutcomeKind::Failed},
    {"MultiSupported", "master", kAsIs, Multi(), "ats53?\r\n"},
    {"MultiMissing", "master", kNoMulti, Multi(), "ats53?\r\n", {}, OutcomeKind::Failed},
    // Silence cannot be told from support: only "ERROR" says no.
    {"MultiSilence", "", nullptr, Multi(), "ats53?\r\n"},

    // The information report: "ato" after any OK in the main window, only
    // after an escape in the Manual Setting window; "ats10=0" to a silent one.
    {"CheckMaster", "master", kAsIs, Check(), kReport, {400, 2000, 400}, OutcomeKind::Succeeded, {kMasterReport},
     [](Operations& t) {
         EXPECT_EQ(t.dlg.m_strBdAddr[0], "0001950A0B00");
         EXPECT_TRUE(t.host.Enabled(id::main::kButtonStart));
         EXPECT_TRUE(t.host.Enabled(id::main::kButtonFactoryReset)); }},
    {"CheckSilent", "slave2", kSilent, Check(),
     "at\r\nats10?\r\nat+btinfo?\r\nats10=0\r\n", {400, 400, 2000, 400}, OutcomeKind::Succeeded, {},
     [](Operations& t) {
         EXPECT_EQ(t.dlg.m_info.m_strInfoResponse, "Command Response: OFF");
         EXPECT_EQ(t.dlg.m_strBdAddr[0], kS2);
         EXPECT_EQ(t.State("slave2").s10, 0); }},
    {"CheckLinked", "master", kLinked, Check(),
     "at\r\nats10?\r\n+++at+btinfo?\r\nato\r\n", {}, OutcomeKind::Succeeded, {},
     [](Operations& t) {
         EXPECT_EQ(t.host.TextHistory(id::main::kStaticMessage).back(), msg::kConnectedOther);
         EXPECT_EQ(t.dlg.m_info.m_strInfoStatus, "Status: CONNECT");
         EXPECT_TRUE(t.State("master").dataMode); }}, // back in its link
    {"CheckAbsent", "", nullptr, Check(), "at\r\nats10?\r\n+++ats10?\r\n", {400, 400, 400, 400},
     OutcomeKind::Failed, {msg::kNotDetected}, [](Operations& t) { EXPECT_EQ(t.dlg.m_strBdAddr[0], kZero); }},
    {"ManualOpensOnAMaster", "master", kAsIs, InManual(nullptr), "", {}, OutcomeKind::Succeeded, {},
     [](Operations& t) {
         EXPECT_EQ(t.opened, kDetect); // no "ato" after a plain OK
         EXPECT_EQ(t.host.ManualHost().Text(manual::kStaticInfo), kMasterReport);
         EXPECT_EQ(t.dlg.m_strBdAddr[0], kZero); }}, // the manual report stores no address
    {"ManualCheckOnALinkedMaster", "master", kLinked,
     InManual([](CManualDlg& m, RecordingHost&) { return m.OnButtonCheck(); }),
     "at\r\nats10?\r\n+++at+btinfo?\r\nato\r\n", {}, OutcomeKind::Succeeded, {},
     [](Operations& t) {
         EXPECT_TRUE(t.State("master").dataMode);
         EXPECT_TRUE(t.host.TextHistory(id::main::kStaticMessage).empty()); }},

    // Factory reset: the main window confirms and rereads, the Manual
    // Setting window resets blind and refreshes.
    {"ResetResponding", "slave4", kAsIs, Reset(), "at\r\nat&f\r\n" + kReport,
     {400, 3000, 400, 2000, 400}, OutcomeKind::Succeeded, {},
     [](Operations& t) {
         EXPECT_EQ(t.host.Text(id::main::kStaticMessage), msg::kResetSuccess);
         EXPECT_EQ(t.dlg.m_strBdAddr[0], kS4);
         EXPECT_EQ(t.State("slave4").factoryResets, 1); }},
    {"ResetSilent", "slave4", kSilent, Reset(), "at\r\nats10?\r\nat&f\r\n" + kReport},
    {"ResetLinked", "slave4", kLinked, Reset(), "at\r\nats10?\r\n+++at&f\r\n" + kReport},
    {"ResetAbsent", "", nullptr, Reset(), kAbsent, {}, OutcomeKind::Failed, {msg::kResetError}},
    {"ManualResetLinked", "slave4", kLinked,
     InManual([](CManualDlg& m, RecordingHost&) { return m.OnButtonFactoryReset(); }),
     "at\r\nats10?\r\n+++at&f\r\nat\r\nat+btinfo?\r\n", {400, 400, 400, 2000, 400, 2000, 400},
     OutcomeKind::Succeeded, {},
     [](Operations& t) {
         EXPECT_NE(t.info.find("Bluetooth Address: 0001950A0B04"), std::string::npos);
         EXPECT_EQ(t.State("slave4").s46, kZero); }},

    // Master Set: detection, the support query, four registers, the mode,
    // S53, the result messages; the main window then shows the network.
    {"MasterSetOneToThree", "master", kAsIs, MasterSet({{1, kS2}, {2, kS3}, {3, kS4}}),
     std::string(kDetect) + "ats53?\r\nats46=000000000000\r\nATS54=0001950A0B02\r\n"
         "ATS55=0001950A0B03\r\nATS56=0001950A0B04\r\nat+btmode,1\r\nats53=1\r\nats10=1\r\n",
     {400, 1500, 400, 1000, 1000, 1000, 1000, 1000, 4000}, OutcomeKind::Succeeded, {msg::kMasterSuccess},
     [](Operations& t) {
         Holds("master", kZero, kS2, kS3, kS4, 1, 1, 1)(t);
         EXPECT_NE(t.info.find("Mode: MODE1\nFlowControl: OFF\nStatus: PENDING"), std::string::npos);
         EXPECT_EQ(t.dlg.m_nOneToN, NetworkSize::OneToThree);
         EXPECT_EQ(t.host.VisiblePicture(), 139);
         EXPECT_TRUE(t.host.Checked(id::main::kRadio1To3));
         EXPECT_TRUE(t.host.Checked(id::main::kRadioMultiDrop)); }},
    {"MasterSetInModeOneNodeSwitchingQuiet", "master", [](CSimAdapter& a) { a.State().mode = 1; },
     [](Operations& t) {
         t.dlg.m_nMode = ConnectionMode::NodeSwitching;
         return MasterSet({{0, kS1}, {2, kS3}}, true)(t); },
     std::string(kDetect) + "ats53?\r\nATS46=0001950A0B01\r\nats54=000000000000\r\n"
         "ATS55=0001950A0B03\r\nats56=000000000000\r\nats53=2\r\nats10=0\r\n",
     {}, OutcomeKind::Succeeded, {msg::kMasterSuccess},
     [](Operations& t) {
         Holds("master", kS1, kZero, kS3, kZero, 1, 2, 0)(t);
         EXPECT_EQ(t.dlg.m_nOneToN, NetworkSize::OneToTwo);
         EXPECT_EQ(t.host.VisiblePicture(), 138);
         EXPECT_TRUE(t.host.Checked(id::main::kRadioNodeSwitching)); }},
    {"MasterSetRejected", "master", kAsIs, MasterSet({{0, kS1}, {1, kS2}, {2, "ZZZZZZZZZZZZ"}}),
     std::string(kDetect) + "ats53?\r\nATS46=0001950A0B01\r\nATS54=0001950A0B02\r\n"
         "ATS55=ZZZZZZZZZZZZ\r\n", {}, OutcomeKind::Failed, {msg::kFactoryResetAndCheck},
     [](Operations& t) {
         EXPECT_EQ(t.State("master").s54, kS2);
         EXPECT_EQ(t.dlg.m_nOneToN, NetworkSize::OneToTwo); }}, // the main window untouched
    {"MasterSetAbsent", "", nullptr, MasterSet({{0, kS1}, {1, kS2}}), kAbsent, {}, OutcomeKind::Failed,
     {msg::kFactoryResetAndCheck}},
    {"MasterSetNoMulti", "master", kNoMulti, MasterSet({{0, kS1}, {1, kS2}}),
     std::string(kDetect) + "ats53?\r\n", {}, OutcomeKind::Failed, {msg::kNoMulti}},
    {"MasterSetOneSlave", "master", kAsIs, MasterSet({{0, kS1}}), "", {}, OutcomeKind::Failed, {msg::kCheckMoreUse}},
    {"MasterSetLongFirstAddress", "master", kAsIs,
     MasterSet({{0, "0001950A0B01F"}, {1, "0001950A0B0"}}), "", {}, OutcomeKind::Failed, {"ERROR: Slave1 BD address"}},
    {"MasterSetLongLastAddress", "master", kAsIs, MasterSet({{1, kS1}, {3, "0001950A0B012"}}), "",
     {}, OutcomeKind::Failed, {"ERROR: Slave4 BD address"}},

    // Slave Set: a former master of either mode leaves it; then mode 2 and a
    // restart.
    {"SlaveSetFormerNodeSwitchingMaster", "slave1", [](CSimAdapter& a) { a.State().s53 = 2; },
     SlaveSet("0001950A0B00"),
     std::string(kDetect) + "ATS46=0001950A0B00\r\nats53?\r\nats53=0\r\nat+btmode,2\r\n"
         "ats10=1\r\natz\r\n", {400, 1500, 400, 400, 5000, 400, 400}, OutcomeKind::Succeeded, {msg::kSlaveSuccess},
     [](Operations& t) {
         Holds("slave1", "0001950A0B00", kZero, kZero, kZero, 2, 0, 1)(t);
         EXPECT_EQ(t.State("slave1").restarts, 1);
         EXPECT_NE(t.info.find("Mode: MODE2\nFlowControl: OFF\nStatus: PENDING"), std::string::npos); }},
    {"SlaveSetFormerMultiDropMaster", "slave1", [](CSimAdapter& a) { a.State().s53 = 1; },
     SlaveSet("0001950A0B00"),
     std::string(kDetect) + "ATS46=0001950A0B00\r\nats53?\r\nats53=0\r\nat+btmode,2\r\n"
         "ats10=1\r\natz\r\n", {}, OutcomeKind::Succeeded, {msg::kSlaveSuccess}},
    {"SlaveSetQuiet", "slave2", kAsIs, SlaveSet("0001950A0B00", true),
     std::string(kDetect) + "ATS46=0001950A0B00\r\nats53?\r\nat+btmode,2\r\nats10=0\r\natz\r\n",
     {}, OutcomeKind::Succeeded, {msg::kSlaveSuccess},
     [](Operations& t) { EXPECT_NE(t.info.find("Command Response: OFF"), std::string::npos); }},
    {"SlaveSetShortAddress", "slave1", kAsIs, SlaveSet("0001950A0B0"), "", {}, OutcomeKind::Failed,
     {msg::kMasterAddress}},
    {"SlaveSetAddressWithALineEnd", "slave1", kAsIs, SlaveSet(std::string("0001950A0B\n0", 12)),
     "", {}, OutcomeKind::Failed, {msg::kMasterAddress}},
    {"SlaveSetModeRefused", "slave1",
     [](CSimAdapter& a) { a.Fault().scripted["at+btmode,2"] = ""; }, SlaveSet("0001950A0B00"),
     std::string(kDetect) + "ATS46=0001950A0B00\r\nats53?\r\nat+btmode,2\r\n", {}, OutcomeKind::Failed,
     {msg::kCheckOlma}},

    // Auto Fill: a master's registers into the slave edits and Use boxes.
    {"AutoFillTwoSlaves", "master",
     [](CSimAdapter& a) { a.State().s46 = kS1; a.State().s54 = kS2; a.State().s53 = 2; },
     AutoFill(), "at\r\nats46?\r\nats54?\r\nats55?\r\nats56?\r\nats10?\r\nats53?\r\n",
     {400, 1000, 1000, 1000, 1000, 500, 500}, OutcomeKind::Succeeded, {},
     [](Operations& t) {
         RecordingHost& h = t.host.ManualHost();
         EXPECT_EQ(h.Text(manual::kEditSlave2), kS2);
         EXPECT_EQ(h.Text(manual::kEditSlave3), kZero);
         EXPECT_TRUE(h.Checked(manual::kCheckUse2) && h.Enabled(manual::kEditSlave2));
         EXPECT_FALSE(h.Checked(manual::kCheckUse3) || h.Enabled(manual::kEditSlave3));
         EXPECT_FALSE(h.Checked(manual::kCheckDisableResponse)); // S10 reads 1
         EXPECT_TRUE(h.Checked(manual::kRadioNodeSwitching));
         EXPECT_EQ(t.dlg.m_nMode, ConnectionMode::MultiDrop); }}, // not the main window's
    {"AutoFillLinked", "master",
     [](CSimAdapter& a) { a.SetLinked(); a.State().multiSupport = false; }, // "ats53?": ERROR
     AutoFill(), "at\r\nats10?\r\n+++ats46?\r\nats54?\r\nats55?\r\nats56?\r\nats10?\r\nats53?\r\n",
     {}, OutcomeKind::Failed, {},
     [](Operations& t) {
         EXPECT_TRUE(t.host.ManualHost().Checked(manual::kRadioMultiDrop));
         EXPECT_FALSE(t.State("master").dataMode); }},
    {"AutoFillOnlyTwelveHexDigits", "master", [](CSimAdapter& a) {
         a.Fault().scripted["ats46?"] = "\r\n0001950A\r\nOK\r\n"; // would split a command
         a.State().s54 = kS2;
         a.Fault().scripted["ats55?"] = "ERROR";         // exactly: no slave
         a.Fault().scripted["ats56?"] = "\r\nERROR\r\n"; // no address at all
         a.Fault().scripted["ats10?"] = "\r\n0\r\n"; },
     AutoFill(), "at\r\nats46?\r\nats54?\r\nats55?\r\nats56?\r\nats10?\r\nats53?\r\n", {}, OutcomeKind::Failed, {},
     [](Operations& t) {
         RecordingHost& h = t.host.ManualHost();
         EXPECT_EQ(h.Text(manual::kEditSlave1) + h.Text(manual::kEditSlave3), std::string(kZero) + kZero);
         EXPECT_FALSE(h.Checked(manual::kCheckUse1));
         EXPECT_TRUE(h.Checked(manual::kCheckDisableResponse)); }},
    {"AutoFillAbsent", "", nullptr, AutoFill(), "at\r\nats10?\r\n+++ats10?\r\n", {}, OutcomeKind::Failed,
     {msg::kFactoryResetAndCheck}},
};
// clang-format on

class OperationTable : public Operations, public ::testing::WithParamInterface<Case> {};

TEST_P(OperationTable, SendsItsBytesAndShowsItsTexts) {
    const Case& c = GetParam();
    if (*c.attach != '\0') {
        ASSERT_TRUE(bench.Attach(c.attach));
        With(c.attach, c.prepare);
    }
    Sent();
    const Outcome outcome = c.run(*this);
    EXPECT_EQ(Sent(), c.bytes);
    if (!c.pauses.empty()) {
        EXPECT_EQ(host.Pauses(), c.pauses);
    }
    EXPECT_EQ(outcome.kind, c.outcome) << outcome.message;
    Boxes shown = host.Boxes();
    if (shown.empty())
        shown = boxes;
    if (!c.shown.empty()) {
        EXPECT_EQ(shown, c.shown);
    }
    EXPECT_EQ(host.WaitDepth(), 0);
    if (c.check)
        c.check(*this);
}

INSTANTIATE_TEST_SUITE_P(Bench, OperationTable, ::testing::ValuesIn(kCases),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Operations, RepliesLateForTheirPauseAreDrainedBeforeTheNextCommand) {
    ASSERT_TRUE(bench.Attach("master"));
    With("master", [](CSimAdapter& a) {
        a.Fault().splitAt = 10; // the description's tail comes well after the collect
        a.Fault().splitPauseMs = 3 * Scaled(2000);
    });
    EXPECT_EQ(dlg.ReadDeviceInfo(0), OutcomeKind::Succeeded);
    EXPECT_EQ(dlg.m_strBdAddr[0], ""); // "\r\n0001950A" has no comma
    std::this_thread::sleep_for(std::chrono::milliseconds(3 * Scaled(2000)));
    With("master", [](CSimAdapter& a) { a.Fault().splitAt = 0; });
    EXPECT_EQ(Say(dlg.m_exchange, cmd::kAt, 400), "\r\nOK\r\n");
    EXPECT_EQ(dlg.m_exchange.m_nRxCount, 6);
}

TEST_F(Operations, AnUnconfirmedResetSaysSoAndStepsTheRunBack) {
    ASSERT_TRUE(bench.Attach("master"));
    dlg.m_nStep = 2;
    // The adapter answers the wake-up, then falls silent before "at&f".
    host.onPause = [&](std::uint32_t ms) {
        if (ms == 400)
            With("master", [](CSimAdapter& a) { a.Fault().silent = true; });
    };
    EXPECT_EQ(dlg.OnButtonFactoryReset().kind, OutcomeKind::Failed);
    EXPECT_EQ(Sent(), "at\r\nat&f\r\n"); // no report follows
    EXPECT_EQ(host.Text(id::main::kStaticMessage), msg::kResetError);
    EXPECT_EQ(dlg.m_nStep, 1);
    EXPECT_EQ(host.Text(id::main::kButtonStart), msg::kTryAgain);
}

TEST_F(Operations, UseBoxesEnableTheirEditsAndModeRadiosSetTheMainMode) {
    InManual([&](CManualDlg& m, RecordingHost& h) {
        EXPECT_FALSE(h.Enabled(manual::kEditSlave2));
        h.SetCheck(manual::kCheckUse2, true);
        m.OnCheckUse2();
        EXPECT_TRUE(h.Enabled(manual::kEditSlave2));
        h.SetCheck(manual::kCheckUse2, false);
        m.OnCheckUse2();
        EXPECT_FALSE(h.Enabled(manual::kEditSlave2));
        m.OnRadioNodeSwitching();
        EXPECT_EQ(dlg.m_nMode, ConnectionMode::NodeSwitching);
        return Outcome();
    });
    EXPECT_EQ(info, msg::kCanNotFoundManual);
}

} // namespace
} // namespace nw::test
