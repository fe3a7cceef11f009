// The readback's address rule and the keyword judgements on any reply.
#include "protocol/Dialect.h"
#include "protocol/Readback.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string reply(reinterpret_cast<const char*>(data), size);
    reply = reply.c_str();
    const nw::ReadbackAddress r = nw::AddressFromReadback(reply);
    const std::string& address = r.address;
    // Always something that may be written back: 12 hexadecimal digits.
    if (address.size() != 12 ||
        address.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        std::abort();
    if (r.read && reply != "ERROR" && address != reply.substr(2, 12))
        std::abort();
    if (!r.read && address != "000000000000")
        std::abort();
    // A keyword judgement is a plain search: found exactly where find finds it.
    for (const char* keyword : {"OK", "ERROR", "STANDBY", "0", "1", "2"}) {
        if (nw::reply::Contains(reply, keyword) != (reply.find(keyword) != std::string::npos))
            std::abort();
    }
    // What may be sent is exactly 12 bytes with no control byte.
    if (nw::cmd::IsSendableAddress(address)) {
        const std::string command = nw::cmd::FormatAddressWrite(nw::cmd::kAts46Write, address);
        if (command.size() != 20 || command.find_first_of("\r\n") != 18)
            std::abort();
    }
    return 0;
}
