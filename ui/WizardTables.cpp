#include "ui/WizardTables.h"

#include "ui/Messages.h"

namespace nw::wizard {

namespace {
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
    return ByN(size, 138, 139, 129);
}
int ConnectMasterPage(NetworkSize size) {
    return ByN(size, 142, 145, 146);
}
int ConnectSlave1Page(NetworkSize size) {
    return ByN(size, 150, 151, 152);
}

Display AfterSlave(int step, NetworkSize size) {
    switch (step) {
    case 3:
        return {ByN(size, 156, 157, 158), msg::kConnectSlave2};
    case 4:
        if (size == NetworkSize::OneToTwo)
            return {142, msg::kConnectMasterLast};
        return {size == NetworkSize::OneToThree ? 161 : 162, msg::kConnectSlave3};
    case 5:
        if (size == NetworkSize::OneToThree)
            return {145, msg::kConnectMasterLast};
        return {165, msg::kConnectSlave4};
    case 6:
        return {146, msg::kConnectMasterLast};
    default:
        return {};
    }
}

} // namespace nw::wizard
