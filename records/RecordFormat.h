// The records as text: an aligned table for people, CSV (RFC 4180: a header
// row naming the columns, then a row per record, CRLF line ends) and JSON
// (an array of objects keyed by column name, always valid UTF-8).
#pragma once

#include "records/Record.h"

#include <string>
#include <vector>

namespace nw::records {

enum class RecordFormat { Table, Csv, Json };

std::string FormatRecords(const std::vector<Record>& rows, RecordFormat format);

// The line under a records window's table: "3 record(s) in PATH".
std::string RecordsSummary(std::size_t count, const std::string& path);

// One CSV field: quoted when it holds a comma, a quote or a line end, with
// its quotes doubled.
std::string CsvField(const std::string& text);

} // namespace nw::records
