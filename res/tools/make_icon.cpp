// Writes the application icon as an .ico file for the Windows resource
// script: the 32- and 16-pixel pictures of res/IconImage.h. Run at build time
// on the build machine (see cmake/WindowsIcon.cmake).
//
//   make_icon OUTPUT.ico

#include "res/IconImage.h"

#include <filesystem>
#include <fstream>
#include <iostream>
#include <system_error>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: " << (argc > 0 ? argv[0] : "make_icon") << " OUTPUT.ico\n";
        return 2;
    }
    const nw::res::IconImage images[] = {nw::res::DrawAppIcon16(32), nw::res::DrawAppIcon16(16)};
    const std::vector<std::uint8_t> bytes = nw::res::EncodeIco(images);

    const char* path = argv[1];
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) {
        std::cerr << "make_icon: cannot open " << path << " for writing\n";
        return 1;
    }
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        std::cerr << "make_icon: cannot write " << path << "\n";
        // Leave no half-written icon behind for the build to take as current
        // (only an ordinary file: never a device the path may name).
        std::error_code error;
        if (std::filesystem::is_regular_file(path, error))
            std::filesystem::remove(path, error);
        return 1;
    }
    return 0;
}
