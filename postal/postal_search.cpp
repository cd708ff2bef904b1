#include "postal/postal_search.h"

#include <algorithm>
#include <string>

#include "postal/address_key.h"
#include "postal/table_format.h"

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
    for (const Candidate& c : r.expected) {
        const std::string pref = addressKey(c.pref);
        std::string_view rest = key;
        if (startsWith(rest, pref)) rest.remove_prefix(pref.size());
        const std::string city = addressKey(c.city);
        bool ok = !city.empty() && startsWith(rest, city);
        if (!ok) {
            const std::string shortKey = addressKey(afterGun(c.city));
            ok = !shortKey.empty() && startsWith(rest, shortKey);
        }
        if (ok) {
            r.matches = true;
            break;
        }
    }
    return r;
}

}  // namespace postal
