#include "app/cli/PictureArt.h"

#include "res/PicturePages.h"

#include <vector>

namespace nw::cli {

namespace {

constexpr int kMaster = 0; // the arrow's node: 0 the master, 1..4 the slaves

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

std::string Draw(const res::PicturePage& art) {
    const int target = res::ArrowNode(art.arrow).value_or(-1);
    const int last = SlaveColumn(art.slaves - 1);
    const int center = (SlaveColumn(0) + last) / 2;
    std::vector<std::string> lines(6);
    lines[0] = "1:" + std::to_string(art.slaves) + " network";
    Put(lines[1], center - 1, "[M]");
    if (target == kMaster)
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
    if (target > kMaster) {
        lines.emplace_back();
        Put(lines.back(), SlaveColumn(target - 1), "^ attach slave" + std::to_string(target));
    }
    std::string out;
    for (const std::string& line : lines)
        out += (out.empty() ? "" : "\n") + line;
    return out;
}

} // namespace

std::string DrawPicturePage(int page) {
    const res::PicturePage* art = res::FindPicturePage(page);
    return art != nullptr ? Draw(*art) : std::string();
}

} // namespace nw::cli
