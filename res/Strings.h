// The string table, the version resource and the other resource numbers.
#pragma once

#include <array>

namespace nw::res {

// String 101: the system menu item that opens the about box.
inline constexpr int kStringAboutMenu = 101;
inline constexpr char kAboutMenuText[] = "Nodewright 정보(&A)...";

// Icon 128: the application icon (main window, about box, desktop entry).
inline constexpr int kIconApp = 128;

// The about box's two static lines.
inline constexpr char kAboutVersionLine[] = "Tessor_Nodewright Version 1.0.0 2010.04.12";
inline constexpr char kAboutNotice[] = "Made by the Nodewright developers.\n"
                                       "Contact: nodewright@example.org";

// The version resource: file and product version, internal name.
inline constexpr std::array<int, 4> kFileVersion = {1, 0, 0, 1};
inline constexpr char kVersionText[] = "1.0.0.1";
inline constexpr char kInternalName[] = "Nodewright";

// Title of every message box the windows show.
inline constexpr char kMessageBoxTitle[] = "Nodewright";

} // namespace nw::res
