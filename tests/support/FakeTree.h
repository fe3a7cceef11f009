// A fresh directory, removed with the object, and fake system files in it.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace nw::test {

struct TempDir {
    TempDir() {
        std::string dir = (std::filesystem::temp_directory_path() / "nw_test_XXXXXX").string();
        EXPECT_NE(::mkdtemp(dir.data()), nullptr);
        path = dir;
    }
    ~TempDir() { std::filesystem::remove_all(path, ec); }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string File(const std::string& name) const { return (path / name).string(); }

    // "name=what;...": per name, "@target" makes a symbolic link, "/" a
    // directory, "-" removes, anything else makes a file holding that text.
    void Add(const std::string& rows) const {
        namespace fs = std::filesystem;
        std::istringstream in(rows);
        for (std::string row; std::getline(in, row, ';');) {
            const fs::path name = path / row.substr(0, row.find('='));
            const std::string what = row.substr(row.find('=') + 1);
            fs::create_directories(name.parent_path());
            fs::remove_all(name);
            if (what.starts_with("@"))
                fs::create_symlink(what.substr(1), name);
            else if (what == "/")
                fs::create_directories(name);
            else if (what != "-")
                std::ofstream(name) << what;
        }
    }
    std::filesystem::path path;
    std::error_code ec; // a removal that fails leaves the directory behind
};

} // namespace nw::test
