// Writes the built test database into a folder, as a seed for the fuzzer.

#include <cstdio>
#include <fstream>

#include "tests/jet/jet_file_builder.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const auto built = ostrel::jet::test::BuildJet4File();
    std::ofstream out(std::string(argv[1]) + "/built-jet4.mdb", std::ios::binary);
    out.write(reinterpret_cast<const char*>(built.bytes.data()),
              static_cast<std::streamsize>(built.bytes.size()));
    return out ? 0 : 1;
}
