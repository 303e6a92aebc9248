// pegdrop-odds: the exact slot odds of every release x, or one scripted fall.
//   pegdrop-odds
//   pegdrop-odds --trace X --choices DIGITS
#include "odds.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    return pegdrop::RunOddsCli(args, std::cout, std::cerr);
}
