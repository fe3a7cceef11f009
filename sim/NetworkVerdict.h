// Whether the adapters on the bench, as configured, would form the intended
// network: the master in mode 1 with a multiple connection mode, naming only
// slaves on the bench, each in mode 2 and pointing back at it.
#pragma once

#include "sim/SimAdapter.h"

#include <string>
#include <vector>

namespace nw::sim {

// One line: "network: OK, master <address> Multi-Drop|Node Switching with
// <slaves>" or "network: not formed: <reason>". adapters[0] is the master;
// names[i] names adapters[i].
std::string NetworkVerdict(const std::vector<CSimAdapter>& adapters,
                           const std::vector<std::string>& names);

} // namespace nw::sim
