// jetgen: writes a Jet 4 .mdb file from a JSON database description.
#include <charconv>
#include <fstream>
#include <iostream>
#include <optional>
#include <sstream>
#include <string>

#include "tools/jetgen/description_json.h"
#include "tools/jetgen/generator.h"
#include "tools/jetgen/generator_error.h"

int main(int argc, char** argv) {
    // --encoding-key N writes the pages encoded under N (as "encodingKey" in
    // the description does): an encoded twin of a plain database.
    std::optional<std::uint32_t> encodingKey;
    int first = 1;
    if (argc == 5 && std::string(argv[1]) == "--encoding-key") {
        const std::string key = argv[2];
        const bool hex = key.starts_with("0x") || key.starts_with("0X");
        const char* begin = key.data() + (hex ? 2 : 0);
        const char* last = key.data() + key.size();
        std::uint32_t value = 0;
        const auto [end, error] = std::from_chars(begin, last, value, hex ? 16 : 10);
        if (error != std::errc() || end != last || begin == last || value == 0) {
            std::cerr << "jetgen: --encoding-key takes a number from 1 to 4294967295\n";
            return 2;
        }
        encodingKey = value;
        first = 3;
    }
    if (argc - first != 2) {
        std::cerr << "usage: jetgen [--encoding-key N] DESCRIPTION.json OUTPUT.mdb\n";
        return 2;
    }
    const char* description = argv[first];
    const char* output = argv[first + 1];
    try {
        std::ifstream in(description, std::ios::binary);
        if (!in) {
            std::cerr << "jetgen: cannot read \"" << description << "\"\n";
            return 1;
        }
        std::ostringstream text;
        text << in.rdbuf();
        auto blueprint = ostrel::jetgen::ParseDescription(text.str());
        if (encodingKey) {
            blueprint.encodingKey = *encodingKey;
        }
        const auto summary = ostrel::jetgen::WriteDatabase(blueprint, output);
        std::cout << "wrote " << output << ": " << summary.pages << " pages, " << summary.rows
                  << " rows\n";
        return 0;
    } catch (const ostrel::jetgen::GeneratorError& e) {
        std::cerr << "jetgen: " << e.what() << "\n";
        return 1;
    }
}
