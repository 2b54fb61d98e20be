// harmake: writes a Header Array file from its readable text form (see har_text.h).
//   harmake INPUT.txt OUTPUT.har

#include "harmake/har_text.h"

#include <fstream>
#include <iostream>
#include <sstream>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: harmake INPUT.txt OUTPUT.har\n";
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  if (!in) {
    std::cerr << "harmake: error: cannot open " << argv[1] << "\n";
    return 1;
  }
  std::stringstream text;
  text << in.rdbuf();
  pelorin::HarText description;
  pelorin::ErrorText errorText;
  if (!pelorin::ParseHarText(text.str(), description, errorText)) {
    std::cerr << "harmake: error in " << argv[1] << ": " << errorText << "\n";
    return 1;
  }
  if (!pelorin::WriteHarFile(argv[2], description.headers, description.options, errorText)) {
    std::cerr << "harmake: error writing " << argv[2] << ": " << errorText << "\n";
    return 1;
  }
  return 0;
}
