#include "odds_args.h"

#include "game/version.h"
#include "rules/lattice.h"

#include <algorithm>
#include <charconv>
#include <optional>

namespace pegdrop {
namespace {

OddsCommand Wrong(std::string message) {
    OddsCommand command;
    command.action = OddsAction::Wrong;
    command.error = std::move(message);
    return command;
}

std::optional<int> ParseRelease(const std::string& text) {
    int x = 0;
    const char* end = text.data() + text.size();
    const auto [last, ec] = std::from_chars(text.data(), end, x);
    if (text.empty() || ec != std::errc() || last != end || x < kAimMinX || x > kAimMaxX)
        return std::nullopt;
    return x;
}

// Shown inside quotes in a one-line message: control bytes would break the line.
std::string Printable(const std::string& text) {
    std::string shown = text;
    std::replace_if(
        shown.begin(), shown.end(), [](char c) { return c == '\n' || c == '\r'; }, '?');
    return shown;
}

// Options that stand alone: nothing may come with them.
OddsCommand Alone(const std::vector<std::string>& args) {
    const std::string& option = args[0];
    if (option == "--chart") {
        if (args.size() == 1 || args[1].empty() || args[1].starts_with("--"))
            return Wrong("--chart needs a file name");
        if (args.size() > 2)
            return Wrong("--chart takes no other arguments");
        OddsCommand command;
        command.action = OddsAction::Chart;
        command.chartPath = args[1];
        return command;
    }
    if (args.size() > 1)
        return Wrong(option + " takes no other arguments");
    OddsCommand command;
    command.action = option == "--help" ? OddsAction::Help : OddsAction::Version;
    return command;
}

bool StandsAlone(const std::string& option) {
    return option == "--help" || option == "--version" || option == "--chart";
}

} // namespace

OddsCommand ParseOddsArgs(const std::vector<std::string>& args) {
    if (args.empty())
        return {};
    if (const auto alone = std::ranges::find_if(args, StandsAlone); alone != args.end()) {
        if (alone != args.begin())
            return Wrong(*alone + " takes no other arguments");
        return Alone(args);
    }
    // The test run always starts at the same place, so there --trace takes no value.
    const bool onTestBoard = std::ranges::find(args, "--test-board") != args.end();
    bool testBoard = false;
    bool testTrace = false;
    std::optional<std::string> release;
    std::optional<std::string> choices;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
        bool* flag = option == "--test-board"             ? &testBoard
                     : option == "--trace" && onTestBoard ? &testTrace
                                                          : nullptr;
        if (flag != nullptr) {
            if (*flag)
                return Wrong(option + " given twice");
            *flag = true;
            continue;
        }
        std::optional<std::string>* value = option == "--trace"     ? &release
                                            : option == "--choices" ? &choices
                                                                    : nullptr;
        if (value == nullptr)
            return Wrong("unknown argument '" + Printable(option) + "'");
        if (value->has_value())
            return Wrong(option + " given twice");
        if (i + 1 == args.size() || args[i + 1].starts_with("--"))
            return Wrong(option + " needs a value");
        *value = args[++i];
    }
    OddsCommand command;
    if (testBoard && !testTrace && !choices) {
        command.action = OddsAction::TestBoardEnds;
        return command;
    }
    if (testBoard && !testTrace)
        return Wrong("--choices needs --trace");
    if (!testBoard && !release)
        return Wrong("--trace X is missing");
    if (!choices)
        return Wrong("--choices DIGITS is missing");
    if (choices->find_first_not_of("12") != std::string::npos)
        return Wrong("choices must be digits 1 (left) and 2 (right), not '" + Printable(*choices) +
                     "'");
    command.choices = *choices;
    if (testBoard) {
        command.action = OddsAction::TestBoardTrace;
        return command;
    }
    const std::optional<int> x = ParseRelease(*release);
    if (!x)
        return Wrong("release x must be a whole number from 200 to 400, not '" +
                     Printable(*release) + "'");
    command.action = OddsAction::Trace;
    command.releaseX = *x;
    return command;
}

std::string OddsUsage() {
    return "usage: pegdrop-odds [--trace X --choices DIGITS | --test-board [--trace --choices "
           "DIGITS] | --chart FILE.png | --help | --version]";
}

std::string OddsVersion() {
    return std::string("pegdrop-odds ") + kVersion;
}

} // namespace pegdrop
