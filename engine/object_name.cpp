#include "engine/object_name.h"

namespace ostrel::engine {

std::string NameKey(std::string_view name) {
    std::string key;
    key.reserve(name.size());
    for (std::size_t i = 0; i < name.size(); ++i) {
        const auto c = static_cast<unsigned char>(name[i]);
        if (c >= 'A' && c <= 'Z') {
            key.push_back(static_cast<char>(c - 'A' + 'a'));
        } else if (c == 0xC3 && i + 1 < name.size()) {
            // U+00C0..U+00DE are the capitals of U+00E0..U+00FE, apart from
            // the multiplication sign U+00D7.
            auto next = static_cast<unsigned char>(name[i + 1]);
            if (next >= 0x80 && next <= 0x9E && next != 0x97) {
                next = static_cast<unsigned char>(next + 0x20);
            }
            key.push_back(static_cast<char>(c));
            key.push_back(static_cast<char>(next));
            ++i;
        } else {
            key.push_back(static_cast<char>(c));
        }
    }
    return key;
}

}  // namespace ostrel::engine
