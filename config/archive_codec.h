// The byte format of the settings archives: the settings text, gzip
// compressed (level 9, 32 KiB window, fixed header), then encrypted with
// Twofish-128 in CBC mode with PKCS #7 padding under a fixed key and IV.
// Encoding the same text twice gives identical bytes.
#pragma once

#include <string>
#include <string_view>

// Bytes are carried in std::string. Both return empty bytes for empty input
// and on any failure.
std::string ArchiveEncode(std::string_view plain);
std::string ArchiveDecode(std::string_view archive);
