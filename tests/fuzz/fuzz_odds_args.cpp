// The pegdrop-odds command line: the input is split at zero bytes into
// arguments. Every command parsed is complete and parses again the same from
// its plain form; scripted falls run, and answer with one exit code or the other.
#include "fuzz_check.h"
#include "odds.h"
#include "odds_args.h"

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

using namespace pegdrop;

namespace {

// "a\0b" is two arguments and "a\0" two as well, the second empty.
std::vector<std::string> Arguments(std::string_view bytes) {
    std::vector<std::string> args;
    if (bytes.empty())
        return args;
    for (;;) {
        const std::size_t end = bytes.find('\0');
        args.emplace_back(bytes.substr(0, end));
        if (end == std::string_view::npos || args.size() == 16)
            return args;
        bytes.remove_prefix(end + 1);
    }
}

std::vector<std::string> PlainForm(const OddsCommand& command) {
    switch (command.action) {
    case OddsAction::Trace:
        return {"--trace", std::to_string(command.releaseX), "--choices", command.choices};
    case OddsAction::TestBoardTrace:
        return {"--test-board", "--trace", "--choices", command.choices};
    case OddsAction::TestBoardEnds:
        return {"--test-board"};
    case OddsAction::Chart:
        return {"--chart", command.chartPath};
    case OddsAction::Help:
        return {"--help"};
    case OddsAction::Version:
        return {"--version"};
    case OddsAction::Table:
    case OddsAction::Wrong:
        break;
    }
    return {};
}

std::size_t LineCount(const std::string& text) {
    std::size_t lines = 0;
    for (char c : text)
        lines += c == '\n';
    return lines;
}

// Runs the commands that neither write a file nor take long.
void CheckRun(const std::vector<std::string>& args, const OddsCommand& command) {
    std::ostringstream out, err;
    const int code = RunOddsCli(args, out, err);
    if (code == 2) {
        FUZZ_CHECK(out.str().empty());
        FUZZ_CHECK(LineCount(err.str()) == 2);
        FUZZ_CHECK(err.str().ends_with("\n" + OddsUsage() + "\n"));
        // Only a fall can be refused once the arguments are right.
        FUZZ_CHECK(command.action == OddsAction::Wrong || command.action == OddsAction::Trace ||
                   command.action == OddsAction::TestBoardTrace);
        return;
    }
    FUZZ_CHECK(code == 0);
    FUZZ_CHECK(err.str().empty());
    const std::string text = out.str();
    FUZZ_CHECK(text.ends_with('\n'));
    if (command.action == OddsAction::Trace) {
        FUZZ_CHECK(text.find("\nslot,") != std::string::npos);
        FUZZ_CHECK(LineCount(text) == 301); // 300 steps and the slot
    }
    if (command.action == OddsAction::TestBoardTrace)
        FUZZ_CHECK(text.find("\nend,") != std::string::npos);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> args =
        Arguments(std::string_view(reinterpret_cast<const char*>(data), size));
    const OddsCommand command = ParseOddsArgs(args);
    FUZZ_CHECK((command.action == OddsAction::Wrong) == !command.error.empty());
    FUZZ_CHECK(command.error.find_first_of("\r\n") == std::string::npos);
    FUZZ_CHECK(args.empty() == (command.action == OddsAction::Table));
    switch (command.action) {
    case OddsAction::Trace:
        FUZZ_CHECK(command.releaseX >= 200 && command.releaseX <= 400);
        [[fallthrough]];
    case OddsAction::TestBoardTrace:
        FUZZ_CHECK(command.choices.find_first_not_of("12") == std::string::npos);
        break;
    case OddsAction::Chart:
        FUZZ_CHECK(!command.chartPath.empty() && !command.chartPath.starts_with("--"));
        break;
    default:
        break;
    }
    if (command.action != OddsAction::Wrong && command.action != OddsAction::Table)
        FUZZ_CHECK(ParseOddsArgs(PlainForm(command)) == command);
    if (command.action != OddsAction::Table && command.action != OddsAction::Chart &&
        command.action != OddsAction::TestBoardEnds)
        CheckRun(args, command);
    return 0;
}
