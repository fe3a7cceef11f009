#include "ui/WizardTables.h"

#include "res/ControlIds.h"
#include "ui/Messages.h"

namespace nw::wizard {

namespace {
namespace p = id::page;

int ByN(NetworkSize size, int p12, int p13, int p14) {
    switch (size) {
    case NetworkSize::OneToTwo:
        return p12;
    case NetworkSize::OneToThree:
        return p13;
    case NetworkSize::OneToFour:
        break;
    }
    return p14;
}
} // namespace

int OverviewPage(NetworkSize size) {
    return ByN(size, p::k1To2Overview, p::k1To3Overview, p::k1To4Overview);
}
int ConnectMasterPage(NetworkSize size) {
    return ByN(size, p::k1To2Master, p::k1To3Master, p::k1To4Master);
}
int ConnectSlave1Page(NetworkSize size) {
    return ByN(size, p::k1To2Slave1, p::k1To3Slave1, p::k1To4Slave1);
}

Display AfterSlave(int step, NetworkSize size) {
    switch (step) {
    case 3:
        return {ByN(size, p::k1To2Slave2, p::k1To3Slave2, p::k1To4Slave2), msg::kConnectSlave2};
    case 4:
        if (size == NetworkSize::OneToTwo)
            return {p::k1To2Master, msg::kConnectMasterLast};
        return {size == NetworkSize::OneToThree ? p::k1To3Slave3 : p::k1To4Slave3,
                msg::kConnectSlave3};
    case 5:
        if (size == NetworkSize::OneToThree)
            return {p::k1To3Master, msg::kConnectMasterLast};
        return {p::k1To4Slave4, msg::kConnectSlave4};
    case 6:
        return {p::k1To4Master, msg::kConnectMasterLast};
    default:
        return {};
    }
}

} // namespace nw::wizard
