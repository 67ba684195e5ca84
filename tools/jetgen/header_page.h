// Page 0: the database definition page.
#pragma once

#include "tools/jetgen/page_file.h"

namespace ostrel::jetgen {

struct HeaderFields {
    int sortOrder = 1033;
    int codePage = 1252;
    double created = 0.0;           // OLE date; also masks the (empty) password
    std::uint32_t encodingKey = 0;  // not zero: the pages are encoded
};

Page MakeHeaderPage(const HeaderFields& fields);

// The RC4 keystream generator used for the header's masked region and for
// encoded pages.
void Rc4Apply(const std::uint8_t* key, std::size_t keyLength, std::uint8_t* data,
              std::size_t length);

}  // namespace ostrel::jetgen
