#include "protocol/FactoryReset.h"

#include "protocol/Dialect.h"

namespace nw {

namespace {
constexpr std::uint32_t kConfirmMs = 3000;
constexpr std::uint32_t kBlindMs = 2000;
} // namespace

bool ResetAndConfirm(CCommandExchange& ex) {
    ex.Drain();
    ex.Write(cmd::kFactoryReset);
    ex.Pause(kConfirmMs);
    ex.Collect();
    return reply::Contains(ex.m_strResponse, reply::kOk);
}

void ResetBlind(CCommandExchange& ex) {
    ex.BareSend(cmd::kFactoryReset, kBlindMs);
}

} // namespace nw
