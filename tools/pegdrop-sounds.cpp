// pegdrop-sounds OUTDIR: synthesises every sound cue of the game into OUTDIR
// as wave files. Runs at every build.
#include "art/cues.h"
#include "tool_args.h"

#include <cstdio>
#include <string>

int main(int argc, char** argv) {
    const tools::ToolInfo tool{
        "pegdrop-sounds", "OUTDIR", 1,
        "Synthesises every sound cue of the game into OUTDIR as wave files."};
    const tools::OutputFolder folder = tools::ReadOutputFolder(tool, argc, argv);
    if (folder.exitStatus)
        return *folder.exitStatus;
    const std::string& dir = folder.dir;
    for (const art::Cue& cue : art::SynthesiseCues()) {
        const std::string path = dir + "/" + cue.fileName;
        if (!art::WriteWavFile(path, cue)) {
            std::fprintf(stderr, "pegdrop-sounds: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
