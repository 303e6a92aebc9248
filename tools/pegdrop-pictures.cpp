// pegdrop-pictures OUTDIR: paints every picture of the game into OUTDIR as PNG.
#include "assets/pictures.h"
#include "png_writer.h"
#include "tool_args.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

int main(int argc, char** argv) {
    const tools::ToolSpec spec{"pegdrop-pictures", "OUTDIR", 1,
                               "Paints every picture of the game into OUTDIR as PNG files."};
    const tools::ToolArgs args = tools::ReadToolArgs(spec, argc, argv);
    if (args.exitStatus)
        return *args.exitStatus;
    const std::string dir = args.operands[0];
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    if (error) {
        std::fprintf(stderr, "pegdrop-pictures: cannot create %s: %s\n", dir.c_str(),
                     error.message().c_str());
        return 1;
    }
    std::vector<std::pair<std::string, assets::Picture>> pictures;
    pictures.emplace_back("splash.png", assets::SplashPicture());
    pictures.emplace_back("board.png", assets::BoardPicture());
    for (int slot = 1; slot <= 9; ++slot)
        pictures.emplace_back("slot" + std::to_string(slot) + ".png", assets::LitSlotPicture(slot));
    pictures.emplace_back("testboard.png", assets::TestBoardPicture());
    pictures.emplace_back("icon.png", assets::IconPicture());
    for (const auto& [name, pic] : pictures) {
        const std::string path = dir + "/" + name;
        if (!WritePng(path, pic.width, pic.height, pic.pixels.data())) {
            std::fprintf(stderr, "pegdrop-pictures: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
