#include "sim/NetworkVerdict.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <utility>

namespace nw::sim {

namespace {

bool SameAddress(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::toupper(static_cast<unsigned char>(x)) ==
                      std::toupper(static_cast<unsigned char>(y));
           });
}

} // namespace

std::string NetworkVerdict(const std::vector<CSimAdapter>& adapters,
                           const std::vector<std::string>& names) {
    auto fail = [](const std::string& reason) { return "network: not formed: " + reason; };
    const AdapterState& master = adapters[0].State();
    if (master.mode != 1)
        return fail("master is not in mode 1");
    if (master.s53 != 1 && master.s53 != 2)
        return fail("no multiple connection mode set");

    const std::array<std::pair<const char*, const std::string*>, 4> registers{{
        {"s46", &master.s46},
        {"s54", &master.s54},
        {"s55", &master.s55},
        {"s56", &master.s56},
    }};
    std::vector<std::size_t> named;
    for (const auto& [reg, value] : registers) {
        if (*value == kNoAddress)
            continue;
        std::size_t slave = 0;
        for (std::size_t i = 1; i < adapters.size() && slave == 0; ++i)
            if (SameAddress(adapters[i].State().address, *value))
                slave = i;
        if (slave == 0)
            return fail(std::string("master ") + reg + " names " + *value +
                        ", which is no slave on the bench");
        if (std::find(named.begin(), named.end(), slave) != named.end())
            return fail(names[slave] + " is named twice by the master");
        named.push_back(slave);
    }
    if (named.empty())
        return fail("master names no slave");

    for (const std::size_t i : named) {
        const AdapterState& s = adapters[i].State();
        if (s.mode != 2)
            return fail(names[i] + " is not in mode 2");
        if (!SameAddress(s.s46, master.address))
            return fail(names[i] + " does not point at the master");
    }
    // A slave that seeks the master without being expected by it is a
    // misconfiguration too: it would page the master in vain.
    for (std::size_t i = 1; i < adapters.size(); ++i) {
        const AdapterState& s = adapters[i].State();
        if (std::find(named.begin(), named.end(), i) == named.end() && s.mode == 2 &&
            SameAddress(s.s46, master.address))
            return fail(names[i] + " points at the master but the master does not name it");
    }

    std::string text = "network: OK, master " + master.address +
                       (master.s53 == 1 ? " Multi-Drop" : " Node Switching") + " with ";
    for (std::size_t k = 0; k < named.size(); ++k)
        text += (k > 0 ? ", " : "") + names[named[k]];
    return text;
}

} // namespace nw::sim
