// The line-setting combo boxes: texts shown and values used, in list order.
// The baud box lists kBaudRates, each as its decimal text.
#pragma once

#include "serial/LineSettings.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>

namespace nw {

struct TableEntry {
    const char* text;
    int value;
};

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

// The offered baud rate whose text is exactly `text`, else 0.
inline std::uint32_t BaudValue(const std::string& text) {
    for (const std::uint32_t rate : kBaudRates) {
        if (text == std::to_string(rate))
            return rate;
    }
    return 0;
}

} // namespace nw
