// The kelpack program.
#include <iostream>
#include <string>
#include <vector>

#include "tools/kelpack/commands.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return RunKelpack(args, std::cout, std::cerr);
}
