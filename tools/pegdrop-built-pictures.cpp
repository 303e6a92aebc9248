// pegdrop-built-pictures FILE: draws every picture a window of the game shows
// and writes their pixels as C++ source, which the build compiles into the
// game. A tool of the machine that builds: a cross build runs the native one.
#include "art/pictures.h"
#include "tool_args.h"

#include <cstdio>
#include <fstream>
#include <string>

namespace {

// Three-digit octal escapes: unlike hexadecimal ones, they never swallow
// the character after them.
void WriteBytes(std::ostream& out, const art::Picture& picture) {
    constexpr std::size_t kPixelsPerLine = 16;
    char escaped[5] = {'\\', 0, 0, 0, 0};
    for (std::size_t i = 0; i < picture.pixels.size(); ++i) {
        if (i % kPixelsPerLine == 0)
            out << (i == 0 ? "\n    \"" : "\"\n    \"");
        for (int shift = 0; shift < 32; shift += 8) {
            const unsigned byte = (picture.pixels[i] >> shift) & 0xFFu;
            escaped[1] = static_cast<char>('0' + (byte >> 6));
            escaped[2] = static_cast<char>('0' + ((byte >> 3) & 7));
            escaped[3] = static_cast<char>('0' + (byte & 7));
            out << escaped;
        }
    }
    out << (picture.pixels.empty() ? " \"\"" : "\"");
}

} // namespace

int main(int argc, char** argv) {
    const tools::ToolInfo tool{"pegdrop-built-pictures", "FILE", 1,
                               "Writes the pixels of every picture of the game as C++ source."};
    const tools::ToolArgs args = tools::ReadToolArgs(tool, argc, argv);
    if (args.exitStatus)
        return *args.exitStatus;
    const std::string& path = args.operands.front();
    std::ofstream out(path, std::ios::binary);
    out << "// Made by pegdrop-built-pictures; every build makes it afresh.\n"
           "#include \"art/built_pictures.h\"\n\nnamespace art {\nnamespace {\n";
    std::string table;
    for (int n = 0; n < art::kPictureCount; ++n) {
        const art::Picture picture = art::DrawPicture(static_cast<art::PictureId>(n));
        const std::string name = "kPixels" + std::to_string(n);
        out << "\nconst char " << name << "[] =";
        WriteBytes(out, picture);
        out << ";\n";
        table += "    {" + std::to_string(picture.width) + ", " + std::to_string(picture.height) +
                 ", " + name + "},\n";
    }
    out << "\nconst BuiltPicture kPictures[kPictureCount] = {\n"
        << table << "};\n\n} // namespace\n\n"
        << "BuiltPicture Built(PictureId id) {\n"
           "    return kPictures[static_cast<int>(id)];\n}\n\n} // namespace art\n";
    out.close();
    if (!out) {
        std::fprintf(stderr, "pegdrop-built-pictures: cannot write %s\n", path.c_str());
        return 1;
    }
    return 0;
}
