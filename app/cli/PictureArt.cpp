#include "app/cli/PictureArt.h"

#include <array>
#include <vector>

namespace nw::cli {

namespace {

constexpr int kNoArrow = -1;
constexpr int kMaster = 0; // targets 1..4 are the slaves

struct PageArt {
    int page;
    int slaves;
    int target;
};

constexpr std::array<PageArt, 15> kPages = {{{138, 2, kNoArrow},
                                             {139, 3, kNoArrow},
                                             {129, 4, kNoArrow},
                                             {142, 2, kMaster},
                                             {145, 3, kMaster},
                                             {146, 4, kMaster},
                                             {150, 2, 1},
                                             {151, 3, 1},
                                             {152, 4, 1},
                                             {156, 2, 2},
                                             {157, 3, 2},
                                             {158, 4, 2},
                                             {161, 3, 3},
                                             {162, 4, 3},
                                             {165, 4, 4}}};

constexpr int kSlaveStride = 8; // columns from one slave box to the next

// Column of slave k's stem (k from 0): under the "S" of its box.
int SlaveColumn(int k) {
    return 2 + kSlaveStride * k;
}

void Put(std::string& line, int column, const std::string& text) {
    const auto at = static_cast<std::size_t>(column);
    if (line.size() < at + text.size())
        line.resize(at + text.size(), ' ');
    line.replace(at, text.size(), text);
}

std::string Draw(const PageArt& art) {
    const int last = SlaveColumn(art.slaves - 1);
    const int center = (SlaveColumn(0) + last) / 2;
    std::vector<std::string> lines(6);
    lines[0] = "1:" + std::to_string(art.slaves) + " network";
    Put(lines[1], center - 1, "[M]");
    if (art.target == kMaster)
        Put(lines[1], center + 4, "<== attach the master");
    Put(lines[2], center, "|");
    Put(lines[3], SlaveColumn(0),
        std::string(static_cast<std::size_t>(last - SlaveColumn(0) + 1), '-'));
    for (int k = 0; k < art.slaves; ++k) {
        Put(lines[3], SlaveColumn(k), "+");
        Put(lines[4], SlaveColumn(k), "|");
        Put(lines[5], SlaveColumn(k) - 1, "[S" + std::to_string(k + 1) + "]");
    }
    Put(lines[3], center, "+");
    if (art.target > kMaster) {
        lines.emplace_back();
        Put(lines.back(), SlaveColumn(art.target - 1),
            "^ attach slave" + std::to_string(art.target));
    }
    std::string out;
    for (const std::string& line : lines)
        out += (out.empty() ? "" : "\n") + line;
    return out;
}

} // namespace

std::string DrawPicturePage(int page) {
    for (const PageArt& art : kPages) {
        if (art.page == page)
            return Draw(art);
    }
    return {};
}

} // namespace nw::cli
