#include "ui/WizardTables.h"

#include "res/ControlIds.h"
#include "ui/Messages.h"

namespace nw::wizard {

namespace {
namespace p = id::page;

int ByN(int oneToN, int p12, int p13, int p14) {
    switch (oneToN) {
    case 0:
        return p12;
    case 1:
        return p13;
    default:
        return p14;
    }
}
} // namespace

int OverviewPage(int oneToN) {
    return ByN(oneToN, p::k1To2Overview, p::k1To3Overview, p::k1To4Overview);
}
int ConnectMasterPage(int oneToN) {
    return ByN(oneToN, p::k1To2Master, p::k1To3Master, p::k1To4Master);
}
int ConnectSlave1Page(int oneToN) {
    return ByN(oneToN, p::k1To2Slave1, p::k1To3Slave1, p::k1To4Slave1);
}

Display AfterSlave(int step, int oneToN) {
    switch (step) {
    case 3:
        return {ByN(oneToN, p::k1To2Slave2, p::k1To3Slave2, p::k1To4Slave2), msg::kConnectSlave2};
    case 4:
        if (oneToN == 0)
            return {p::k1To2Master, msg::kConnectMasterLast};
        return {oneToN == 1 ? p::k1To3Slave3 : p::k1To4Slave3, msg::kConnectSlave3};
    case 5:
        if (oneToN == 1)
            return {p::k1To3Master, msg::kConnectMasterLast};
        return {p::k1To4Slave4, msg::kConnectSlave4};
    case 6:
        return {p::k1To4Master, msg::kConnectMasterLast};
    default:
        return {};
    }
}

} // namespace nw::wizard
