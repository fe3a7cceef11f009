// A fresh directory for each test's database, removed with the test.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <stdlib.h>

namespace nw::records::test {

class TempDir {
  public:
    TempDir() {
        std::string dir = (std::filesystem::temp_directory_path() / "nw_records_XXXXXX").string();
        EXPECT_NE(::mkdtemp(dir.data()), nullptr);
        m_path = dir;
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::string File(const std::string& name) const { return (m_path / name).string(); }

  private:
    std::filesystem::path m_path;
};

} // namespace nw::records::test
