// Writes a compound file (COM structured storage, version 3: 512-byte
// sectors) from a tree of storages and streams: streams under 4096 bytes go
// to 64-byte mini sectors of the root's stream, larger ones to sectors of
// their own; the FAT is listed by the header and, beyond 109 FAT sectors, by
// DIFAT sectors.
#pragma once

#include <string>
#include <vector>

#include "tools/jetgen/byte_writer.h"

namespace ostrel::jetgen {

struct StorageNode {
    std::string name;  // UTF-8, at most 31 UTF-16 units
    bool stream = false;
    Bytes data;  // a stream's bytes
    std::vector<StorageNode> children;

    StorageNode& Storage(const std::string& childName);
    void Stream(const std::string& childName, Bytes bytes);
};

// The compound file holding root's children. Throws GeneratorError for a
// name that is too long or used twice in one storage.
Bytes WriteCompoundFile(const StorageNode& root);

}  // namespace ostrel::jetgen
