#include "history/pg_db.h"

#include <libpq-fe.h>
#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <thread>

namespace store {

namespace {

using Clock = std::chrono::steady_clock;

std::string trimmed(std::string s) {
    while (!s.empty() && (s.back() == '\n' || s.back() == ' ' || s.back() == '\r')) s.pop_back();
    return s;
}

bool has(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

// What a failed connection attempt means for the user. libpq gives no
// error code for it, only its message (English, or translated to the
// client's or the server's language), so the common words of both are
// looked for; the message itself always goes along.
PgError connectionError(pg_conn* conn, const std::string& detail) {
    using K = PgError::Kind;
    const auto make = [&](K kind, const char* what) {
        return PgError(kind, std::string(what) + "（" + detail + "）");
    };
    if (has(detail, "definition of service") || has(detail, "invalid connection option") ||
        has(detail, "missing \"=\"") || has(detail, "invalid URI") || has(detail, "unterminated quoted string") ||
        has(detail, "invalid sslmode") || has(detail, "サービス定義"))
        return make(K::Syntax, "接続文字列が正しくありません");
    if ((conn && PQconnectionNeedsPassword(conn)) || has(detail, "password") || has(detail, "パスワード"))
        return make(K::Password, "パスワードが違うか、ありません（~/.pgpass を確かめて下さい）");
    if (has(detail, "pg_hba.conf"))
        return make(K::Password, "このコンピュータからの接続がサーバーで許可されていません（pg_hba.conf）");
    if ((has(detail, "role") && has(detail, "does not exist")) || (has(detail, "ロール") && has(detail, "存在しません")))
        return make(K::Password, "ユーザー名がサーバーにありません");
    if ((has(detail, "database") && has(detail, "does not exist")) ||
        (has(detail, "データベース") && has(detail, "存在しません")))
        return make(K::NoDatabase, "そのデータベースはサーバーにありません");
    return make(K::NoServer, "共有データベースのサーバーに接続できません");
}

}  // namespace

std::string normalisedConninfo(std::string_view typed) {
    std::string s(typed);
    const auto notBlank = [](unsigned char c) { return c > ' '; };
    s.erase(s.begin(), std::find_if(s.begin(), s.end(), notBlank));
    s.erase(std::find_if(s.rbegin(), s.rend(), notBlank).base(), s.end());
    const bool uri = s.rfind("postgresql://", 0) == 0 || s.rfind("postgres://", 0) == 0;
    if (s.empty() || uri || s.find('=') != std::string::npos) return s;
    // A service name: quoted, so that no character of it reads as syntax.
    std::string quoted = "service='";
    for (const char c : s) {
        if (c == '\'' || c == '\\') quoted += '\\';
        quoted += c;
    }
    return quoted + "'";
}

PgResult::~PgResult() { PQclear(result_); }

int PgResult::rows() const { return PQntuples(result_); }

std::string PgResult::text(int row, int column) const {
    const char* v = PQgetvalue(result_, row, column);
    return {v, static_cast<std::size_t>(PQgetlength(result_, row, column))};
}

std::int64_t PgResult::integer(int row, int column) const {
    return std::strtoll(PQgetvalue(result_, row, column), nullptr, 10);
}

bool PgResult::boolean(int row, int column) const { return PQgetvalue(result_, row, column)[0] == 't'; }

std::int64_t PgResult::changed() const { return std::strtoll(PQcmdTuples(result_), nullptr, 10); }

PgDb::PgDb(const std::string& conninfo, Millis timeout) : timeout_(timeout) {
    char* parseError = nullptr;
    PQconninfoOption* options = PQconninfoParse(conninfo.c_str(), &parseError);
    if (!options) {
        const std::string detail = parseError ? trimmed(parseError) : std::string("out of memory");
        PQfreemem(parseError);
        throw PgError(PgError::Kind::Syntax, "接続文字列が正しくありません（" + detail + "）");
    }
    PQconninfoFree(options);

    const auto deadline = Clock::now() + timeout;
    const std::string seconds = std::to_string(std::max<long long>(2, (timeout.count() + 999) / 1000));
    // Later keywords win over the same ones in the user's string: the
    // program's own time-out and the session's encoding always hold.
    const char* const keys[] = {"dbname", "connect_timeout", "client_encoding", "application_name", nullptr};
    const char* const values[] = {conninfo.c_str(), seconds.c_str(), "UTF8", "vamu_Pelican", nullptr};
    conn_ = PQconnectStartParams(keys, values, 1);
    if (!conn_) throw PgError(PgError::Kind::NoServer, "共有データベースに接続できません（out of memory）");
    PostgresPollingStatusType state = PGRES_POLLING_WRITING;
    while (PQstatus(conn_) != CONNECTION_BAD && state != PGRES_POLLING_OK && state != PGRES_POLLING_FAILED) {
        waitFor(state == PGRES_POLLING_WRITING, deadline);
        state = PQconnectPoll(conn_);
    }
    if (PQstatus(conn_) != CONNECTION_OK) {
        const PgError e = connectionError(conn_, trimmed(PQerrorMessage(conn_)));
        PQfinish(conn_);
        conn_ = nullptr;
        throw e;
    }
    PQsetnonblocking(conn_, 1);
    // The server's notices (a shutdown announced to each session) are no
    // news for the user; failures come as errors.
    PQsetNoticeProcessor(conn_, [](void*, const char*) {}, nullptr);
}

PgDb::~PgDb() { PQfinish(conn_); }

void PgDb::lost(const std::string& why) {
    PQfinish(conn_);
    conn_ = nullptr;
    throw PgError(PgError::Kind::NoServer, "共有データベースのサーバーに接続できません（" + why + "）");
}

void PgDb::waitFor(bool writing, Clock::time_point deadline) {
    if (!waitUntil(writing, deadline)) lost("応答がありません");
}

bool PgDb::waitUntil(bool writing, Clock::time_point deadline) {
    for (;;) {
        const auto left = std::chrono::duration_cast<Millis>(deadline - Clock::now()).count();
        if (left <= 0) return false;
        pollfd p{PQsocket(conn_), static_cast<short>(writing ? POLLOUT : POLLIN), 0};
        if (p.fd < 0) lost(trimmed(PQerrorMessage(conn_)));
        const int n = ::poll(&p, 1, static_cast<int>(std::min<long long>(left, 60'000)));
        if (n > 0) return true;
        if (n < 0 && errno != EINTR) lost(std::strerror(errno));
    }
}

void PgDb::cancel() {
    // PQcancel() connects to the server and waits for it to close that
    // connection, which a hanging server never does: it runs on a thread
    // of its own, which ends whenever the server lets it go.
    std::shared_ptr<PGcancel> request(PQgetCancel(conn_), PQfreeCancel);
    if (!request) return;
    std::thread([request] {
        char error[256];
        PQcancel(request.get(), error, sizeof error);
    }).detach();
}

PgResult PgDb::exec(std::string_view sql, const std::vector<std::string>& params) {
    if (!conn_) throw PgError(PgError::Kind::NoServer, "共有データベースのサーバーに接続できません（接続が切れています）");
    const auto started = Clock::now();
    const auto deadline = started + timeout_;
    std::vector<const char*> values;
    std::vector<int> lengths;
    for (const std::string& p : params) {
        values.push_back(p.c_str());
        lengths.push_back(static_cast<int>(p.size()));
    }
    const std::string statement(sql);
    if (!PQsendQueryParams(conn_, statement.c_str(), static_cast<int>(params.size()), nullptr, values.data(),
                           lengths.data(), nullptr, 0))
        lost(trimmed(PQerrorMessage(conn_)));
    for (;;) {
        const int f = PQflush(conn_);
        if (f == 0) break;
        if (f < 0) lost(trimmed(PQerrorMessage(conn_)));
        waitFor(true, deadline);
    }
    // Every result of the statement is read, so the connection is ready for
    // the next; the last one is the answer.
    std::unique_ptr<pg_result, void (*)(pg_result*)> last(nullptr, PQclear);
    bool cancelled = false;
    for (;;) {
        if (!PQconsumeInput(conn_)) lost(trimmed(PQerrorMessage(conn_)));
        bool done = false;
        while (!PQisBusy(conn_)) {
            pg_result* r = PQgetResult(conn_);
            if (!r) {
                done = true;
                break;
            }
            // An error stays the answer even when more results follow.
            if (!last || PQresultStatus(last.get()) != PGRES_FATAL_ERROR) last.reset(r);
            else PQclear(r);
        }
        if (done) break;
        if (cancelled) {
            waitFor(false, deadline);
        } else if (!waitUntil(false, started + timeout_ * 3 / 4)) {
            cancel();
            cancelled = true;
        }
    }
    if (!last) lost("応答がありません");
    const ExecStatusType status = PQresultStatus(last.get());
    if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) return PgResult(last.release());

    const char* code = PQresultErrorField(last.get(), PG_DIAG_SQLSTATE);
    const std::string state = code ? code : "";
    const char* primary = PQresultErrorField(last.get(), PG_DIAG_MESSAGE_PRIMARY);
    const std::string detail = primary ? primary : trimmed(PQresultErrorMessage(last.get()));
    // Cancelled here (or by the server's own statement_timeout): the server
    // answered, it is only busy.
    if (state == "57014") throw PgError(PgError::Kind::Slow, "共有データベースの応答が遅いため取りやめました（" + detail + "）", state);
    // A server shutting down or a broken line: the connection is gone.
    if (PQstatus(conn_) == CONNECTION_BAD || state.rfind("08", 0) == 0 || state.rfind("57P0", 0) == 0)
        lost(detail);
    using K = PgError::Kind;
    if (state == "22P05" || state == "22021")
        throw PgError(K::Encoding, "共有データベースに保存できない文字があります（" + detail + "）", state);
    if (state == "42501")
        throw PgError(K::NoRights, "共有データベースを使う権限がありません（" + detail + "）", state);
    throw PgError(K::Statement, "共有データベースでエラーになりました（" + detail + "）", state);
}

int PgDb::serverVersion() const { return conn_ ? PQserverVersion(conn_) : 0; }

std::string PgDb::parameter(const char* name) const {
    const char* v = conn_ ? PQparameterStatus(conn_, name) : nullptr;
    return v ? v : "";
}

std::string PgDb::database() const { return conn_ ? PQdb(conn_) : ""; }

int PgDb::socket() const { return conn_ ? PQsocket(conn_) : -1; }

std::vector<std::string> PgDb::notifications() {
    if (!conn_) throw PgError(PgError::Kind::NoServer, "共有データベースのサーバーに接続できません（接続が切れています）");
    if (!PQconsumeInput(conn_) || PQstatus(conn_) == CONNECTION_BAD) lost(trimmed(PQerrorMessage(conn_)));
    std::vector<std::string> channels;
    while (PGnotify* n = PQnotifies(conn_)) {
        channels.emplace_back(n->relname);
        PQfreemem(n);
    }
    return channels;
}

PgTransaction::PgTransaction(PgDb& db) : db_(db) { db_.exec("BEGIN"); }

PgTransaction::~PgTransaction() {
    if (!open_ || db_.broken()) return;
    try {
        db_.exec("ROLLBACK");
    } catch (const PgError&) {
        // The connection is gone: the server drops the transaction itself.
    }
}

void PgTransaction::commit() {
    open_ = false;
    try {
        db_.exec("COMMIT");
    } catch (const PgError& e) {
        // The COMMIT went out but its answer did not come back: the server
        // may have made the change or not. Whoever retries relies on the
        // record ids, so a change that did go is not made twice.
        if (e.unreachable() || e.kind() == PgError::Kind::Slow)
            throw PgError(PgError::Kind::NoServer, std::string("記録できたか確認できません（") + e.what() + "）");
        throw;
    }
}

std::string pgArray(const std::vector<std::string>& items) {
    std::string out = "{";
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i) out += ',';
        out += '"';
        for (const char c : items[i]) {
            if (c == '"' || c == '\\') out += '\\';
            out += c;
        }
        out += '"';
    }
    return out + "}";
}

}  // namespace store
