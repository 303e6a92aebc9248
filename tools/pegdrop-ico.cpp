// pegdrop-ico FILE: writes the game's drawn icon as a Windows .ico, every
// size from 16 to 256 pixels; the Windows build puts it into pegdrop.exe.
#include "ico_writer.h"
#include "tool_args.h"

#include <cstdio>

int main(int argc, char** argv) {
    const tools::ToolInfo tool{"pegdrop-ico", "FILE", 1,
                               "Writes the game's icon as a Windows .ico file, 16 to 256 pixels."};
    const tools::ToolArgs args = tools::ReadToolArgs(tool, argc, argv);
    if (args.exitStatus)
        return *args.exitStatus;
    const std::string& path = args.operands.front();
    if (!tools::WriteDesktopIco(path)) {
        std::fprintf(stderr, "pegdrop-ico: cannot write %s\n", path.c_str());
        return 1;
    }
    return 0;
}
