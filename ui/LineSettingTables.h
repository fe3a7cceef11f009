// The line-setting combo boxes: texts shown and values used, in list order.
#pragma once

#include <array>
#include <span>
#include <string>

namespace nw {

struct TableEntry {
    const char* text;
    int value;
};

inline constexpr std::array<TableEntry, 11> kBaudTable = {{{"1200", 1200},
                                                           {"2400", 2400},
                                                           {"4800", 4800},
                                                           {"9600", 9600},
                                                           {"19200", 19200},
                                                           {"38400", 38400},
                                                           {"57600", 57600},
                                                           {"115200", 115200},
                                                           {"230400", 230400},
                                                           {"460800", 460800},
                                                           {"921600", 921600}}};
inline constexpr std::array<TableEntry, 3> kParityTable = {{{"None", 0}, {"Even", 2}, {"Odd", 1}}};
inline constexpr std::array<TableEntry, 2> kStopBitTable = {{{"1", 0}, {"2", 2}}};

// The value of the entry whose text equals `text` exactly, else 0.
inline int TableValue(std::span<const TableEntry> table, const std::string& text) {
    for (const auto& e : table) {
        if (text == e.text)
            return e.value;
    }
    return 0;
}

} // namespace nw
