#pragma once
// Passwords never travel in a connection string of this program: one given
// on the command line can be read by every user in the process list, and
// one in the settings file by whoever copies the folder. They belong in
// ~/.pgpass (or the file PGPASSFILE names), which libpq reads by itself.
// Libpq-free, so the check holds even where the client library is missing.
#include <stdexcept>
#include <string_view>

namespace store {

// What the user is told when a connection string carries a password.
inline constexpr char kPasswordInConninfo[] = "パスワードは接続文字列に書かず、~/.pgpass に書いて下さい";

// A connection string with a password refused.
class PasswordInConninfo : public std::runtime_error {
public:
    PasswordInConninfo() : std::runtime_error(kPasswordInConninfo) {}
};

// The connection string as typed (key/value pairs, a postgresql:// or
// postgres:// URI, or a bare service name) carries a non-empty password:
// a `password` keyword in any case, a URI's user:password@ or its
// ?password= parameter, also inside a dbname that is itself a connection
// string. Text libpq would not read at all is judged as far as it goes.
bool conninfoHasPassword(std::string_view conninfo);

// Throws PasswordInConninfo when conninfoHasPassword().
void refusePasswordIn(std::string_view conninfo);

}  // namespace store
