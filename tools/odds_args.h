// The pegdrop-odds command line as plain data: parsed without printing or
// running anything, so that tests and the fuzzer can reach every corner of it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace pegdrop {

enum class OddsAction : std::uint8_t {
    Table,          // no arguments: the board's odds of every release x
    Trace,          // --trace X --choices DIGITS
    TestBoardEnds,  // --test-board
    TestBoardTrace, // --test-board --trace --choices DIGITS
    Chart,          // --chart FILE.png
    Help,           // --help
    Version,        // --version
    Wrong,          // anything else; error says why
};

struct OddsCommand {
    OddsAction action = OddsAction::Table;
    int releaseX = 0;      // Trace: 200..400
    std::string choices;   // Trace, TestBoardTrace: digits 1 and 2 only
    std::string chartPath; // Chart
    std::string error;     // Wrong: one line, no program name
    bool operator==(const OddsCommand&) const = default;
};

// The arguments without the program name.
OddsCommand ParseOddsArgs(const std::vector<std::string>& args);

// One line, no line end.
std::string OddsUsage();
std::string OddsVersion(); // "pegdrop-odds 1.3.0.0"

} // namespace pegdrop
