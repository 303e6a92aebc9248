// The command line the build tools share: --help and --version answered alike
// by every tool, and a wrong argument refused with the usage and status 2.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

namespace tools {

struct ToolInfo {
    std::string name;     // as typed: "pegdrop-pictures"
    std::string operands; // as the usage shows them: "OUTDIR"
    std::size_t count;    // how many operands it takes
    std::string summary;  // what it does, one line
};

// "usage: NAME OPERANDS", with the two questions every tool answers.
std::string UsageLine(const ToolInfo& tool);
// "NAME VERSION", the version the build was made from.
std::string VersionLine(const ToolInfo& tool);

struct ToolArgs {
    std::optional<int> exitStatus;     // set: the tool has answered and ends with it
    std::vector<std::string> operands; // otherwise: exactly tool.count of them
};

// Reads the arguments that follow the program's name, in order: --help
// (or -h) and --version are answered on `out` with status 0; an unknown
// option, an empty operand or the wrong number of operands is named on `err`
// with the usage, status 2. "--" ends the options.
ToolArgs ReadToolArgs(const ToolInfo& tool, const std::vector<std::string>& args, std::ostream& out,
                      std::ostream& err);

// The same for main's own arguments, answering on stdout and stderr.
ToolArgs ReadToolArgs(const ToolInfo& tool, int argc, char** argv);

// Makes the folder a tool writes into, with its parents; false, having named
// the folder and the reason on stderr, when it is not a folder afterwards.
bool MakeOutputFolder(const std::string& tool, const std::string& dir);

// The arguments of a tool whose one operand is the folder it writes into,
// made as MakeOutputFolder does. exitStatus set: the tool has answered
// (--help, --version, a wrong argument) or cannot make the folder.
struct OutputFolder {
    std::optional<int> exitStatus;
    std::string dir;
};
OutputFolder ReadOutputFolder(const ToolInfo& tool, int argc, char** argv);

} // namespace tools
