#include "postal/postal_table.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "postal/address_key.h"
#include "postal/table_format.h"
#include "store/file_read.h"
#include "text/sjis.h"

namespace postal {

namespace {

std::uint32_t u32At(const std::string& b, std::size_t pos) {
    const auto* p = reinterpret_cast<const unsigned char*>(b.data()) + pos;
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

std::uint16_t u16At(const std::string& b, std::size_t pos) {
    const auto* p = reinterpret_cast<const unsigned char*>(b.data()) + pos;
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

// One character of a postal code: a digit ('0'..'9', full-width too) gives
// its value, a hyphen-like mark gives -1, anything else -2. step is set to
// the character's byte length.
int zipChar(std::string_view s, std::size_t pos, std::size_t& step) {
    step = sjis::charBytes(s, pos);
    const auto c = static_cast<unsigned char>(s[pos]);
    if (step == 1) {
        if (c >= '0' && c <= '9') return c - '0';
        return c == '-' ? -1 : -2;
    }
    const auto t = static_cast<unsigned char>(s[pos + 1]);
    if (c == 0x82 && t >= 0x4F && t <= 0x58) return t - 0x4F;  // ０..９
    // －, ‐, ― and the long-vowel mark a Japanese input method gives for "-".
    if (c == 0x81 && (t == 0x7C || t == 0x5D || t == 0x5C || t == 0x5B)) return -1;
    return -2;
}

bool isBlank(std::string_view s, std::size_t pos, std::size_t step) {
    if (step == 1) return static_cast<unsigned char>(s[pos]) <= 0x20;
    return s[pos] == '\x81' && s[pos + 1] == '\x40';
}

// Digits of a code with at most one hyphen, after the third digit only.
std::optional<std::string> parseZip(std::string_view s) {
    std::string digits;
    bool hyphen = false;
    bool started = false;
    bool ended = false;
    std::size_t step = 0;
    for (std::size_t pos = 0; pos < s.size(); pos += step) {
        const int v = zipChar(s, pos, step);
        if (v >= 0) {
            if (ended || digits.size() == 7) return std::nullopt;
            digits += static_cast<char>('0' + v);
            started = true;
        } else if (v == -1) {
            if (hyphen || digits.size() != 3 || ended) return std::nullopt;
            hyphen = true;
        } else if (isBlank(s, pos, step)) {
            if (started) ended = true;
        } else if (!started && step == 2 && s[pos] == '\x81' && s[pos + 1] == '\xA7') {
            // 〒 before the code
        } else {
            return std::nullopt;
        }
    }
    if (digits.empty() || (hyphen && digits.size() == 3)) return std::nullopt;
    return digits;
}

std::uint32_t codeNumber(std::string_view digits) {
    std::uint32_t n = 0;
    for (const char c : digits) n = n * 10 + static_cast<std::uint32_t>(c - '0');
    return n;
}

std::string codeText(std::uint32_t code) {
    std::string s(7, '0');
    for (std::size_t i = 7; i-- > 0; code /= 10) s[i] = static_cast<char>('0' + code % 10);
    return s;
}

}  // namespace

std::optional<std::string> zipDigits(std::string_view sjisText) {
    auto d = parseZip(sjisText);
    if (!d || d->size() != 7) return std::nullopt;
    return d;
}

std::optional<std::string> zipPrefixDigits(std::string_view sjisText) { return parseZip(sjisText); }

std::string formatZip(std::string_view sevenDigits) {
    return std::string(sevenDigits.substr(0, 3)) + "-" + std::string(sevenDigits.substr(3));
}

Table::Table(std::string bytes) : bytes_(std::move(bytes)) {
    const std::string& b = bytes_;
    if (b.size() < format::kHeaderBytes || std::string_view(b).substr(0, 8) != format::kMagic)
        throw TableError("not a postal table file");
    if (u32At(b, 8) != format::kVersion) throw TableError("postal table of an unknown version");
    const std::uint64_t prefs = u32At(b, 16);
    const std::uint64_t cities = u32At(b, 20);
    const std::uint64_t entries = u32At(b, 24);
    const std::uint64_t blob = u32At(b, 28);
    // 64-bit sums cannot overflow from 32-bit counts; nothing is allocated
    // before the counts agree with the file's real length.
    const std::uint64_t expected = format::kHeaderBytes + prefs * format::kPrefBytes +
                                   cities * format::kCityBytes + entries * format::kEntryBytes + blob;
    if (expected != b.size()) throw TableError("postal table truncated or damaged (length)");
    if (cities > 0xFFFF) throw TableError("postal table damaged (city count)");  // entries index them with 16 bits
    if (format::checksum(std::string_view(b).substr(format::kHeaderBytes)) != u32At(b, 32))
        throw TableError("postal table damaged (checksum)");
    blobStart_ = static_cast<std::size_t>(b.size() - blob);

    auto checkRecord = [&](std::uint32_t ref, int strings) {
        for (int i = 0; i < strings; ++i) {
            if (std::uint64_t{ref} + 2 > blob) throw TableError("postal table damaged (string)");
            const std::uint32_t len = u16At(b, blobStart_ + ref);
            if (std::uint64_t{ref} + 2 + len > blob) throw TableError("postal table damaged (string)");
            if (!sjis::isWellFormed(std::string_view(b).substr(blobStart_ + ref + 2, len)))
                throw TableError("postal table damaged (text)");
            ref += 2 + len;
        }
    };

    std::size_t pos = format::kHeaderBytes;
    prefNames_.reserve(static_cast<std::size_t>(prefs));
    for (std::uint64_t i = 0; i < prefs; ++i, pos += format::kPrefBytes) {
        prefNames_.push_back(u32At(b, pos));
        prefKana_.push_back(u32At(b, pos + 4));
        checkRecord(prefNames_.back(), 1);
        checkRecord(prefKana_.back(), 1);
    }
    cities_.reserve(static_cast<std::size_t>(cities));
    for (std::uint64_t i = 0; i < cities; ++i, pos += format::kCityBytes) {
        const City c{u32At(b, pos), u32At(b, pos + 4), u16At(b, pos + 8)};
        if (c.pref >= prefs) throw TableError("postal table damaged (prefecture index)");
        checkRecord(c.name, 1);
        checkRecord(c.kana, 1);
        cities_.push_back(c);
    }
    entries_.reserve(static_cast<std::size_t>(entries));
    std::vector<std::uint32_t> perCity(cities_.size() + 1, 0);
    for (std::uint64_t i = 0; i < entries; ++i, pos += format::kEntryBytes) {
        const Entry e{u32At(b, pos), u16At(b, pos + 4), u16At(b, pos + 6), u32At(b, pos + 8)};
        if (e.code > 9999999 || (!entries_.empty() && e.code < entries_.back().code))
            throw TableError("postal table damaged (code order)");
        if (e.city >= cities_.size() || (e.flags & ~(format::kBusiness | format::kBlock)) != 0)
            throw TableError("postal table damaged (entry)");
        checkRecord(e.record, 3);
        entries_.push_back(e);
        ++perCity[e.city + 1u];
    }
    // Entries grouped by city for the address search (a counting sort keeps
    // code order inside each city).
    for (std::size_t c = 0; c < cities_.size(); ++c) perCity[c + 1] += perCity[c];
    cityStart_ = perCity;
    byCity_.resize(entries_.size());
    for (std::size_t i = 0; i < entries_.size(); ++i)
        byCity_[perCity[entries_[i].city]++] = static_cast<std::uint32_t>(i);

    for (const std::uint32_t name : prefNames_) prefKeys_.push_back(addressKey(string(name)));
    for (const City& c : cities_) {
        const std::string_view name = string(c.name);
        cityKeys_.push_back(addressKey(name));
        cityShortKeys_.push_back(addressKey(afterGun(name)));
    }
}

Table Table::load(const std::string& path) {
    std::string bytes;
    if (const int err = readFileCapped(path, format::kMaxFileBytes, bytes); err != 0)
        throw TableError(path + ": " + (err == EFBIG ? std::string("file too large") : std::strerror(err)));
    return Table(std::move(bytes));
}

std::string_view Table::string(std::uint32_t ref) const {
    const std::size_t at = blobStart_ + ref;
    return std::string_view(bytes_).substr(at + 2, u16At(bytes_, at));
}

std::uint32_t Table::nextString(std::uint32_t ref) const {
    return ref + 2u + u16At(bytes_, blobStart_ + ref);
}

Candidate Table::candidate(const Entry& e) const { return candidate(e, e.code); }

Candidate Table::candidate(const Entry& e, std::uint32_t code) const {
    const City& c = cities_[e.city];
    const std::uint32_t kana = nextString(e.record);
    return Candidate{codeText(code),
                     std::string(string(prefNames_[c.pref])),
                     std::string(string(c.name)),
                     std::string(string(e.record)),
                     std::string(string(kana)),
                     std::string(string(prefKana_[c.pref])),
                     std::string(string(c.kana)),
                     std::string(string(nextString(kana))),
                     (e.flags & format::kBusiness) != 0};
}

std::vector<Candidate> Table::lookup(std::string_view zip) const {
    std::vector<Candidate> out;
    const auto digits = zipDigits(zip);
    if (!digits) return out;
    const std::uint32_t code = codeNumber(*digits);
    for (const std::size_t i : lookupEntries(*digits)) out.push_back(candidate(entries_[i], code));
    return out;
}

std::vector<std::size_t> Table::lookupEntries(std::string_view zip) const {
    std::vector<std::size_t> out;
    const auto digits = zipDigits(zip);
    if (!digits) return out;
    const std::uint32_t code = codeNumber(*digits);
    auto byCode = [](const Entry& e, std::uint32_t c) { return e.code < c; };
    auto it = std::lower_bound(entries_.begin(), entries_.end(), code, byCode);
    for (; it != entries_.end() && it->code == code; ++it)
        if ((it->flags & format::kBlock) == 0) out.push_back(static_cast<std::size_t>(it - entries_.begin()));
    if (!out.empty()) return out;
    // A code of a high-rise's floor without an entry of its own: the block
    // entry of its five-digit prefix stands for it.
    const std::uint32_t block = code / 100 * 100;
    for (it = std::lower_bound(entries_.begin(), entries_.end(), block, byCode);
         it != entries_.end() && it->code == block; ++it)
        if ((it->flags & format::kBlock) != 0) out.push_back(static_cast<std::size_t>(it - entries_.begin()));
    return out;
}

std::vector<Candidate> Table::lookupPrefix(std::string_view digits, std::size_t limit) const {
    std::vector<Candidate> out;
    const auto d = zipPrefixDigits(digits);
    if (!d) return out;
    std::uint32_t scale = 1;
    for (std::size_t i = d->size(); i < 7; ++i) scale *= 10;
    const std::uint32_t first = codeNumber(*d) * scale;
    const std::uint32_t last = first + scale;
    auto it = std::lower_bound(entries_.begin(), entries_.end(), first,
                               [](const Entry& e, std::uint32_t c) { return e.code < c; });
    // A block entry names no single code, so lists of codes leave it out.
    for (; it != entries_.end() && it->code < last && out.size() < limit; ++it)
        if ((it->flags & format::kBlock) == 0) out.push_back(candidate(*it));
    return out;
}

}  // namespace postal
