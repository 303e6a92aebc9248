// pegdrop-sounds OUTDIR: synthesises every sound cue of the game into OUTDIR
// as wave files. Runs at every build.
#include "assets/cues.h"
#include "tool_args.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

int main(int argc, char** argv) {
    const tools::ToolSpec spec{
        "pegdrop-sounds", "OUTDIR", 1,
        "Synthesises every sound cue of the game into OUTDIR as wave files."};
    const tools::ToolArgs args = tools::ReadToolArgs(spec, argc, argv);
    if (args.exitStatus)
        return *args.exitStatus;
    const std::string dir = args.operands[0];
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    if (error || !std::filesystem::is_directory(dir, error)) {
        std::fprintf(stderr, "pegdrop-sounds: cannot create %s: %s\n", dir.c_str(),
                     error ? error.message().c_str() : "not a folder");
        return 1;
    }
    for (const assets::Cue& cue : assets::SynthesiseCues()) {
        const std::string path = dir + "/" + cue.fileName;
        if (!assets::WriteWavFile(path, cue)) {
            std::fprintf(stderr, "pegdrop-sounds: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
