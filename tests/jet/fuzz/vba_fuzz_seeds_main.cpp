// Writes the seeds of the VBA reader's fuzz targets into a folder.
//   vba_fuzz_seeds FOLDER [TESTDATA]

#include <cstdio>
#include <fstream>

#include "tests/jet/fuzz/vba_fuzz_seeds.h"

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FOLDER [TESTDATA]\n", argv[0]);
        return 2;
    }
    std::optional<std::filesystem::path> testData;
    if (argc > 2) {
        testData = argv[2];
    }
    int n = 0;
    for (const auto& [name, bytes] : ostrel::jet::test::VbaSeeds(testData)) {
        std::ofstream out(std::filesystem::path(argv[1]) / ("seed-" + std::to_string(++n)),
                          std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }
    std::printf("wrote %d seeds\n", n);
    return 0;
}
