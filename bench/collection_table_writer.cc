// Writes a collector's result table for measure_collection.sh.
//
// Usage: collection_table_writer <file> [systems] (default: a million records)
#include <cstdio>
#include <cstdlib>

#include "collection_table.h"

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: collection_table_writer <file> [systems]\n");
    return 2;
  }
  int systems = argc > 2 ? std::atoi(argv[2]) : bench::COLLECTION_SYSTEMS;
  if (!bench::writeCollectionTable(argv[1], systems)) {
    std::perror(argv[1]);
    return 1;
  }
  return 0;
}
