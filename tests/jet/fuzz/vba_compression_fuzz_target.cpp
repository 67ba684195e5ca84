// Decompresses a buffer as a whole container, as a container among other
// data and as a prefix; damage may only end in SchemaError.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "components/jet/vba_compression.h"
#include "components/schema/schema_error.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    const std::string label = "fuzz.mdb";
    const ostrel::jet::ByteCursor cursor(bytes, label, "container");
    // A small cap keeps runs fast; larger outputs are refused the same way.
    constexpr std::size_t kCap = 1 << 20;
    try {
        (void)ostrel::jet::DecompressContainer(cursor, kCap);
    } catch (const ostrel::schema::SchemaError&) {
    }
    try {
        (void)ostrel::jet::DecompressEmbeddedContainer(cursor, kCap);
    } catch (const ostrel::schema::SchemaError&) {
    }
    (void)ostrel::jet::DecompressedPrefix(bytes, 64);
    return 0;
}
