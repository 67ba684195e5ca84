// jetgen: writes a Jet 4 .mdb file from a JSON database description.
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "tools/jetgen/description_json.h"
#include "tools/jetgen/generator.h"
#include "tools/jetgen/generator_error.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::cerr << "usage: jetgen DESCRIPTION.json OUTPUT.mdb\n";
        return 2;
    }
    try {
        std::ifstream in(argv[1], std::ios::binary);
        if (!in) {
            std::cerr << "jetgen: cannot read \"" << argv[1] << "\"\n";
            return 1;
        }
        std::ostringstream text;
        text << in.rdbuf();
        const auto blueprint = ostrel::jetgen::ParseDescription(text.str());
        const auto summary = ostrel::jetgen::WriteDatabase(blueprint, argv[2]);
        std::cout << "wrote " << argv[2] << ": " << summary.pages << " pages, " << summary.rows
                  << " rows\n";
        return 0;
    } catch (const ostrel::jetgen::GeneratorError& e) {
        std::cerr << "jetgen: " << e.what() << "\n";
        return 1;
    }
}
