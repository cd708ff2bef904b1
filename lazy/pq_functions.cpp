// The libpq functions the program calls, opened on first use: a station
// without a shared database never loads libpq (nor its TLS and LDAP).
#include <libpq-fe.h>

#include "lazy/lazy_library.h"

namespace lazy {
LazyLibrary& pqLibrary() {
    static LazyLibrary library("libpq.so.5", "libpq5", "VP_LAZY_LIBPQ");
    return library;
}
}  // namespace lazy

#define PQ_FORWARD(ret, name, params, args) LAZY_FORWARD(lazy::pqLibrary(), ret, name, params, args)

PQ_FORWARD(PGconn*, PQconnectStartParams, (const char* const* keys, const char* const* values, int expand),
           (keys, values, expand))
PQ_FORWARD(PostgresPollingStatusType, PQconnectPoll, (PGconn * c), (c))
PQ_FORWARD(int, PQconnectionNeedsPassword, (const PGconn* c), (c))
PQ_FORWARD(PQconninfoOption*, PQconninfoParse, (const char* conninfo, char** err), (conninfo, err))
PQ_FORWARD(void, PQconninfoFree, (PQconninfoOption * options), (options))
PQ_FORWARD(void, PQfinish, (PGconn * c), (c))
PQ_FORWARD(ConnStatusType, PQstatus, (const PGconn* c), (c))
PQ_FORWARD(char*, PQdb, (const PGconn* c), (c))
PQ_FORWARD(char*, PQerrorMessage, (const PGconn* c), (c))
PQ_FORWARD(int, PQserverVersion, (const PGconn* c), (c))
PQ_FORWARD(const char*, PQparameterStatus, (const PGconn* c, const char* name), (c, name))
PQ_FORWARD(int, PQsocket, (const PGconn* c), (c))
PQ_FORWARD(int, PQsetnonblocking, (PGconn * c, int arg), (c, arg))
PQ_FORWARD(PQnoticeProcessor, PQsetNoticeProcessor, (PGconn * c, PQnoticeProcessor p, void* arg), (c, p, arg))
PQ_FORWARD(int, PQsendQueryParams,
           (PGconn * c, const char* command, int n, const Oid* types, const char* const* values, const int* lengths,
            const int* formats, int resultFormat),
           (c, command, n, types, values, lengths, formats, resultFormat))
PQ_FORWARD(int, PQflush, (PGconn * c), (c))
PQ_FORWARD(int, PQconsumeInput, (PGconn * c), (c))
PQ_FORWARD(int, PQisBusy, (PGconn * c), (c))
PQ_FORWARD(PGresult*, PQgetResult, (PGconn * c), (c))
PQ_FORWARD(PGnotify*, PQnotifies, (PGconn * c), (c))
PQ_FORWARD(void, PQfreemem, (void* p), (p))
PQ_FORWARD(void, PQclear, (PGresult * r), (r))
PQ_FORWARD(ExecStatusType, PQresultStatus, (const PGresult* r), (r))
PQ_FORWARD(char*, PQresultErrorMessage, (const PGresult* r), (r))
PQ_FORWARD(char*, PQresultErrorField, (const PGresult* r, int code), (r, code))
PQ_FORWARD(char*, PQcmdTuples, (PGresult * r), (r))
PQ_FORWARD(int, PQntuples, (const PGresult* r), (r))
PQ_FORWARD(char*, PQgetvalue, (const PGresult* r, int row, int col), (r, row, col))
PQ_FORWARD(int, PQgetlength, (const PGresult* r, int row, int col), (r, row, col))
PQ_FORWARD(PGcancel*, PQgetCancel, (PGconn * c), (c))
PQ_FORWARD(void, PQfreeCancel, (PGcancel * c), (c))
PQ_FORWARD(int, PQcancel, (PGcancel * c, char* err, int size), (c, err, size))
