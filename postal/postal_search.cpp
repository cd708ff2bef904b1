#include "postal/postal_search.h"

#include <algorithm>
#include <string>

#include "postal/address_key.h"
#include "postal/table_format.h"
#include "postal/town_key.h"

namespace postal {

namespace {

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// The length of the city's name (or its name without the 郡) that begins
// rest, or 0 when neither does.
std::size_t cityMatch(const Table& table, std::size_t city, std::string_view rest) {
    const std::string& full = table.cityKey(city);
    if (!full.empty() && startsWith(rest, full)) return full.size();
    const std::string& shortKey = table.cityShortKey(city);
    if (!shortKey.empty() && startsWith(rest, shortKey)) return shortKey.size();
    return 0;
}

// Towns of one city against the rest of the address after its name.
void matchTowns(const Table& table, std::size_t city, std::string_view rest, std::vector<std::uint32_t>& out) {
    const auto& entries = table.entries();
    std::vector<std::uint32_t> longest;   // towns that begin rest, the longest only
    std::vector<std::uint32_t> started;   // towns that rest begins (rest stops inside them)
    std::size_t longestSize = 0;
    for (const std::uint32_t* i = table.cityEntriesBegin(city); i != table.cityEntriesEnd(city); ++i) {
        const auto& e = entries[*i];
        if ((e.flags & format::kBlock) != 0) continue;  // names no single code
        const std::string key = addressKey(table.town(e));
        if (startsWith(rest, key)) {
            if (key.size() > longestSize || longest.empty()) {
                longest.clear();
                longestSize = key.size();
            }
            if (key.size() == longestSize) longest.push_back(*i);
        } else if (!rest.empty() && startsWith(key, rest)) {
            started.push_back(*i);
        }
    }
    if (!started.empty()) {
        out.insert(out.end(), started.begin(), started.end());
        // A town named exactly by the address is among the choices too.
        if (longestSize == rest.size()) out.insert(out.end(), longest.begin(), longest.end());
    } else {
        out.insert(out.end(), longest.begin(), longest.end());
    }
}

// A town key without a high-rise's floor at its end ("OAPタワー12階" →
// "OAPタワー").
std::string_view withoutFloor(std::string_view key) {
    constexpr std::string_view kFloor = "\x8A\x4B";  // 階
    if (!key.ends_with(kFloor)) return key;
    std::size_t end = key.size() - kFloor.size();
    while (end > 0 && key[end - 1] >= '0' && key[end - 1] <= '9') --end;
    return end < key.size() - kFloor.size() ? key.substr(0, end) : key;
}

// Whether what follows the city in an address (rest, an addressKey) fits
// the town of a code's entry. Only an address that names another town of
// the city is refused: one that names no town the table knows (a town
// written in an unusual way, a street before the town) cannot be judged.
bool townFits(const Table& table, const Table::Entry& code, std::string_view rest) {
    const std::string_view town = table.town(code);
    if (town.empty()) return true;  // the code covers the rest of the city
    const std::string restKey = townKey(rest);
    if (restKey.empty()) return true;  // the address names the city alone
    const std::string own = townKey(town);
    // The longest town of the city that the address begins with.
    std::string named;
    const auto& entries = table.entries();
    for (const std::uint32_t* i = table.cityEntriesBegin(code.city); i != table.cityEntriesEnd(code.city); ++i) {
        const Table::Entry& e = entries[*i];
        if ((e.flags & format::kBusiness) != 0) continue;
        const std::string_view name = table.town(e);
        if (name.empty()) continue;
        if (const std::string head = townKeyHead(name); !restKey.starts_with(head)) continue;
        std::string k = townKey(name);
        if (k.size() > named.size() && beginsWithTown(restKey, k)) named = std::move(k);
    }
    if (named.empty()) return true;
    if (own == named) return true;
    // A high-rise or a business in the named town ("天満橋ＯＡＰタワー" in
    // 天満橋): the address need not repeat the building's name. Else the
    // code's town must come further on, after a street as Kyoto writes it
    // ("河原町通三条上る恵比須町"), or the building's name (floor left out).
    if (restKey.find(own, named.size()) != std::string::npos) return true;
    if (!startsWith(own, named)) return false;
    if ((code.flags & (format::kBlock | format::kBusiness)) != 0) return true;
    const std::string_view building = withoutFloor(std::string_view(own).substr(named.size()));
    return !building.empty() && restKey.find(building, named.size()) != std::string::npos;
}

}  // namespace

std::vector<Candidate> reverseLookup(const Table& table, std::string_view sjisAddress, std::size_t limit) {
    const std::string key = addressKey(sjisAddress);
    std::vector<Candidate> result;
    if (key.empty()) return result;

    // The prefecture, when the address starts with one.
    std::size_t pref = table.prefCount();
    std::string_view rest = key;
    for (std::size_t p = 0; p < table.prefCount(); ++p) {
        if (!table.prefKey(p).empty() && startsWith(key, table.prefKey(p))) {
            pref = p;
            rest = std::string_view(key).substr(table.prefKey(p).size());
            break;
        }
    }
    const bool anyPref = pref == table.prefCount();

    // The cities whose name is the longest one that begins the rest.
    std::vector<std::size_t> cities;
    std::size_t best = 0;
    for (std::size_t c = 0; c < table.cities().size(); ++c) {
        if (!anyPref && table.cities()[c].pref != pref) continue;
        const std::size_t n = cityMatch(table, c, rest);
        if (n == 0 || n < best) continue;
        if (n > best) cities.clear();
        best = n;
        cities.push_back(c);
    }

    std::vector<std::uint32_t> hits;
    if (!cities.empty()) {
        for (const std::size_t c : cities) {
            std::string_view townRest = rest.substr(cityMatch(table, c, rest));
            matchTowns(table, c, townRest, hits);
        }
    } else if (!rest.empty() || !anyPref) {
        // The address stops inside a city's name (or names only the
        // prefecture): each such city's code for towns not listed.
        for (std::size_t c = 0; c < table.cities().size(); ++c) {
            if (!anyPref && table.cities()[c].pref != pref) continue;
            const std::string& shortKey = table.cityShortKey(c);
            if (!startsWith(table.cityKey(c), rest) && (shortKey.empty() || !startsWith(shortKey, rest)))
                continue;
            for (const std::uint32_t* i = table.cityEntriesBegin(c); i != table.cityEntriesEnd(c); ++i) {
                const auto& e = table.entries()[*i];
                if ((e.flags & format::kBlock) == 0 && table.town(e).empty()) hits.push_back(*i);
            }
        }
    }
    // Index order is code order; the same code and town once.
    std::sort(hits.begin(), hits.end());
    hits.erase(std::unique(hits.begin(), hits.end()), hits.end());
    for (const std::uint32_t i : hits) {
        if (result.size() == limit) break;
        Candidate c = table.candidate(table.entries()[i]);
        const bool seen = std::any_of(result.begin(), result.end(), [&](const Candidate& r) {
            return r.zip == c.zip && r.town == c.town && r.city == c.city;
        });
        if (!seen) result.push_back(std::move(c));
    }
    return result;
}

CheckResult checkAddress(const Table& table, std::string_view zip, std::string_view sjisAddress) {
    CheckResult r;
    r.expected = table.lookup(zip);
    r.known = !r.expected.empty();
    const std::string key = addressKey(sjisAddress);
    if (key.empty()) return r;
    for (const std::size_t i : table.lookupEntries(zip)) {
        const Table::Entry& e = table.entries()[i];
        std::string_view rest = key;
        const std::string& pref = table.prefKey(table.cities()[e.city].pref);
        if (!pref.empty() && startsWith(rest, pref)) rest.remove_prefix(pref.size());
        const std::size_t city = cityMatch(table, e.city, rest);
        if (city != 0 && townFits(table, e, rest.substr(city))) {
            r.matches = true;
            break;
        }
    }
    return r;
}

}  // namespace postal
