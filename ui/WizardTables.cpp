#include "ui/WizardTables.h"

#include "ui/Messages.h"

namespace nw::wizard {

namespace {
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
    return ByN(oneToN, 138, 139, 129);
}
int ConnectMasterPage(int oneToN) {
    return ByN(oneToN, 142, 145, 146);
}
int ConnectSlave1Page(int oneToN) {
    return ByN(oneToN, 150, 151, 152);
}

Display AfterSlave(int step, int oneToN) {
    switch (step) {
    case 3:
        return {ByN(oneToN, 156, 157, 158), msg::kConnectSlave2};
    case 4:
        if (oneToN == 0)
            return {142, msg::kConnectMasterLast};
        return {oneToN == 1 ? 161 : 162, msg::kConnectSlave3};
    case 5:
        if (oneToN == 1)
            return {145, msg::kConnectMasterLast};
        return {165, msg::kConnectSlave4};
    case 6:
        return {146, msg::kConnectMasterLast};
    default:
        return {};
    }
}

} // namespace nw::wizard
