#include "config/archive_codec.h"

#include <cryptopp/filters.h>
#include <cryptopp/gzip.h>
#include <cryptopp/modes.h>
#include <cryptopp/twofish.h>

#include <array>
#include <cstdint>
#include <cstring>

namespace {

constexpr std::size_t kBlockSize = 16;

// The product's fixed key and IV. Archives written under other values cannot
// be read back.
constexpr std::array<std::uint8_t, kBlockSize> kKeyBytes = {
    0x5b, 0x3e, 0xa1, 0x07, 0xc4, 0x92, 0x6d, 0x18, 0xf0, 0x2a, 0x77, 0xbd, 0x49, 0xe3, 0x0c, 0x86};
constexpr std::array<std::uint8_t, kBlockSize> kIvBytes = {
    0x9d, 0x14, 0x62, 0xcf, 0x33, 0xa8, 0x05, 0x7e, 0xe9, 0x51, 0xb6, 0x2f, 0x80, 0x4c, 0xd7, 0x1a};

// The gzip header's operating-system byte; the library writes its own
// platform's code, the archive always holds 0.
constexpr std::size_t kGzipOsByte = 9;

struct KeyMaterial {
  CryptoPP::byte key[kBlockSize] = {};
  CryptoPP::byte iv[kBlockSize] = {};
  KeyMaterial() {
    std::memcpy(key, kKeyBytes.data(), kBlockSize);
    std::memcpy(iv, kIvBytes.data(), kBlockSize);
  }
};

std::string Compress(std::string_view plain) {
  std::string gzip;
  CryptoPP::StringSource source(
      reinterpret_cast<const CryptoPP::byte*>(plain.data()), plain.size(), true,
      new CryptoPP::Gzip(new CryptoPP::StringSink(gzip), CryptoPP::Gzip::MAX_DEFLATE_LEVEL,
                         CryptoPP::Gzip::DEFAULT_LOG2_WINDOW_SIZE));
  if (gzip.size() > kGzipOsByte) {
    gzip[kGzipOsByte] = 0;
  }
  return gzip;
}

}  // namespace

std::string ArchiveEncode(std::string_view plain) {
  if (plain.empty()) {
    return {};
  }
  try {
    const std::string gzip = Compress(plain);
    const KeyMaterial material;
    CryptoPP::CBC_Mode<CryptoPP::Twofish>::Encryption encryption(material.key, kBlockSize,
                                                                 material.iv);
    std::string archive;
    CryptoPP::StringSource source(
        gzip, true,
        new CryptoPP::StreamTransformationFilter(encryption, new CryptoPP::StringSink(archive)));
    return archive;
  } catch (const CryptoPP::Exception&) {
    return {};
  }
}

std::string ArchiveDecode(std::string_view archive) {
  if (archive.empty() || archive.size() % kBlockSize != 0) {
    return {};
  }
  try {
    const KeyMaterial material;
    CryptoPP::CBC_Mode<CryptoPP::Twofish>::Decryption decryption(material.key, kBlockSize,
                                                                 material.iv);
    std::string plain;
    CryptoPP::StringSource source(
        reinterpret_cast<const CryptoPP::byte*>(archive.data()), archive.size(), true,
        new CryptoPP::StreamTransformationFilter(
            decryption, new CryptoPP::Gunzip(new CryptoPP::StringSink(plain))));
    return plain;
  } catch (const CryptoPP::Exception&) {
    return {};
  }
}
