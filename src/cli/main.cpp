#include <iostream>

#include "cli/CommandLine.h"
#include "cli/ProcessArguments.h"

int main(int argc, char** argv) {
  const korvan::cli::ProcessArguments arguments(argc, argv);
  return korvan::cli::Run(arguments.Count(), arguments.Values(), std::cout, std::cerr);
}
