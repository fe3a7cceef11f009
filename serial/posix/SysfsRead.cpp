#include "serial/posix/SysfsRead.h"

#include <algorithm>
#include <fstream>
#include <system_error>

namespace nw::sysfs {

namespace fs = std::filesystem;

std::string Trim(const std::string& s) {
    const char* const blanks = " \t\r\n";
    const auto first = s.find_first_not_of(blanks);
    if (first == std::string::npos)
        return {};
    return s.substr(first, s.find_last_not_of(blanks) - first + 1);
}

std::string ReadAttribute(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return Trim(line);
}

bool Exists(const fs::path& p) {
    std::error_code ec;
    return fs::exists(p, ec);
}

bool IsBelow(const fs::path& dir, const fs::path& root) {
    const auto [r, d] = std::mismatch(root.begin(), root.end(), dir.begin(), dir.end());
    return r == root.end() && d != dir.end();
}

std::map<std::string, std::string> LinksByTarget(const fs::path& dir) {
    std::map<std::string, std::string> names;
    std::error_code ec;
    for (auto it = fs::directory_iterator(dir, ec); !ec && it != fs::directory_iterator();
         it.increment(ec)) {
        std::error_code linkEc;
        const fs::path target = fs::canonical(it->path(), linkEc);
        if (linkEc)
            continue;
        const std::string name = it->path().filename().string();
        const auto [found, inserted] = names.emplace(target.string(), name);
        if (!inserted && name < found->second)
            found->second = name;
    }
    return names;
}

} // namespace nw::sysfs
