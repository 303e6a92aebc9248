// pegdrop-icons OUTDIR NAME [SIZE...]: paints the desktop icon at every size
// of the icon theme, or at the sizes given, as OUTDIR/NxN/apps/NAME.png, the
// layout of the hicolor theme.
#include "art/pictures.h"
#include "png_writer.h"
#include "tool_args.h"

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    if (argc < 3 || argv[1][0] == '\0' || argv[2][0] == '\0') {
        std::fprintf(stderr, "usage: pegdrop-icons OUTDIR NAME [SIZE...]\n");
        return 2;
    }
    std::vector<int> sizes(art::kDesktopIconSizes.begin(), art::kDesktopIconSizes.end());
    if (argc > 3)
        sizes.clear();
    for (int i = 3; i < argc; ++i)
        sizes.push_back(std::atoi(argv[i]));
    for (int size : sizes) {
        const std::string n = std::to_string(size);
        const std::string dir = std::string(argv[1]) + "/" + n + "x" + n + "/apps";
        if (!tools::MakeOutputFolder("pegdrop-icons", dir))
            return 1;
        const std::string path = dir + "/" + argv[2] + ".png";
        const art::Picture icon = art::DesktopIconPicture(size);
        if (icon.pixels.empty()) {
            std::fprintf(stderr, "pegdrop-icons: no icon at %d pixels\n", size);
            return 2;
        }
        if (!WritePng(path, icon.width, icon.height, icon.pixels.data())) {
            std::fprintf(stderr, "pegdrop-icons: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
