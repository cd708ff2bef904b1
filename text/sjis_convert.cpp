#include "text/sjis_convert.h"

#include <cerrno>
#include <iconv.h>
#include <stdexcept>

#include "text/sjis.h"

namespace sjis {
namespace {

// One converter per direction and thread: iconv_open is far too slow to run
// per call, and a converter keeps state, so threads must not share one.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {
        // (iconv_t)-1 is how iconv_open reports failure.
        if (cd_ == reinterpret_cast<iconv_t>(-1))  // NOLINT(performance-no-int-to-ptr)
            throw std::runtime_error("iconv cannot convert between CP932 and UTF-8");
    }
    ~Converter() { iconv_close(cd_); }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts as much as possible; returns false and leaves in/left at the
    // offending input when a sequence cannot be converted.
    bool run(const char*& in, std::size_t& left, std::string& out) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char buf[512];
        while (left > 0) {
            char* op = buf;
            std::size_t room = sizeof buf;
            std::size_t r = iconv(cd_, const_cast<char**>(&in), &left, &op, &room);
            out.append(buf, static_cast<std::size_t>(op - buf));
            if (r == static_cast<std::size_t>(-1)) {
                if (errno == E2BIG) continue;
                return false;  // EILSEQ or EINVAL (truncated sequence)
            }
        }
        return true;
    }

private:
    iconv_t cd_;
};

Converter& encoder() {
    thread_local Converter c("CP932", "UTF-8");
    return c;
}
Converter& decoder() {
    thread_local Converter c("UTF-8", "CP932");
    return c;
}

constexpr std::string_view kGetaSjis = "\x81\xAC";  // U+3013 〓

// Characters mapped by hand before iconv sees them: iconv turns the yen
// sign into the backslash byte (which reads back as "\\"), and the no-break
// space that text copied from web pages carries has no CP932 form but means
// an ordinary blank.
struct HandMapped {
    std::string_view utf8, sjis;
};
constexpr HandMapped kHandMapped[] = {
    {"\xC2\xA5", "\x81\x8F"},  // U+00A5 -> U+FFE5 full-width yen
    {"\xC2\xA0", " "},         // U+00A0 -> space
};

// Position of the next hand-mapped character at or after from (npos if none).
std::size_t findHandMapped(std::string_view s, std::size_t from, const HandMapped*& which) {
    for (std::size_t i = s.find('\xC2', from); i != std::string_view::npos; i = s.find('\xC2', i + 1)) {
        for (const HandMapped& h : kHandMapped) {
            if (s.compare(i, h.utf8.size(), h.utf8) == 0) {
                which = &h;
                return i;
            }
        }
    }
    return std::string_view::npos;
}

// Encodes, calling onBad for each character that has no CP932 form.
// Returns false when onBad asked to stop.
template <class OnBad>
bool encode(std::string_view utf8, std::string& out, OnBad onBad) {
    std::size_t start = 0;
    while (start <= utf8.size()) {
        const HandMapped* mapped = nullptr;
        const std::size_t at = findHandMapped(utf8, start, mapped);
        std::string_view part = utf8.substr(start, at == std::string_view::npos ? std::string_view::npos : at - start);
        const char* in = part.data();
        std::size_t left = part.size();
        while (!encoder().run(in, left, out)) {
            if (!onBad(out)) return false;
            std::size_t skip = utf8SeqLen(static_cast<unsigned char>(*in));
            if (skip > left) skip = left;
            in += skip;
            left -= skip;
        }
        if (at == std::string_view::npos) break;
        out.append(mapped->sjis);
        start = at + mapped->utf8.size();
    }
    return true;
}

}  // namespace

std::optional<std::string> fromUtf8(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    if (!encode(utf8, out, [](std::string&) { return false; })) return std::nullopt;
    return out;
}

std::string fromUtf8Lossy(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    encode(utf8, out, [](std::string& o) { o.append(kGetaSjis); return true; });
    return out;
}

bool canEncode(std::string_view utf8) { return fromUtf8(utf8).has_value(); }

std::string toUtf8(std::string_view s) {
    std::string out;
    out.reserve(s.size() * 3 / 2);
    const char* in = s.data();
    std::size_t left = s.size();
    while (!decoder().run(in, left, out)) {
        out.append("\xEF\xBF\xBD");  // U+FFFD
        const std::size_t skip = charBytes(std::string_view(in, left), 0);  // the whole bad character
        in += skip;
        left -= skip;
    }
    return out;
}

std::size_t utf8SeqLen(unsigned char c) {
    if (c < 0x80) return 1;
    if ((c & 0xE0) == 0xC0) return 2;
    if ((c & 0xF0) == 0xE0) return 3;
    if ((c & 0xF8) == 0xF0) return 4;
    return 1;
}

}  // namespace sjis
