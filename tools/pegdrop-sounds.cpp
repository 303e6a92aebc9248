// pegdrop-sounds OUTDIR: synthesises every sound cue of the game into OUTDIR
// as wave files. Runs at every build.
#include "assets/cues.h"

#include <cstdio>
#include <filesystem>
#include <string>
#include <system_error>

int main(int argc, char** argv) {
    if (argc != 2 || argv[1][0] == '\0') {
        std::fprintf(stderr, "usage: pegdrop-sounds OUTDIR\n");
        return 2;
    }
    const std::string dir = argv[1];
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
