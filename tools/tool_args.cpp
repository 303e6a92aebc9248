#include "tool_args.h"

#include "game/version.h"

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <system_error>

namespace tools {

std::string UsageLine(const ToolInfo& tool) {
    return "usage: " + tool.name + " " + tool.operands + " | --help | --version";
}

std::string VersionLine(const ToolInfo& tool) {
    return tool.name + " " + pegdrop::kVersion;
}

namespace {

ToolArgs Refuse(const ToolInfo& tool, const std::string& why, std::ostream& err) {
    err << tool.name << ": " << why << "\n" << UsageLine(tool) << "\n";
    return {2, {}};
}

} // namespace

ToolArgs ReadToolArgs(const ToolInfo& tool, const std::vector<std::string>& args, std::ostream& out,
                      std::ostream& err) {
    ToolArgs read;
    bool options = true;
    for (const std::string& arg : args) {
        if (options && arg == "--") {
            options = false;
        } else if (options && (arg == "--help" || arg == "-h")) {
            out << UsageLine(tool) << "\n"
                << tool.summary << "\n\n"
                << "  --help     show this help and exit\n"
                << "  --version  show the version and exit\n";
            return {0, {}};
        } else if (options && arg == "--version") {
            out << VersionLine(tool) << "\n";
            return {0, {}};
        } else if (options && arg.size() > 1 && arg[0] == '-') {
            return Refuse(tool, "unknown option '" + arg + "'", err);
        } else if (arg.empty()) {
            return Refuse(tool, "an empty argument", err);
        } else {
            read.operands.push_back(arg);
        }
    }
    if (read.operands.size() < tool.count)
        return Refuse(tool, "missing " + tool.operands, err);
    if (read.operands.size() > tool.count)
        return Refuse(tool, "unexpected argument '" + read.operands[tool.count] + "'", err);
    return read;
}

ToolArgs ReadToolArgs(const ToolInfo& tool, int argc, char** argv) {
    return ReadToolArgs(tool, std::vector<std::string>(argv + 1, argv + argc), std::cout,
                        std::cerr);
}

bool MakeOutputFolder(const std::string& tool, const std::string& dir) {
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    if (!error && std::filesystem::is_directory(dir, error))
        return true;
    std::fprintf(stderr, "%s: cannot create %s: %s\n", tool.c_str(), dir.c_str(),
                 error ? error.message().c_str() : "not a folder");
    return false;
}

OutputFolder ReadOutputFolder(const ToolInfo& tool, int argc, char** argv) {
    const ToolArgs args = ReadToolArgs(tool, argc, argv);
    if (args.exitStatus)
        return {args.exitStatus, {}};
    const std::string& dir = args.operands.at(0);
    if (!MakeOutputFolder(tool.name, dir))
        return {1, dir};
    return {std::nullopt, dir};
}

} // namespace tools
