#include "protocol/Verify.h"

#include "protocol/Conversations.h"
#include "protocol/Dialect.h"

#include <algorithm>
#include <cctype>

namespace nw {

namespace {

bool SameAddress(const std::string& a, const std::string& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::toupper(static_cast<unsigned char>(x)) ==
               std::toupper(static_cast<unsigned char>(y));
    });
}

} // namespace

bool Readback::Verified() const {
    return kind == OutcomeKind::Succeeded &&
           std::all_of(fields.begin(), fields.end(), [](const FieldCheck& f) { return f.ok; });
}

std::optional<std::string> SettingValue(const std::string& reply) {
    if (reply::Contains(reply, reply::kError))
        return std::nullopt;
    const std::size_t start = reply.find_first_not_of("\r\n");
    if (start == std::string::npos)
        return std::nullopt;
    return reply.substr(start, reply.find_first_of("\r\n", start) - start);
}

Readback VerifyAdapter(CCommandExchange& ex, const IntendedSettings& intended) {
    Readback r;
    InfoLines lines;
    const DeviceInfoResult report = ReadDeviceInfo(ex, lines, ResumeRule::AfterEscapeOnly);
    if (report.kind != OutcomeKind::Succeeded) {
        r.kind = report.kind;
        r.failure = "no adapter answered";
        return r;
    }
    r.found = true;
    r.address = report.address;
    const auto colon = lines.m_strInfoName.find(": ");
    r.name =
        colon == std::string::npos ? lines.m_strInfoName : lines.m_strInfoName.substr(colon + 2);
    const SettingReplies queried = QuerySettings(ex, intended.master);
    if (queried.kind != OutcomeKind::Succeeded) {
        r.kind = queried.kind;
        r.failure = "the line went away";
        return r;
    }

    std::vector<std::string> unread;
    auto field = [&](const char* name, std::optional<std::string> value, std::string expected,
                     bool address = false) {
        if (!value) {
            unread.emplace_back(name);
            return;
        }
        const bool ok = address ? SameAddress(*value, expected) : *value == expected;
        r.fields.push_back({name, *value, std::move(expected), ok});
    };
    auto address = [&](int k) -> std::optional<std::string> {
        const ReadbackAddress a = AddressFromReadback(queried.replies[static_cast<std::size_t>(k)]);
        return a.read ? std::optional(a.address) : std::nullopt;
    };

    const std::string mode = lines.m_strInfoMode.substr(std::string("Mode: ").size());
    field("Mode", mode == "?" ? std::nullopt : std::optional(mode),
          intended.master ? "MODE1" : "MODE2");
    const char* s53 = !intended.master                                 ? "0"
                      : intended.mode == ConnectionMode::NodeSwitching ? "2"
                                                                       : "1";
    field("S53", SettingValue(queried.replies[1]), s53);
    if (intended.master) {
        constexpr const char* kNames[] = {"S46", "S54", "S55", "S56"};
        for (int k = 0; k < 4; ++k) {
            const std::string& given = intended.slaves[static_cast<std::size_t>(k)];
            field(kNames[k], address(k + 2), given.empty() ? cmd::kNoAddress : given, true);
        }
    } else {
        field("S46", address(2), intended.masterAddress, true);
    }
    field("S10", SettingValue(queried.replies[0]), intended.disableResponse ? "0" : "1");

    if (!unread.empty()) {
        r.kind = OutcomeKind::Failed;
        r.failure = "could not be read:";
        for (const std::string& name : unread)
            r.failure += " " + name;
        return r;
    }
    r.kind = OutcomeKind::Succeeded;
    return r;
}

std::string DescribeFailure(const Readback& r, const std::string& then) {
    std::string text = "NOT VERIFIED:";
    if (r.kind != OutcomeKind::Succeeded)
        return text + " " + r.failure + ". " + then;
    for (const FieldCheck& f : r.fields) {
        if (!f.ok)
            text += " " + f.name;
    }
    return text + " differ. " + then;
}

} // namespace nw
