// Every operation of both windows against the simulated bench, as a table:
// the adapter's state, the operation, the exact bytes the adapter received,
// the pauses it was given, the boxes the user saw, and what follows.
#include "support/BenchFixture.h"
#include "support/Say.h"
#include "ui/ManualDlg.h"
#include "ui/Messages.h"

#include <thread>

namespace nw::test {
namespace {

using sim::CSimAdapter;
using Body = std::function<Outcome(CManualDlg&, RecordingHost&)>;
namespace manual = id::manual;
constexpr OutcomeKind kOk = OutcomeKind::Succeeded;
constexpr OutcomeKind kFail = OutcomeKind::Failed;

const char kMasterReport[] = "Friendly Name: OLMA-M\nBluetooth Address: 0001950A0B00\n"
                             "Mode: MODE0\nFlowControl: OFF\nStatus: STANDBY\n"
                             "Authentication: OFF\nEncryption: OFF\nCommand Response: ON";
const std::string kDetect = "at\r\nat+btinfo?\r\n";
const char kAbsent[] = "at\r\nats10?\r\n+++ats10=1\r\n"; // detection and the reset's wake-up
const std::string kReport = kDetect + "ato\r\n";
const std::string kFill = "ats46?\r\nats54?\r\nats55?\r\nats56?\r\nats10?\r\nats53?\r\n";
const std::string kToSlave = kDetect + "ATS46=0001950A0B00\r\nats53?\r\n";
const char kZero[] = "000000000000";
const char kS1[] = "0001950A0B01";
const char kS2[] = "0001950A0B02";
const char kS3[] = "0001950A0B03";

class Operations : public BenchTest {
  public:
    // Runs `body` in the Manual Setting window, after its opening report.
    Outcome InManual(const Body& body) {
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

    std::string opened;             // what the Manual Setting window's opening report sent
    std::vector<std::string> boxes; // the boxes that window showed
    std::string info;               // its information area afterwards
};

using Run = std::function<Outcome(Operations&)>;
struct Case {
    const char* name;
    const char* attach; // "" when nothing is attached
    std::function<void(CSimAdapter&)> prepare;
    Run run;
    std::string bytes;
    std::vector<std::uint32_t> pauses = {}; // empty: not checked
    OutcomeKind outcome = kOk;
    std::vector<std::string> shown = {}; // boxes of either window; empty: not checked
    const char* info = nullptr;          // in the Manual Setting window's report afterwards
    std::function<void(Operations&)> check = nullptr;
};
void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

const auto kAsIs = [](CSimAdapter&) {};
const auto kSilent = [](CSimAdapter& a) { a.State().s10 = 0; };
const auto kLinked = [](CSimAdapter& a) { a.SetLinked(); };
const Run Detect = [](Operations& t) { return Outcome{t.dlg.DetectDevice(), {}}; };
const Run Check = [](Operations& t) { return t.dlg.OnButtonCheck(); };
const Run Reset = [](Operations& t) { return t.dlg.OnButtonFactoryReset(); };
const Run Multi = [](Operations& t) { return Outcome{t.dlg.CheckMultiConnection(), {}}; };
Run Manual(Body body) {
    return [body](Operations& t) { return t.InManual(body); };
}
const Run AutoFill = Manual([](CManualDlg& m, RecordingHost&) { return m.OnButtonAutoFill(); });
// Master Set with the Use boxes given as {slave, typed text}.
Run MasterSet(std::vector<std::pair<std::size_t, std::string>> used, bool quiet = false) {
    return Manual([used, quiet](CManualDlg& m, RecordingHost& h) {
        for (const auto& [k, text] : used) {
            h.SetCheck(manual::kUseChecks[k], true);
            h.Type(manual::kSlaveEdits[k], text);
        }
        h.SetCheck(manual::kCheckDisableResponse, quiet);
        return m.OnButtonMasterSet();
    });
}
Run SlaveSet(std::string master, bool quiet = false) {
    return Manual([master, quiet](CManualDlg& m, RecordingHost& h) {
        h.Type(manual::kEditMaster, master);
        h.SetCheck(manual::kCheckDisableResponse, quiet);
        return m.OnButtonSlaveSet();
    });
}

// clang-format off
const Case kCases[] = {
    // Detection: the commands of each state an adapter can be found in.
    {"DetectIdle", "master", kAsIs, Detect, kDetect, {400, 1500}},
    {"DetectPending", "master", [](CSimAdapter& a) { a.SetPending(); }, Detect,
     kDetect + "at+btcancel\r\n", {400, 1500, 4000}},
    {"DetectSilent", "master", kSilent, Detect, "at\r\nats10?\r\nats10=1\r\nat+btinfo?\r\n",
     {400, 400, 400, 1500}},
    {"DetectLinked", "master", kLinked, Detect, "at\r\nats10?\r\n+++ath\r\nat+btinfo?\r\n",
     {400, 400, 400, 400, 1500}},
    {"DetectLinkedSilent", "master", [](CSimAdapter& a) { a.SetLinked(); a.State().s10 = 0; },
     Detect, "at\r\nats10?\r\n+++ats10=1\r\nath\r\nat+btinfo?\r\n"},
    // A link to a device that sends everything back: the echoes say nothing.
    {"DetectLinkedLoopback", "master", [](CSimAdapter& a) { a.SetLinked(); a.Fault().loopback = true; },
     Detect, "at\r\nats10?\r\n+++ath\r\nat+btinfo?\r\n"},
    {"DetectAbsent", "", nullptr, Detect, kAbsent, {400, 400, 400, 400}, kFail},
    {"MultiSupported", "master", kAsIs, Multi, "ats53?\r\n"},
    {"MultiMissing", "master", [](CSimAdapter& a) { a.State().multiSupport = false; }, Multi,
     "ats53?\r\n", {}, kFail},
    // Silence cannot be told from support: only "ERROR" says no.
    {"MultiSilence", "", nullptr, Multi, "ats53?\r\n"},

    // The information report: "ato" after any OK in the main window, only
    // after an escape in the Manual Setting window; "ats10=0" to a silent one.
    {"CheckMaster", "master", kAsIs, Check, kReport, {400, 2000, 400}, kOk, {kMasterReport}, nullptr,
     [](Operations& t) {
         EXPECT_EQ(t.dlg.m_strBdAddr[0], "0001950A0B00");
         EXPECT_TRUE(t.host.Enabled(id::main::kButtonStart) &&
                     t.host.Enabled(id::main::kButtonFactoryReset)); }},
    {"CheckSilent", "slave2", kSilent, Check, "at\r\nats10?\r\nat+btinfo?\r\nats10=0\r\n",
     {400, 400, 2000, 400}, kOk, {}, nullptr, [](Operations& t) {
         EXPECT_EQ(t.dlg.m_info.m_strInfoResponse + " " + t.dlg.m_strBdAddr[0],
                   "Command Response: OFF 0001950A0B02"); }},
    {"CheckLinked", "master", kLinked, Check, "at\r\nats10?\r\n+++at+btinfo?\r\nato\r\n", {}, kOk, {}, nullptr,
     [](Operations& t) {
         EXPECT_EQ(t.host.TextHistory(id::main::kStaticMessage).back(), msg::kConnectedOther);
         EXPECT_EQ(t.dlg.m_info.m_strInfoStatus, "Status: CONNECT");
         EXPECT_TRUE(t.State("master").dataMode); }}, // back in its link
    // Something answers, but no address says it is an adapter.
    {"CheckNoAddress", "master", [](CSimAdapter& a) { a.Fault().scripted["at+btinfo?"] = "\r\nOLMA\r\nOK\r\n"; },
     Check, kReport, {}, kFail},
    {"CheckAbsent", "", nullptr, Check, "at\r\nats10?\r\n+++ats10?\r\n", {400, 400, 400, 400}, kFail,
     {msg::kNotDetected}, nullptr, [](Operations& t) { EXPECT_EQ(t.dlg.m_strBdAddr[0], kZero); }},
    {"ManualOpensOnAMaster", "master", kAsIs, Manual([](CManualDlg&, RecordingHost&) { return Outcome(); }),
     "", {}, kOk, {}, nullptr, [](Operations& t) {
         EXPECT_EQ(t.opened, kDetect); // no "ato" after a plain OK
         EXPECT_EQ(t.host.ManualHost().Text(manual::kStaticInfo), kMasterReport);
         EXPECT_EQ(t.dlg.m_strBdAddr[0], kZero); }}, // the manual report stores no address
    {"ManualCheckOnALinkedMaster", "master", kLinked,
     Manual([](CManualDlg& m, RecordingHost&) { return m.OnButtonCheck(); }),
     "at\r\nats10?\r\n+++at+btinfo?\r\nato\r\n", {}, kOk, {}, nullptr, [](Operations& t) {
         EXPECT_TRUE(t.State("master").dataMode);
         EXPECT_TRUE(t.host.TextHistory(id::main::kStaticMessage).empty()); }},
    // Use boxes enable their edits; the mode radios set the main window's mode.
    {"ManualUseBoxAndModeRadio", "", nullptr, Manual([](CManualDlg& m, RecordingHost& h) {
         std::string enabled;
         for (bool on : {true, false}) {
             h.SetCheck(manual::kCheckUse2, on);
             m.OnCheckUse2();
             enabled += h.Enabled(manual::kEditSlave2) ? "1" : "0";
         }
         m.OnRadioNodeSwitching();
         return Outcome{enabled == "10" ? kOk : kFail, enabled}; }),
     "", {}, kOk, {}, nullptr, [](Operations& t) {
         EXPECT_EQ(t.dlg.m_nMode, ConnectionMode::NodeSwitching);
         EXPECT_EQ(t.info, msg::kCanNotFoundManual); }},

    // Factory reset: the main window confirms and rereads, the Manual
    // Setting window resets blind and refreshes.
    {"ResetResponding", "slave4", kAsIs, Reset, "at\r\nat&f\r\n" + kReport, {400, 3000, 400, 2000, 400},
     kOk, {}, nullptr, [](Operations& t) {
         EXPECT_EQ(t.host.Text(id::main::kStaticMessage), msg::kResetSuccess); }},
    {"ResetSilent", "slave4", kSilent, Reset, "at\r\nats10?\r\nat&f\r\n" + kReport},
    {"ResetLinked", "slave4", kLinked, Reset, "at\r\nats10?\r\n+++at&f\r\n" + kReport},
    {"ResetAbsent", "", nullptr, Reset, kAbsent, {}, kFail, {msg::kResetError}},
    // The adapter answers the wake-up, then falls silent before "at&f": no
    // report follows and the wizard steps back.
    {"ResetUnconfirmed", "master", kAsIs, [](Operations& t) {
         t.dlg.m_nStep = 2;
         t.host.onPause = [&t](std::uint32_t ms) {
             if (ms == 400)
                 t.bench.With("master", [](CSimAdapter& a) { a.Fault().silent = true; }); };
         return t.dlg.OnButtonFactoryReset(); },
     "at\r\nat&f\r\n", {}, kFail, {}, nullptr, [](Operations& t) {
         EXPECT_EQ(t.host.Text(id::main::kStaticMessage), msg::kResetError);
         EXPECT_EQ(t.dlg.m_nStep, 1);
         EXPECT_EQ(t.host.Text(id::main::kButtonStart), msg::kTryAgain); }},
    {"ManualResetLinked", "slave4", kLinked,
     Manual([](CManualDlg& m, RecordingHost&) { return m.OnButtonFactoryReset(); }),
     "at\r\nats10?\r\n+++at&f\r\n" + kDetect, {400, 400, 400, 2000, 400, 2000, 400}, kOk, {},
     "Bluetooth Address: 0001950A0B04"},

    // Master Set: detection, the support query, four registers, the mode,
    // S53, the result messages; the main window then shows the network.
    {"MasterSetOneToThree", "master", kAsIs, MasterSet({{1, kS2}, {2, kS3}, {3, "0001950A0B04"}}),
     kDetect + "ats53?\r\nats46=000000000000\r\nATS54=0001950A0B02\r\nATS55=0001950A0B03\r\n"
         "ATS56=0001950A0B04\r\nat+btmode,1\r\nats53=1\r\nats10=1\r\n",
     {400, 1500, 400, 1000, 1000, 1000, 1000, 1000, 4000}, kOk, {msg::kMasterSuccess},
     "Mode: MODE1\nFlowControl: OFF\nStatus: PENDING", [](Operations& t) {
         EXPECT_EQ(t.dlg.m_nOneToN, NetworkSize::OneToThree);
         EXPECT_EQ(t.host.VisiblePicture(), 139);
         EXPECT_TRUE(t.host.Checked(id::main::kRadio1To3) && t.host.Checked(id::main::kRadioMultiDrop)); }},
    {"MasterSetInModeOneNodeSwitchingQuiet", "master", [](CSimAdapter& a) { a.State().mode = 1; },
     [](Operations& t) {
         t.dlg.m_nMode = ConnectionMode::NodeSwitching;
         return MasterSet({{0, kS1}, {2, kS3}}, true)(t); },
     kDetect + "ats53?\r\nATS46=0001950A0B01\r\nats54=000000000000\r\nATS55=0001950A0B03\r\n"
         "ats56=000000000000\r\nats53=2\r\nats10=0\r\n", {}, kOk, {msg::kMasterSuccess}, nullptr,
     [](Operations& t) {
         EXPECT_EQ(t.dlg.m_nOneToN, NetworkSize::OneToTwo);
         EXPECT_EQ(t.host.VisiblePicture(), 138);
         EXPECT_TRUE(t.host.Checked(id::main::kRadioNodeSwitching)); }},
    {"MasterSetRejected", "master", kAsIs, MasterSet({{0, kS1}, {1, kS2}, {2, "ZZZZZZZZZZZZ"}}),
     kDetect + "ats53?\r\nATS46=0001950A0B01\r\nATS54=0001950A0B02\r\nATS55=ZZZZZZZZZZZZ\r\n", {},
     kFail, {msg::kFactoryResetAndCheck}, nullptr, [](Operations& t) {
         EXPECT_EQ(t.dlg.m_nOneToN, NetworkSize::OneToTwo); }}, // the main window untouched
    {"MasterSetAbsent", "", nullptr, MasterSet({{0, kS1}, {1, kS2}}), kAbsent, {}, kFail,
     {msg::kFactoryResetAndCheck}},
    {"MasterSetNoMulti", "master", [](CSimAdapter& a) { a.State().multiSupport = false; },
     MasterSet({{0, kS1}, {1, kS2}}), kDetect + "ats53?\r\n", {}, kFail, {msg::kNoMulti}},
    {"MasterSetOneSlave", "master", kAsIs, MasterSet({{0, kS1}}), "", {}, kFail, {msg::kCheckMoreUse}},
    {"MasterSetLongFirstAddress", "master", kAsIs, MasterSet({{0, "0001950A0B01F"}, {1, "0001950A0B0"}}),
     "", {}, kFail, {"ERROR: Slave1 BD address"}},
    {"MasterSetLongLastAddress", "master", kAsIs, MasterSet({{1, kS1}, {3, "0001950A0B012"}}), "", {},
     kFail, {"ERROR: Slave4 BD address"}},

    // Slave Set: a former master of either mode leaves it; then mode 2 and a
    // restart.
    {"SlaveSetFormerNodeSwitchingMaster", "slave1", [](CSimAdapter& a) { a.State().s53 = 2; },
     SlaveSet("0001950A0B00"), kToSlave + "ats53=0\r\nat+btmode,2\r\nats10=1\r\natz\r\n",
     {400, 1500, 400, 400, 5000, 400, 400}, kOk, {msg::kSlaveSuccess},
     "Mode: MODE2\nFlowControl: OFF\nStatus: PENDING"},
    {"SlaveSetFormerMultiDropMaster", "slave1", [](CSimAdapter& a) { a.State().s53 = 1; },
     SlaveSet("0001950A0B00"), kToSlave + "ats53=0\r\nat+btmode,2\r\nats10=1\r\natz\r\n"},
    {"SlaveSetQuiet", "slave2", kAsIs, SlaveSet("0001950A0B00", true),
     kToSlave + "at+btmode,2\r\nats10=0\r\natz\r\n", {}, kOk, {msg::kSlaveSuccess},
     "Command Response: OFF"},
    {"SlaveSetShortAddress", "slave1", kAsIs, SlaveSet("0001950A0B0"), "", {}, kFail, {msg::kMasterAddress}},
    {"SlaveSetAddressWithALineEnd", "slave1", kAsIs, SlaveSet(std::string("0001950A0B\n0", 12)), "", {},
     kFail, {msg::kMasterAddress}},
    {"SlaveSetModeRefused", "slave1", [](CSimAdapter& a) { a.Fault().scripted["at+btmode,2"] = ""; },
     SlaveSet("0001950A0B00"), kToSlave + "at+btmode,2\r\n", {}, kFail, {msg::kCheckOlma}},

    // Auto Fill: a master's registers into the slave edits and Use boxes.
    {"AutoFillTwoSlaves", "master",
     [](CSimAdapter& a) { a.State().s46 = kS1; a.State().s54 = kS2; a.State().s53 = 2; },
     AutoFill, "at\r\n" + kFill, {400, 1000, 1000, 1000, 1000, 500, 500}, kOk, {}, nullptr, [](Operations& t) {
         RecordingHost& h = t.host.ManualHost();
         EXPECT_EQ(h.Text(manual::kEditSlave2) + h.Text(manual::kEditSlave3), std::string(kS2) + kZero);
         EXPECT_TRUE(h.Checked(manual::kCheckUse2) && h.Enabled(manual::kEditSlave2));
         EXPECT_FALSE(h.Checked(manual::kCheckUse3) || h.Enabled(manual::kEditSlave3));
         EXPECT_FALSE(h.Checked(manual::kCheckDisableResponse)); // S10 reads 1
         EXPECT_TRUE(h.Checked(manual::kRadioNodeSwitching));
         EXPECT_EQ(t.dlg.m_nMode, ConnectionMode::MultiDrop); }}, // not the main window's
    {"AutoFillLinked", "master",
     [](CSimAdapter& a) { a.SetLinked(); a.State().multiSupport = false; }, // "ats53?": ERROR
     AutoFill, "at\r\nats10?\r\n+++" + kFill, {}, kFail, {}, nullptr, [](Operations& t) {
         EXPECT_TRUE(t.host.ManualHost().Checked(manual::kRadioMultiDrop));
         EXPECT_FALSE(t.State("master").dataMode); }},
    {"AutoFillOnlyTwelveHexDigits", "master", [](CSimAdapter& a) {
         a.Fault().scripted["ats46?"] = "\r\n0001950A\r\nOK\r\n"; // would split a command
         a.State().s54 = kS2;
         a.Fault().scripted["ats55?"] = "ERROR";         // exactly: no slave
         a.Fault().scripted["ats56?"] = "\r\nERROR\r\n"; // no address at all
         a.Fault().scripted["ats10?"] = "\r\n0\r\n"; },
     AutoFill, "at\r\n" + kFill, {}, kFail, {}, nullptr, [](Operations& t) {
         RecordingHost& h = t.host.ManualHost();
         EXPECT_EQ(h.Text(manual::kEditSlave1) + h.Text(manual::kEditSlave3), std::string(kZero) + kZero);
         EXPECT_FALSE(h.Checked(manual::kCheckUse1));
         EXPECT_TRUE(h.Checked(manual::kCheckDisableResponse)); }},
    {"AutoFillAbsent", "", nullptr, AutoFill, "at\r\nats10?\r\n+++ats10?\r\n", {}, kFail,
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
    if (!c.shown.empty()) {
        EXPECT_EQ(host.Boxes().empty() ? boxes : host.Boxes(), c.shown);
    }
    EXPECT_EQ(host.WaitDepth(), 0);
    if (c.info != nullptr) {
        EXPECT_NE(info.find(c.info), std::string::npos) << info;
    }
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

} // namespace
} // namespace nw::test
