#include "history/conninfo_password.h"

#include <cctype>
#include <string>

#include "store/percent_text.h"

namespace store {

namespace {

bool isBlank(char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; }

bool sameWord(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

bool startsWithWord(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && sameWord(text.substr(0, prefix.size()), prefix);
}

bool uriHasPassword(std::string_view uri) {
    std::string_view rest = uri.substr(uri.find("://") + 3);
    // libpq takes the text before an '@' that comes ahead of any '/' as
    // user[:password].
    const std::size_t stop = rest.find_first_of("@/");
    if (stop != std::string_view::npos && rest[stop] == '@') {
        const std::string_view user = rest.substr(0, stop);
        const std::size_t colon = user.find(':');
        if (colon != std::string_view::npos && colon + 1 < user.size()) return true;
        rest.remove_prefix(stop + 1);
    }
    const std::size_t query = rest.find('?');
    if (query == std::string_view::npos) return false;
    std::string_view params = rest.substr(query + 1);
    while (!params.empty()) {
        const std::size_t amp = params.find('&');
        const std::string_view param = params.substr(0, amp);
        const std::size_t eq = param.find('=');
        if (eq != std::string_view::npos && sameWord(percentDecoded(param.substr(0, eq)), "password") &&
            !percentDecoded(param.substr(eq + 1)).empty())
            return true;
        if (amp == std::string_view::npos) break;
        params.remove_prefix(amp + 1);
    }
    return false;
}

bool keyValueHasPassword(std::string_view s) {
    std::size_t i = 0;
    const auto skipBlanks = [&] {
        while (i < s.size() && isBlank(s[i])) ++i;
    };
    while (true) {
        skipBlanks();
        if (i >= s.size()) return false;
        const std::size_t keyStart = i;
        while (i < s.size() && !isBlank(s[i]) && s[i] != '=') ++i;
        const std::string_view key = s.substr(keyStart, i - keyStart);
        skipBlanks();
        // A word without a value makes libpq refuse the string; the rest is
        // still looked at, for what the process list would show.
        if (i >= s.size() || s[i] != '=') continue;
        ++i;
        skipBlanks();
        // The value, quoted or not, with backslash escapes, as libpq reads it.
        std::string value;
        const bool quoted = i < s.size() && s[i] == '\'';
        if (quoted) ++i;
        while (i < s.size()) {
            const char c = s[i];
            if (quoted ? c == '\'' : isBlank(c)) break;
            if (c == '\\' && i + 1 < s.size()) ++i;
            value += s[i++];
        }
        if (quoted && i < s.size()) ++i;  // the closing quote
        if (sameWord(key, "password") && !value.empty()) return true;
        // A dbname may itself be a whole connection string, expanded by
        // libpq; it is shorter than this one, so the descent ends.
        if (sameWord(key, "dbname") && conninfoHasPassword(value)) return true;
    }
}

}  // namespace

bool conninfoHasPassword(std::string_view conninfo) {
    while (!conninfo.empty() && isBlank(conninfo.front())) conninfo.remove_prefix(1);
    if (startsWithWord(conninfo, "postgresql://") || startsWithWord(conninfo, "postgres://"))
        return uriHasPassword(conninfo);
    // A bare word is the name of a service, whatever its letters.
    if (conninfo.find('=') == std::string_view::npos) return false;
    return keyValueHasPassword(conninfo);
}

void refusePasswordIn(std::string_view conninfo) {
    if (conninfoHasPassword(conninfo)) throw PasswordInConninfo();
}

}  // namespace store
