// Verification against the simulated bench: a slave set as intended verifies,
// each wrong field is named, nothing is written, an absent adapter fails.
#include "protocol/Verify.h"
#include "support/BenchFixture.h"

#include <tuple>

namespace nw::test {
namespace {

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
    slave.masterAddress = "0001950A0B02";
    slave.disableResponse = false;
    EXPECT_EQ(Differing(slave), "S46=0001950A0B00 S10=0 ");
    bench.Detach();
    EXPECT_EQ(Differing(slave), "not found");
}

} // namespace
} // namespace nw::test
