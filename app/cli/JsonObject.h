// One JSON object on one line, members in the order they are added: the
// --json results.
#pragma once

#include <string>
#include <vector>

namespace nw::cli {

class CJsonObject {
  public:
    CJsonObject& Add(const std::string& key, const std::string& value);
    CJsonObject& Add(const std::string& key, const char* value) {
        return Add(key, std::string(value));
    }
    CJsonObject& Add(const std::string& key, bool value);
    CJsonObject& AddNull(const std::string& key);
    CJsonObject& Add(const std::string& key, const std::vector<std::string>& values);
    CJsonObject& Add(const std::string& key, const std::vector<bool>& values);

    std::string Text() const { return "{" + m_members + "}"; }

    // `text` as a JSON string: quotes, backslashes and control characters
    // escaped; bytes that are not UTF-8 become U+FFFD.
    static std::string Quote(const std::string& text);

  private:
    CJsonObject& Member(const std::string& key, const std::string& json);

    std::string m_members;
};

} // namespace nw::cli
