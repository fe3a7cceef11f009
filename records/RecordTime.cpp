#include "records/RecordTime.h"

#include <cstdio>
#include <random>

namespace nw::records {

namespace {

using namespace std::chrono;

struct Parts {
    int year = 0;
    unsigned month = 0, day = 0;
    long hour = 0, minute = 0, second = 0;
};

Parts Split(system_clock::time_point when) {
    const auto secs = floor<seconds>(when);
    const auto day = floor<days>(secs);
    const year_month_day ymd{day};
    const hh_mm_ss hms{secs - day};
    return {static_cast<int>(ymd.year()),
            static_cast<unsigned>(ymd.month()),
            static_cast<unsigned>(ymd.day()),
            static_cast<long>(hms.hours().count()),
            static_cast<long>(hms.minutes().count()),
            static_cast<long>(hms.seconds().count())};
}

} // namespace

std::string UtcText(system_clock::time_point when) {
    const Parts p = Split(when);
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02ld:%02ld:%02ld+00:00", p.year, p.month,
                  p.day, p.hour, p.minute, p.second);
    return text;
}

std::optional<std::string> NormalizeSince(const std::string& text) {
    int y = 0, mo = 0, d = 0, h = 0, mi = 0, s = 0;
    int used = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d%n", &y, &mo, &d, &used) != 3 || used != 10)
        return std::nullopt;
    std::size_t at = 10;
    if (at < text.size() && (text[at] == 'T' || text[at] == ' ')) {
        int n = 0;
        if (std::sscanf(text.c_str() + at + 1, "%2d:%2d%n", &h, &mi, &n) != 2 || n != 5)
            return std::nullopt;
        at += 6;
        if (at < text.size() && text[at] == ':') {
            if (std::sscanf(text.c_str() + at + 1, "%2d%n", &s, &n) != 1 || n != 2)
                return std::nullopt;
            at += 3;
        }
    }
    int offsetMinutes = 0;
    if (at < text.size() && text[at] == 'Z') {
        ++at;
    } else if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        int oh = 0, om = 0, n = 0;
        if (std::sscanf(text.c_str() + at + 1, "%2d:%2d%n", &oh, &om, &n) != 2 || n != 5)
            return std::nullopt;
        offsetMinutes = (text[at] == '-' ? -1 : 1) * (oh * 60 + om);
        at += 6;
    }
    const year_month_day ymd{year{y}, month{static_cast<unsigned>(mo)},
                             day{static_cast<unsigned>(d)}};
    if (at != text.size() || !ymd.ok() || h > 23 || mi > 59 || s > 59)
        return std::nullopt;
    const auto local = sys_days{ymd} + hours{h} + minutes{mi} + seconds{s};
    return UtcText(local - minutes{offsetMinutes});
}

std::string NewRunId() {
    const Parts p = Split(system_clock::now());
    std::random_device random;
    char text[48];
    std::snprintf(text, sizeof text, "%04d%02u%02uT%02ld%02ld%02ldZ-%08x", p.year, p.month, p.day,
                  p.hour, p.minute, p.second, static_cast<unsigned>(random()));
    return text;
}

} // namespace nw::records
