// The readback's address rule on any reply, against a plain model: the
// address is characters 2..13 when they are 12 hexadecimal digits; "ERROR"
// reads as no address; anything else is no reading.
#include "protocol/Dialect.h"
#include "protocol/Readback.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string reply(reinterpret_cast<const char*>(data), size);
    reply = reply.c_str(); // a reply is text: it ends at the first NUL
    const nw::ReadbackAddress r = nw::AddressFromReadback(reply);
    const bool error = reply == "ERROR";
    const bool hex = reply.size() >= 14 && reply.substr(2, 12).find_first_not_of(
                                               "0123456789abcdefABCDEF") == std::string::npos;
    if (r.read != (error || hex) || r.address != (hex ? reply.substr(2, 12) : "000000000000"))
        std::abort();
    // What may be sent is exactly 12 bytes with no control byte.
    if (nw::cmd::IsSendableAddress(r.address)) {
        const std::string command = nw::cmd::FormatAddressWrite(nw::cmd::kAts46Write, r.address);
        if (command.size() != 20 || command.find_first_of("\r\n") != 18)
            std::abort();
    }
    return 0;
}
