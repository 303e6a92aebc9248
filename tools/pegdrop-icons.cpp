// pegdrop-icons OUTDIR: paints the desktop icon at every size of the icon
// theme, as OUTDIR/NxN/apps/NAME.png, the layout of the hicolor theme.
#include "assets/pictures.h"
#include "png_writer.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

int main(int argc, char** argv) {
    if (argc != 3 || argv[1][0] == '\0' || argv[2][0] == '\0') {
        std::fprintf(stderr, "usage: pegdrop-icons OUTDIR NAME\n");
        return 2;
    }
    for (int size : assets::kDesktopIconSizes) {
        const std::string n = std::to_string(size);
        const std::string dir = std::string(argv[1]) + "/" + n + "x" + n + "/apps";
        std::error_code error;
        std::filesystem::create_directories(dir, error);
        const std::string path = dir + "/" + argv[2] + ".png";
        const assets::Picture icon = assets::DesktopIconPicture(size);
        if (error || !WritePng(path, icon.width, icon.height, icon.pixels.data())) {
            std::fprintf(stderr, "pegdrop-icons: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
