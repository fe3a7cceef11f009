#include "app/win32/PictureBitmap.h"

#include <array>
#include <cmath>
#include <cstdint>

namespace nw::win {

namespace {

// 0x00RRGGBB as GDI's 0x00BBGGRR.
constexpr COLORREF Colour(std::uint32_t rgb) {
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}
constexpr COLORREF kBlack = Colour(res::kInk);
constexpr COLORREF kRed = Colour(res::kArrowRed);

POINT P(res::PointF p) {
    return {static_cast<LONG>(std::lround(p.x)), static_cast<LONG>(std::lround(p.y))};
}

// BITMAPINFO with room for a 256-colour palette.
struct PaletteInfo {
    BITMAPINFOHEADER header;
    std::array<RGBQUAD, 256> colors;
};

void FillPalette(PaletteInfo& info) {
    const std::array<std::uint32_t, 256> colours = res::PicturePalette();
    for (std::size_t i = 0; i < colours.size(); ++i) {
        const std::uint32_t rgb = colours[i];
        info.colors[i] = {static_cast<BYTE>(rgb & 0xFF), static_cast<BYTE>((rgb >> 8) & 0xFF),
                          static_cast<BYTE>((rgb >> 16) & 0xFF), 0};
    }
}

void DrawTree(HDC dc, const res::PicturePage& page) {
    const std::span<const res::TreeNode> tree = res::TreeFor(page.slaves);
    const res::TreeNode& master = tree[0];
    const res::PointF m{static_cast<double>(master.cx), static_cast<double>(master.cy)};

    HPEN line = CreatePen(PS_SOLID, static_cast<int>(res::kLinePenWidth), kBlack);
    HGDIOBJ oldPen = SelectObject(dc, line);
    for (std::size_t i = 1; i < tree.size(); ++i) {
        const res::PointF s{static_cast<double>(tree[i].cx), static_cast<double>(tree[i].cy)};
        const POINT a = P(res::RimPoint(m, s, res::kNodeRadius));
        const POINT b = P(res::RimPoint(s, m, res::kNodeRadius));
        MoveToEx(dc, a.x, a.y, nullptr);
        LineTo(dc, b.x, b.y);
    }

    HFONT font =
        CreateFontW(-13, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, L"Arial");
    HGDIOBJ oldFont = SelectObject(dc, font);
    HGDIOBJ oldBrush = SelectObject(dc, GetStockObject(WHITE_BRUSH));
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, kBlack);
    for (const res::TreeNode& node : tree) {
        RECT box{node.cx - res::kNodeRadius, node.cy - res::kNodeRadius,
                 node.cx + res::kNodeRadius + 1, node.cy + res::kNodeRadius + 1};
        Ellipse(dc, box.left, box.top, box.right, box.bottom);
        wchar_t label[4] = {};
        for (std::size_t i = 0; i < 3 && node.label[i] != '\0'; ++i)
            label[i] = static_cast<wchar_t>(node.label[i]);
        DrawTextW(dc, label, -1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    SelectObject(dc, oldFont);
    DeleteObject(font);

    if (const std::optional<int> target = res::ArrowNode(page.arrow)) {
        if (const auto arrow = res::ArrowFor(tree[static_cast<std::size_t>(*target)])) {
            LOGBRUSH red{BS_SOLID, kRed, 0};
            HPEN shaft = ExtCreatePen(PS_GEOMETRIC | PS_SOLID | PS_ENDCAP_FLAT,
                                      static_cast<DWORD>(res::kArrowShaftWidth), &red, 0, nullptr);
            SelectObject(dc, shaft);
            const POINT base = P(arrow->headBase);
            const POINT tail = P(arrow->tail);
            MoveToEx(dc, base.x, base.y, nullptr);
            LineTo(dc, tail.x, tail.y);
            HPEN edge = CreatePen(PS_SOLID, 1, kRed);
            HBRUSH fill = CreateSolidBrush(kRed);
            SelectObject(dc, edge);
            SelectObject(dc, fill);
            const POINT head[3] = {P(arrow->tip), P(arrow->left), P(arrow->right)};
            Polygon(dc, head, 3);
            SelectObject(dc, oldPen);
            SelectObject(dc, oldBrush);
            DeleteObject(shaft);
            DeleteObject(edge);
            DeleteObject(fill);
        }
    }
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBrush);
    DeleteObject(line);
}

} // namespace

HBITMAP DrawPictureBitmap(const res::PicturePage& page) {
    PaletteInfo info{};
    info.header.biSize = sizeof(BITMAPINFOHEADER);
    info.header.biWidth = res::kBitmapWidth;
    info.header.biHeight = res::kBitmapHeight; // bottom-up, as bitmap resources are
    info.header.biPlanes = 1;
    info.header.biBitCount = static_cast<WORD>(page.bitsPerPixel == 8 ? 8 : 24);
    info.header.biCompression = BI_RGB;
    if (page.bitsPerPixel == 8) {
        info.header.biClrUsed = 256;
        FillPalette(info);
    }
    void* bits = nullptr;
    HDC screen = GetDC(nullptr);
    HBITMAP bitmap = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS,
                                      &bits, nullptr, 0);
    ReleaseDC(nullptr, screen);
    if (bitmap == nullptr)
        return nullptr;
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all{0, 0, res::kBitmapWidth, res::kBitmapHeight};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    DrawTree(dc, page);
    GdiFlush();
    SelectObject(dc, old);
    DeleteDC(dc);
    return bitmap;
}

} // namespace nw::win
