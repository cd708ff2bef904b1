#pragma once
// Layout of the postal table file (all integers little-endian).
//
//   header   40 bytes: magic "VPPOSTAL", u32 version (1), u32 flags (0),
//            u32 prefecture count, u32 city count, u32 entry count,
//            u32 string area bytes, u32 FNV-1a checksum of every byte after
//            the header, u32 reserved (0)
//   prefectures  8 bytes each: u32 name, u32 reading
//   cities      12 bytes each: u32 name, u32 reading, u16 prefecture, u16 0
//   entries     12 bytes each, sorted by code: u32 code (seven digits as a
//            number), u16 city, u16 flags, u32 record
//   string area: strings are a u16 length and that many CP932 bytes; the
//            u32 fields above are offsets into this area. A record is three
//            strings in a row: town, town reading, business name.
//
// The file is exactly that long; the reader checks every count, index and
// offset against it before anything is used, so a damaged or hostile file is
// refused instead of read past its end. The same layout is written by
// scripts/postal_table_from_json.py (the bundled table) and by the importer.
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace postal::format {

constexpr std::string_view kMagic = "VPPOSTAL";
constexpr std::uint32_t kVersion = 1;
constexpr std::size_t kHeaderBytes = 40;
constexpr std::size_t kPrefBytes = 8;
constexpr std::size_t kCityBytes = 12;
constexpr std::size_t kEntryBytes = 12;

// Entry flags.
constexpr std::uint16_t kBusiness = 1;  // a business's own code
// Stands for every code NNNNNxx of its five-digit prefix (its own code is
// NNNNN00) that has no entry of its own: the floors of a high-rise.
constexpr std::uint16_t kBlock = 2;

// Largest table file read at all (the full table is under 3 MB).
constexpr std::size_t kMaxFileBytes = 64u << 20;

// FNV-1a (32-bit) over bytes: cheap enough to check on every load.
constexpr std::uint32_t checksum(std::string_view bytes) {
    std::uint32_t h = 0x811C9DC5u;
    for (const char c : bytes) {
        h ^= static_cast<unsigned char>(c);
        h *= 0x01000193u;
    }
    return h;
}

}  // namespace postal::format
