#include "records/RecordFormat.h"

#include <nlohmann/json.hpp>

#include <algorithm>

namespace nw::records {

namespace {

// Characters as a terminal counts them: UTF-8 continuation bytes take no column.
std::size_t Width(const std::string& text) {
    return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
        return (static_cast<unsigned char>(c) & 0xC0u) != 0x80u;
    }));
}

std::string Table(const std::vector<Record>& rows) {
    std::vector<std::vector<std::string>> cells(1);
    for (const char* column : kColumns)
        cells[0].emplace_back(column);
    for (const Record& r : rows) {
        std::vector<std::string>& line = cells.emplace_back();
        for (std::size_t k = 0; k < kColumns.size(); ++k)
            line.push_back(ColumnText(r, k));
    }
    std::vector<std::size_t> widths(kColumns.size(), 0);
    for (const auto& line : cells) {
        for (std::size_t k = 0; k < line.size(); ++k)
            widths[k] = std::max(widths[k], Width(line[k]));
    }
    std::string text;
    for (const auto& line : cells) {
        std::string out;
        for (std::size_t k = 0; k < line.size(); ++k) {
            out += line[k];
            if (k + 1 < line.size())
                out += std::string(widths[k] - Width(line[k]) + 2, ' ');
        }
        out.erase(out.find_last_not_of(' ') + 1);
        text += out + "\n";
    }
    return text;
}

std::string Csv(const std::vector<Record>& rows) {
    std::string text;
    auto line = [&](auto&& field) {
        for (std::size_t k = 0; k < kColumns.size(); ++k)
            text += (k == 0 ? "" : ",") + CsvField(field(k));
        text += "\r\n";
    };
    line([](std::size_t k) { return std::string(kColumns[k]); });
    for (const Record& r : rows)
        line([&r](std::size_t k) { return ColumnText(r, k); });
    return text;
}

std::string Json(const std::vector<Record>& rows) {
    nlohmann::ordered_json array = nlohmann::ordered_json::array();
    for (const Record& r : rows) {
        nlohmann::ordered_json object;
        object[kColumns[0]] = r.id;
        for (std::size_t k = 1; k < kColumns.size(); ++k)
            object[kColumns[k]] = ColumnText(r, k);
        array.push_back(std::move(object));
    }
    return array.dump(2, ' ', false, nlohmann::ordered_json::error_handler_t::replace) + "\n";
}

} // namespace

std::string ColumnText(const Record& r, std::size_t k) {
    const StepRecord& s = r.step;
    switch (k) {
    case 0:
        return std::to_string(r.id);
    case 1:
        return r.runId;
    case 2:
        return r.time;
    case 3:
        return r.version;
    case 4:
        return s.port;
    case 5:
        return s.role;
    case 6:
        return s.address;
    case 7:
        return s.name;
    case 8:
        return s.operation;
    case 9:
        return s.settings;
    case 10:
        return s.verification;
    case 11:
        return s.outcome;
    default:
        return {};
    }
}

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

std::string RecordsSummary(std::size_t count, const std::string& path) {
    return std::to_string(count) + " record(s) in " + path;
}

std::string FormatRecords(const std::vector<Record>& rows, RecordFormat format) {
    switch (format) {
    case RecordFormat::Csv:
        return Csv(rows);
    case RecordFormat::Json:
        return Json(rows);
    case RecordFormat::Table:
        break;
    }
    return Table(rows);
}

} // namespace nw::records
