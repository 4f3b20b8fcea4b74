#include <iostream>

#include "cli/CommandLine.h"

int main(int argc, char** argv) { return korvan::cli::Run(argc, argv, std::cout, std::cerr); }
