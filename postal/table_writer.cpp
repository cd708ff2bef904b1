#include "postal/table_writer.h"

#include <algorithm>
#include <cstdint>
#include <map>
#include <stdexcept>
#include <utility>

#include "postal/table_format.h"

namespace postal {

namespace {

void putU16(std::string& out, std::uint32_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}

void putU32(std::string& out, std::uint32_t v) {
    putU16(out, v & 0xFFFF);
    putU16(out, v >> 16);
}

// The string area: each distinct string (and record) stored once.
class StringArea {
public:
    StringArea() { add(""); }
    std::uint32_t add(const std::string& s) { return addPooled(strings_, {s}); }
    std::uint32_t addRecord(const std::string& town, const std::string& kana, const std::string& office) {
        return addPooled(records_, {town, kana, office});
    }
    const std::string& bytes() const { return bytes_; }

private:
    std::uint32_t addPooled(std::map<std::vector<std::string>, std::uint32_t>& pool,
                            const std::vector<std::string>& parts) {
        const auto found = pool.find(parts);
        if (found != pool.end()) return found->second;
        const auto at = static_cast<std::uint32_t>(bytes_.size());
        for (const std::string& p : parts) {
            if (p.size() > 0xFFFF) throw std::invalid_argument("postal table: text too long");
            putU16(bytes_, static_cast<std::uint32_t>(p.size()));
            bytes_ += p;
        }
        if (bytes_.size() > 0xFFFFFFFFu) throw std::invalid_argument("postal table: too large");
        pool.emplace(parts, at);
        return at;
    }

    std::string bytes_;
    std::map<std::vector<std::string>, std::uint32_t> strings_;
    std::map<std::vector<std::string>, std::uint32_t> records_;
};

}  // namespace

std::string encodeTable(const std::vector<TableRow>& rows) {
    StringArea area;
    std::map<std::string, std::uint32_t> prefIndex;
    std::vector<std::pair<std::string, std::string>> prefs;  // name, kana
    std::map<std::pair<std::uint32_t, std::string>, std::uint32_t> cityIndex;
    struct City {
        std::uint32_t pref;
        std::string name, kana;
    };
    std::vector<City> cities;
    struct Entry {
        std::uint32_t code;
        std::uint32_t city;
        std::uint16_t flags;
        std::uint32_t record;
    };
    std::vector<Entry> entries;
    entries.reserve(rows.size());

    for (const TableRow& r : rows) {
        if (r.zip.size() != 7 || !std::all_of(r.zip.begin(), r.zip.end(), [](char c) { return c >= '0' && c <= '9'; }))
            throw std::invalid_argument("postal table: a code is not seven digits");
        auto [p, newPref] = prefIndex.try_emplace(r.pref, static_cast<std::uint32_t>(prefs.size()));
        if (newPref) prefs.emplace_back(r.pref, r.prefKana);
        else if (prefs[p->second].second.empty()) prefs[p->second].second = r.prefKana;
        auto [c, newCity] = cityIndex.try_emplace({p->second, r.city}, static_cast<std::uint32_t>(cities.size()));
        if (newCity) cities.push_back({p->second, r.city, r.cityKana});
        else if (cities[c->second].kana.empty()) cities[c->second].kana = r.cityKana;
        if (cities.size() > 0xFFFF) throw std::invalid_argument("postal table: too many cities");
        std::uint32_t code = 0;
        for (const char ch : r.zip) code = code * 10 + static_cast<std::uint32_t>(ch - '0');
        entries.push_back({code, c->second, r.business ? format::kBusiness : std::uint16_t{0},
                           area.addRecord(r.town, r.townKana, r.office)});
    }
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.code < b.code; });

    std::string body;
    for (const auto& [name, kana] : prefs) {
        putU32(body, area.add(name));
        putU32(body, area.add(kana));
    }
    for (const City& c : cities) {
        putU32(body, area.add(c.name));
        putU32(body, area.add(c.kana));
        putU16(body, c.pref);
        putU16(body, 0);
    }
    for (const Entry& e : entries) {
        putU32(body, e.code);
        putU16(body, e.city);
        putU16(body, e.flags);
        putU32(body, e.record);
    }
    body += area.bytes();

    std::string out(format::kMagic);
    putU32(out, format::kVersion);
    putU32(out, 0);
    putU32(out, static_cast<std::uint32_t>(prefs.size()));
    putU32(out, static_cast<std::uint32_t>(cities.size()));
    putU32(out, static_cast<std::uint32_t>(entries.size()));
    putU32(out, static_cast<std::uint32_t>(area.bytes().size()));
    putU32(out, format::checksum(body));
    putU32(out, 0);
    return out + body;
}

}  // namespace postal
