#include "driver/command_line.h"

int main(int argc, char** argv) { return bench::benchMain(argc, argv); }
