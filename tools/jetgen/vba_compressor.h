// Compression of VBA source and project directories, as the VBA editor
// stores them: a signature byte (1), then chunks of up to 4096 bytes each,
// every one a two-byte header and either the bytes themselves (raw) or flag
// bytes with literals and copy tokens that repeat earlier bytes of the chunk.
#pragma once

#include "tools/jetgen/byte_writer.h"

namespace ostrel::jetgen {

// Compresses data into a container. Throws GeneratorError when its last
// chunk, shorter than 4096 bytes, holds too little repetition to fit a
// compressed chunk (a raw chunk is always 4096 bytes).
Bytes CompressContainer(const Bytes& data);

}  // namespace ostrel::jetgen
