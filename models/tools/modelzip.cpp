// Packs a model folder flat: modelzip FOLDER ARCHIVE.zip stores every file directly in the folder by its bare
// name, with the writer that "Zip all files" uses, so that "Add Model" can install the archive.
#include "model/zip_folder.h"

#include <iostream>

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: modelzip FOLDER ARCHIVE.zip\n";
    return 2;
  }
  std::string failed;
  switch (pelorin::ZipFolder(argv[1], argv[2], failed)) {
  case pelorin::ZipOutcome::Ok:
    return 0;
  case pelorin::ZipOutcome::EntryFailed:
    std::cerr << "modelzip: error: cannot add " << failed << " to " << argv[2] << "\n";
    return 1;
  case pelorin::ZipOutcome::Failed:
    break;
  }
  std::cerr << "modelzip: error: cannot write " << argv[2] << "\n";
  return 1;
}
