#include "protocol/Readback.h"

#include "protocol/Dialect.h"

namespace nw {

std::string AddressFromReadback(const std::string& reply) {
    if (reply.empty() || reply == reply::kError)
        return cmd::kNoAddress;
    if (reply.size() <= 2)
        return {};
    return reply.substr(2, cmd::kAddressLength);
}

} // namespace nw
