// Verification against the simulated bench: a correctly set adapter verifies,
// each wrong field is named, nothing is written, an absent adapter fails.
#include "protocol/Verify.h"
#include "support/BenchFixture.h"

#include <tuple>

namespace nw::test {
namespace {

using sim::AdapterState;

const char kS1[] = "0001950A0B01";
const char kS2[] = "0001950A0B02";

// A master set for slaves 1 and 2, Multi-Drop, result messages on.
void SetMaster(AdapterState& s) {
    std::tie(s.mode, s.s53, s.s46, s.s54, s.s10) = std::tuple(1, 1, kS1, kS2, 1);
}

class Verify : public BenchTest {
  protected:
    // The names of the fields that differ, or the failure.
    std::string Differing(const IntendedSettings& intended) {
        const Readback r = VerifyAdapter(dlg.m_exchange, intended);
        if (r.kind != OutcomeKind::Succeeded)
            return r.found ? r.failure : "not found";
        std::string names;
        for (const FieldCheck& f : r.fields)
            names += f.ok ? "" : f.name + "=" + f.value + " ";
        return names;
    }
};

TEST_F(Verify, ASetMasterVerifiesAndEachWrongFieldIsNamed) {
    const IntendedSettings master{.slaves = {kS1, "0001950a0b02", "", ""}};
    ASSERT_TRUE(bench.Attach("master"));
    With("master", [](sim::CSimAdapter& a) { SetMaster(a.State()); });
    Sent();
    EXPECT_EQ(Differing(master), "");
    // Reads only: the report, then the settings.
    EXPECT_EQ(Sent(), "at\r\nat+btinfo?\r\nats10?\r\nats53?\r\nats46?\r\nats54?\r\nats55?\r\n"
                      "ats56?\r\n");
    EXPECT_EQ(host.Pauses(),
              (std::vector<std::uint32_t>{400, 2000, 400, 500, 500, 1000, 1000, 1000, 1000}));

    const std::pair<std::function<void(AdapterState&)>, const char*> wrong[] = {
        {[](AdapterState& s) { s.mode = 2; }, "Mode=MODE2 "},
        {[](AdapterState& s) { s.s53 = 2; }, "S53=2 "},
        {[](AdapterState& s) { s.s54 = kS1; }, "S54=0001950A0B01 "},
        {[](AdapterState& s) { s.s56 = kS2; }, "S56=0001950A0B02 "},
        {[](AdapterState& s) { s.s10 = 0; }, "S10=0 "},
        {[](AdapterState& s) { s.multiSupport = false; }, "could not be read: S53"},
    };
    for (const auto& [tweak, differs] : wrong) {
        With("master", [&](sim::CSimAdapter& a) {
            a.FactoryReset();
            SetMaster(a.State());
            tweak(a.State());
        });
        EXPECT_EQ(Differing(master), differs);
    }
    // No assignment but the "ats10=0" that leaves a silent adapter silent.
    std::string sent = Sent();
    for (auto at = sent.find("ats10=0\r\n"); at != std::string::npos; at = sent.find("ats10=0\r\n"))
        sent.erase(at, 9);
    for (const char* write : {"=", "at&f", "atz"})
        EXPECT_EQ(sent.find(write), std::string::npos) << write << " in " << sent;
}

TEST_F(Verify, ASlaveIsComparedWithItsMasterAndAnAbsentAdapterFails) {
    IntendedSettings slave{
        .master = false, .masterAddress = "0001950A0B00", .disableResponse = true};
    ASSERT_TRUE(bench.Attach("slave1"));
    With("slave1", [](sim::CSimAdapter& a) {
        std::tie(a.State().mode, a.State().s46, a.State().s10) = std::tuple(2, "0001950A0B00", 0);
    });
    EXPECT_EQ(Differing(slave), "");
    // Found silent, left silent: the report's "ats10=0" is its only assignment.
    EXPECT_EQ(Sent(), "at\r\nats10?\r\nat+btinfo?\r\nats10=0\r\nats10?\r\nats53?\r\nats46?\r\n");
    slave.masterAddress = kS2;
    slave.disableResponse = false;
    EXPECT_EQ(Differing(slave), "S46=0001950A0B00 S10=0 ");
    bench.Detach();
    EXPECT_EQ(Differing(slave), "not found");
}

} // namespace
} // namespace nw::test
