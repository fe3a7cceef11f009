#include "protocol/Readback.h"

#include "protocol/Dialect.h"

#include <algorithm>
#include <cctype>

namespace nw {

ReadbackAddress AddressFromReadback(const std::string& reply) {
    if (reply == reply::kError)
        return {cmd::kNoAddress, true};
    const std::string field = reply.size() > 2 ? reply.substr(2, cmd::kAddressLength) : "";
    const bool hex =
        field.size() == cmd::kAddressLength && std::all_of(field.begin(), field.end(), [](char c) {
            return std::isxdigit(static_cast<unsigned char>(c)) != 0;
        });
    if (!hex)
        return {cmd::kNoAddress, false};
    return {field, true};
}

} // namespace nw
