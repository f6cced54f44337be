// Runs the fuzz target once on each file named on the command line: the checked-in corpus becomes
// a regression test in any build, with or without libFuzzer.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
  for (int k = 1; k < argc; ++k) {
    std::ifstream file(argv[k], std::ios::binary);
    if (!file) {
      std::fprintf(stderr, "cannot read %s\n", argv[k]);
      return 1;
    }
    const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(file), {}};
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
  }
  std::printf("replayed %d inputs\n", argc - 1);
  return 0;
}
