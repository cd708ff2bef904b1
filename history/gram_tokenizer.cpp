#include "history/gram_tokenizer.h"

#include <sqlite3.h>

#include <vector>

#include "history/sqlite_db.h"

namespace store {

namespace {

constexpr int kGram = 3;

// The tokenizer keeps no state: one static object serves every table.
struct Stateless {
} theTokenizer;

int create(void*, const char**, int, Fts5Tokenizer** out) {
    *out = reinterpret_cast<Fts5Tokenizer*>(&theTokenizer);
    return SQLITE_OK;
}

void destroy(Fts5Tokenizer*) {}

int tokenize(Fts5Tokenizer*, void* context, int flags, const char* text, int size,
             int (*token)(void*, int, const char*, int, int, int)) {
    if (size <= 0) return SQLITE_OK;
    // Byte offsets of the character starts, and the end.
    std::vector<int> starts;
    for (int i = 0; i < size; ++i)
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) starts.push_back(i);
    if (starts.empty() || starts.front() != 0) starts.insert(starts.begin(), 0);
    starts.push_back(size);
    const int chars = static_cast<int>(starts.size()) - 1;
    const bool query = (flags & FTS5_TOKENIZE_QUERY) != 0;
    if (query && chars < kGram) return token(context, 0, text, size, 0, size);
    for (int k = 0; k < chars; ++k) {
        const int end = k + kGram < chars ? k + kGram : chars;
        // A query's phrase is its full trigrams; a document also indexes
        // the shorter tails, so a one- or two-character prefix finds a
        // text's last characters too.
        if (query && end - k < kGram) break;
        const auto from = static_cast<std::size_t>(k);
        const auto to = static_cast<std::size_t>(end);
        const int rc = token(context, 0, text + starts[from], starts[to] - starts[from], starts[from], starts[to]);
        if (rc != SQLITE_OK) return rc;
    }
    return SQLITE_OK;
}

fts5_tokenizer kTokenizer = {create, destroy, tokenize};

}  // namespace

void registerGramTokenizer(SqliteDb& db) {
    fts5_api* api = nullptr;
    {
        SqliteStatement st(db, "SELECT fts5(?1)");
        db.check(sqlite3_bind_pointer(st.handle(), 1, static_cast<void*>(&api), "fts5_api_ptr", nullptr));
        st.step();
    }
    if (!api || api->iVersion < 2) throw SqliteError(SQLITE_ERROR, "SQLite lacks full-text search (FTS5)");
    db.check(api->xCreateTokenizer(api, "vp_grams", nullptr, &kTokenizer, nullptr));
}

}  // namespace store
