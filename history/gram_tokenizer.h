#pragma once
// The full-text tokenizer of the history's search index ("vp_grams"): every
// character position of a text starts a token of the next three characters
// (fewer at the text's end). A query of three or more characters is the
// phrase of its trigrams, so any substring is found through the index; a
// query of one or two characters is one token, looked up as a prefix of
// the indexed tokens. SQLite's own trigram tokenizer has no answer for
// queries under three characters but a scan of every row.
namespace store {

class SqliteDb;

// Registers the tokenizer on the connection; needed before the index is
// read or written. Throws SqliteError when the library lacks FTS5.
void registerGramTokenizer(SqliteDb& db);

}  // namespace store
