// make_opendml_file FILE: writes the 12 GB capture of the tests (12 RIFF
// forms, 3 streams, each indexed by an OpenDML super index and 12 standard
// index chunks) as a sparse file: its headers and index chunks take a few
// hundred kilobytes of disk.
#include <cstdio>
#include <exception>

#include "tests/support/OpenDMLBuilder.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_opendml_file FILE\n");
    return 2;
  }
  try {
    const testing_support::OpenDMLFile file = testing_support::buildOpenDML(testing_support::twelveGigabyteCapture());
    testing_support::writeSparseFile(argv[1], file);
    std::printf("%s: %llu bytes\n", argv[1], static_cast<unsigned long long>(file.size));
  } catch (const std::exception& e) {
    std::fprintf(stderr, "make_opendml_file: %s\n", e.what());
    return 1;
  }
  return 0;
}
