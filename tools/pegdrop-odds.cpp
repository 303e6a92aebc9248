// pegdrop-odds: the exact slot odds of every release x, one scripted fall, or a
// chart of the odds.
//   pegdrop-odds
//   pegdrop-odds --trace X --choices DIGITS
//   pegdrop-odds --test-board [--trace --choices DIGITS]
//   pegdrop-odds --chart FILE.png
#include "odds.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return pegdrop::RunOddsCli(args, std::cout, std::cerr);
}
