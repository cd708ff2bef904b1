#pragma once
// The postal table: every postal code with its prefecture, city and town
// (Shift-JIS bytes, as all text in the core). Loaded whole from one file of
// our own compact layout (postal/table_format.h) and checked before use.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace postal {

// One place a postal code stands for.
struct Candidate {
    std::string zip;       // seven ASCII digits
    std::string pref;      // 都道府県
    std::string city;      // 市区町村 (with its 郡 where it has one)
    std::string town;      // 町域; empty where the code covers the rest of the city
    std::string townKana;  // half-width reading of the town where the data has one
    std::string prefKana;  // half-width readings of the prefecture and city
    std::string cityKana;
    std::string office;    // the business's name for a business's own code
    bool business = false;
    bool operator==(const Candidate&) const = default;
};

// A table file that cannot be used; the message says why (in UTF-8).
class TableError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The seven ASCII digits of a postal code written in any usual way: with or
// without the hyphen, half- or full-width, after "〒", blanks around it.
// nullopt for anything else.
std::optional<std::string> zipDigits(std::string_view sjisText);

// Digits (half- or full-width) and hyphens only, the hyphens dropped: the
// digits of a code prefix such as "105", "105-00". nullopt otherwise.
std::optional<std::string> zipPrefixDigits(std::string_view sjisText);

// "NNN-NNNN" for seven digits.
std::string formatZip(std::string_view sevenDigits);

class Table {
public:
    // Checks the bytes of a table file; throws TableError when they are not
    // one whole, undamaged table.
    explicit Table(std::string bytes);
    // Reads and checks a table file; throws TableError (missing, unreadable,
    // too large, damaged).
    static Table load(const std::string& path);

    std::size_t entryCount() const { return entries_.size(); }

    // Every place of one postal code (see zipDigits for the accepted forms),
    // in the order of the data. Empty for an unknown or malformed code.
    std::vector<Candidate> lookup(std::string_view zip) const;
    // The same places as indexes into entries(); a high-rise floor's code
    // without an entry of its own gives its block entry.
    std::vector<std::size_t> lookupEntries(std::string_view zip) const;

    // The places of every code that begins with the given digits (three or
    // five, as on a waybill's first boxes; any length from 1 to 7 works),
    // in code order, at most limit of them.
    std::vector<Candidate> lookupPrefix(std::string_view digits, std::size_t limit = 1000) const;

    // ---- Raw access for the address search ----------------------------
    struct Entry {
        std::uint32_t code;
        std::uint16_t city;
        std::uint16_t flags;
        std::uint32_t record;
    };
    struct City {
        std::uint32_t name;
        std::uint32_t kana;
        std::uint16_t pref;
    };
    const std::vector<Entry>& entries() const { return entries_; }
    const std::vector<City>& cities() const { return cities_; }
    std::size_t prefCount() const { return prefNames_.size(); }
    std::string_view prefName(std::size_t pref) const { return string(prefNames_[pref]); }
    std::string_view cityName(std::size_t city) const { return string(cities_[city].name); }
    std::string_view town(const Entry& e) const { return string(e.record); }
    // Entries of one city (indexes into entries()), in code order.
    const std::uint32_t* cityEntriesBegin(std::size_t city) const { return byCity_.data() + cityStart_[city]; }
    const std::uint32_t* cityEntriesEnd(std::size_t city) const { return byCity_.data() + cityStart_[city + 1]; }
    // Comparison keys (postal/address_key.h) of the names, made at load.
    const std::string& prefKey(std::size_t pref) const { return prefKeys_[pref]; }
    const std::string& cityKey(std::size_t city) const { return cityKeys_[city]; }
    // The city's name after its 郡 ("榛東村" of "北群馬郡榛東村"), else empty:
    // addresses often leave the 郡 out.
    const std::string& cityShortKey(std::size_t city) const { return cityShortKeys_[city]; }
    Candidate candidate(const Entry& e) const;
    Candidate candidate(const Entry& e, std::uint32_t code) const;

private:
    std::string_view string(std::uint32_t ref) const;
    std::uint32_t nextString(std::uint32_t ref) const;

    std::string bytes_;
    std::size_t blobStart_ = 0;
    std::vector<std::uint32_t> prefNames_;
    std::vector<std::uint32_t> prefKana_;
    std::vector<City> cities_;
    std::vector<Entry> entries_;
    std::vector<std::uint32_t> byCity_;
    std::vector<std::uint32_t> cityStart_;
    std::vector<std::string> prefKeys_;
    std::vector<std::string> cityKeys_;
    std::vector<std::string> cityShortKeys_;
};

}  // namespace postal
