// Reading an address back from a master's slave register.
#pragma once

#include <string>

namespace nw {

struct ReadbackAddress {
    std::string address; // "000000000000" unless an address was read
    bool read = false;   // false: the reply held no address at all
};

// The address in a register query's reply (its echo already dropped):
// "000000000000" when the whole reply is exactly "ERROR"; the 12 characters
// from index 2 when they are 12 hexadecimal digits; anything else (silence,
// "\r\nERROR\r\n", text of another device) holds no address and is not read.
ReadbackAddress AddressFromReadback(const std::string& reply);

} // namespace nw
