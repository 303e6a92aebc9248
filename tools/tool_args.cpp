#include "tool_args.h"

#include "game/version.h"

#include <cstdio>
#include <filesystem>
#include <iostream>
#include <system_error>

namespace tools {

std::string UsageLine(const ToolSpec& spec) {
    return "usage: " + spec.name + " " + spec.operands + " | --help | --version";
}

std::string VersionLine(const ToolSpec& spec) {
    return spec.name + " " + pegdrop::kVersion;
}

namespace {

ToolArgs Refuse(const ToolSpec& spec, const std::string& why, std::ostream& err) {
    err << spec.name << ": " << why << "\n" << UsageLine(spec) << "\n";
    return {2, {}};
}

} // namespace

ToolArgs ReadToolArgs(const ToolSpec& spec, const std::vector<std::string>& args, std::ostream& out,
                      std::ostream& err) {
    ToolArgs read;
    bool options = true;
    for (const std::string& arg : args) {
        if (options && arg == "--") {
            options = false;
        } else if (options && (arg == "--help" || arg == "-h")) {
            out << UsageLine(spec) << "\n"
                << spec.summary << "\n\n"
                << "  --help     show this help and exit\n"
                << "  --version  show the version and exit\n";
            return {0, {}};
        } else if (options && arg == "--version") {
            out << VersionLine(spec) << "\n";
            return {0, {}};
        } else if (options && arg.size() > 1 && arg[0] == '-') {
            return Refuse(spec, "unknown option '" + arg + "'", err);
        } else if (arg.empty()) {
            return Refuse(spec, "an empty argument", err);
        } else {
            read.operands.push_back(arg);
        }
    }
    if (read.operands.size() < spec.count)
        return Refuse(spec, "missing " + spec.operands, err);
    if (read.operands.size() > spec.count)
        return Refuse(spec, "unexpected argument '" + read.operands[spec.count] + "'", err);
    return read;
}

ToolArgs ReadToolArgs(const ToolSpec& spec, int argc, char** argv) {
    return ReadToolArgs(spec, std::vector<std::string>(argv + 1, argv + argc), std::cout,
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

OutputFolder ReadOutputFolder(const ToolSpec& spec, int argc, char** argv) {
    const ToolArgs args = ReadToolArgs(spec, argc, argv);
    if (args.exitStatus)
        return {args.exitStatus, {}};
    const std::string& dir = args.operands.at(0);
    if (!MakeOutputFolder(spec.name, dir))
        return {1, dir};
    return {std::nullopt, dir};
}

} // namespace tools
