// pegdrop-pictures OUTDIR: paints every picture of the game into OUTDIR as PNG.
#include "art/pictures.h"
#include "png_writer.h"
#include "tool_args.h"

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

int main(int argc, char** argv) {
    const tools::ToolInfo tool{"pegdrop-pictures", "OUTDIR", 1,
                               "Paints every picture of the game into OUTDIR as PNG files."};
    const tools::OutputFolder folder = tools::ReadOutputFolder(tool, argc, argv);
    if (folder.exitStatus)
        return *folder.exitStatus;
    const std::string& dir = folder.dir;
    std::vector<std::pair<std::string, art::Picture>> pictures;
    pictures.emplace_back("splash.png", art::SplashPicture());
    pictures.emplace_back("board.png", art::BoardPicture());
    for (int slot = 1; slot <= 9; ++slot)
        pictures.emplace_back("slot" + std::to_string(slot) + ".png", art::LitSlotPicture(slot));
    pictures.emplace_back("testboard.png", art::TestBoardPicture());
    pictures.emplace_back("icon.png", art::IconPicture());
    for (const auto& [name, pic] : pictures) {
        const std::string path = dir + "/" + name;
        if (!WritePng(path, pic.width, pic.height, pic.pixels.data())) {
            std::fprintf(stderr, "pegdrop-pictures: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
