#include "batch/record_splitter.h"

namespace batch {

namespace {

std::string lines(int from, int to) {
    return (from == to ? std::string() : std::to_string(from) + "〜") + std::to_string(to) + "行目";
}

}  // namespace

bool RecordSplitter::opensField(std::size_t i) const {
    if (plainQuotes_.count(i) != 0) return false;
    if (delim_ != '\t') return true;
    // A tab-separated file quotes a field only as a whole: its closing
    // quote is followed by a tab or a line end.
    for (std::size_t j = i + 1; j < s_.size(); ++j) {
        if (s_[j] != '"') continue;
        if (j + 1 < s_.size() && s_[j + 1] == '"') {
            ++j;
            continue;
        }
        return j + 1 == s_.size() || s_[j + 1] == '\t' || s_[j + 1] == '\r' || s_[j + 1] == '\n';
    }
    return false;
}

RecordSplitter::Read RecordSplitter::read(std::size_t i, int line) const {
    Read out;
    Record& rec = out.record;
    rec.line = line;
    std::string field;
    bool started = false;       // the record has content (a blank line has none)
    bool atFieldStart = true;   // nothing of the current field read yet
    const std::size_t n = s_.size();

    auto endField = [&] {
        if (rec.fields.size() >= kMaxFields)
            throw InputError(rec.line, "列が多すぎます (" + std::to_string(kMaxFields) + "列まで)");
        rec.fields.push_back(std::move(field));
        field.clear();
    };
    auto finish = [&](std::size_t end, int nextLine) {
        endField();
        out.found = true;
        out.end = end;
        out.nextLine = nextLine;
        return std::move(out);
    };

    while (i < n) {
        const char c = s_[i];
        if (c == '"' && atFieldStart && opensField(i)) {
            // Quoted field: runs to the quote that is not doubled.
            Span span{i, n, line, line, 0, false};
            started = true;
            atFieldStart = false;
            ++i;
            for (;;) {
                if (i >= n) {
                    span.unterminated = true;
                    break;
                }
                const char q = s_[i];
                if (q == '"') {
                    if (i + 1 < n && s_[i + 1] == '"') {
                        field += '"';
                        i += 2;
                        continue;
                    }
                    span.close = i++;
                    break;
                }
                if (q == delim_) ++span.separators;
                if (q == '\n') ++line;
                // CR LF inside quotes is one line break of the cell.
                if (q == '\r' && i + 1 < n && s_[i + 1] == '\n') {
                    ++i;
                    continue;
                }
                if (q == '\r') ++line;  // a lone CR ends a line too
                field += q;
                ++i;
            }
            // An unterminated field ends with the text, on its last line.
            span.closeLine = span.unterminated && (s_.back() == '\n' || s_.back() == '\r') ? line - 1 : line;
            if (span.unterminated || span.closeLine != span.openLine) out.spans.push_back(span);
            continue;
        }
        if (c == delim_) {
            endField();
            started = true;
            atFieldStart = true;
            ++i;
            continue;
        }
        if (c == '\r' || c == '\n') {
            i += (c == '\r' && i + 1 < n && s_[i + 1] == '\n') ? 2u : 1u;
            ++line;
            if (started || !rec.fields.empty()) return finish(i, line);
            rec.line = line;  // a blank line: the record starts on the next
            continue;
        }
        field += c;
        started = true;
        atFieldStart = false;
        ++i;
    }
    if (started || !rec.fields.empty()) return finish(n, line + 1);
    return out;
}

bool RecordSplitter::splitsIntoRecords(const Span& span, std::size_t pos, int line, std::size_t width) {
    plainQuotes_.insert(span.open);
    int count = 0;
    bool fits = true;
    try {
        while (fits && pos <= span.close) {
            Read r = read(pos, line);
            if (!r.found) break;
            fits = r.record.fields.size() == width;
            ++count;
            pos = r.end;
            line = r.nextLine;
        }
    } catch (const InputError&) {
        fits = false;  // too many fields that way
    }
    plainQuotes_.erase(span.open);
    return fits && count >= 2;
}

std::vector<Record> RecordSplitter::all() {
    std::vector<Record> records;
    std::vector<std::string> pending;  // notes of quotes now read as text, for the record at pos
    std::size_t pos = 0;
    int line = 1;
    for (;;) {
        Read r = read(pos, line);
        if (!r.found) break;
        for (const Span& q : r.spans)
            if (q.unterminated)
                throw InputError(q.openLine, "引用符 (\") が閉じていません: " + lines(q.openLine, q.closeLine) +
                                                 "がひとつの欄になります");
        if (!records.empty()) {
            const std::size_t width = records.front().fields.size();
            bool again = false;
            for (const Span& q : r.spans) {
                if (!splitsIntoRecords(q, pos, line, width)) continue;
                plainQuotes_.insert(q.open);
                pending.push_back(std::to_string(q.openLine) + "行目の引用符 (\") が" + std::to_string(q.closeLine) +
                                  "行目まで閉じていません: " + lines(q.openLine, q.closeLine) +
                                  "をそれぞれの行として読みました");
                again = true;
                break;
            }
            if (again) continue;  // read the record again, the quote as text
            for (const Span& q : r.spans)
                if (r.record.fields.size() != width || q.separators + 1 >= width)
                    r.record.notes.push_back(lines(q.openLine, q.closeLine) +
                                             "が引用符 (\") の中の改行でひとつの行として読まれています");
        }
        r.record.notes.insert(r.record.notes.begin(), pending.begin(), pending.end());
        pending.clear();
        // kMaxRecords rows after the header line.
        if (records.size() > kMaxRecords)
            throw InputError(r.record.line, "行が多すぎます (" + std::to_string(kMaxRecords) + "行まで)");
        records.push_back(std::move(r.record));
        pos = r.end;
        line = r.nextLine;
    }
    return records;
}

}  // namespace batch
