// Reading sysfs and the device tree: attributes, links and the walk up from a
// device to its USB ancestor. Shared by the port list and port identity.
#pragma once

#include <filesystem>
#include <map>
#include <string>

namespace nw::sysfs {

// `s` without blanks (space, tab, CR, LF) at either end.
std::string Trim(const std::string& s);
// First line of an attribute file, trimmed; empty when missing or unreadable.
std::string ReadAttribute(const std::filesystem::path& file);
bool Exists(const std::filesystem::path& p);
// True when `dir` lies strictly inside `root` (both canonical).
bool IsBelow(const std::filesystem::path& dir, const std::filesystem::path& root);
// Canonical target -> name of the link in `dir` that resolves to it; of
// several links to one target the smallest name wins, so the result does not
// depend on directory order. Dangling links are left out.
std::map<std::string, std::string> LinksByTarget(const std::filesystem::path& dir);

} // namespace nw::sysfs
