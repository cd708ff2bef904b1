#pragma once
// A shared library opened on its first use instead of at program start.
//
// Linked the ordinary way, libcups, libpq and SQLite are opened by the
// dynamic loader before main() on every start, together with what they
// pull in (TLS, Kerberos, LDAP, Avahi), and every symbol lookup of the
// start then searches them too. The window needs none of them before it
// is on screen: libcups comes in while it is built, on a thread of its
// own (the printers are asked for there); SQLite with the first use of
// the history; libpq only for a shared database. The *_functions.cpp
// files define the library's functions the program calls, each forwarding
// to the real one, resolved on its first call; so callers use the
// library's own header and API unchanged.
#include <mutex>
#include <stdexcept>
#include <string>

namespace lazy {

// A library, or a function in it, that cannot be had. The message is for
// the user (Japanese) and names the Debian package to install.
class MissingLibrary : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

class LazyLibrary {
public:
    // `soname`: the name the library is installed under ("libcups.so.2");
    // `package`: the Debian package that installs it ("libcups2");
    // `overrideVariable`: an environment variable that, when set, names
    // the file to open instead (tests point it at a missing library).
    LazyLibrary(const char* soname, const char* package, const char* overrideVariable)
        : soname_(soname), package_(package), overrideVariable_(overrideVariable) {}
    LazyLibrary(const LazyLibrary&) = delete;
    LazyLibrary& operator=(const LazyLibrary&) = delete;

    // Opens the library; true when it is open. Any thread may call it, and
    // a second caller waits for the first one's opening. A library that
    // could not be opened is tried again on the next call, so one
    // installed while the program runs is taken then.
    bool load();
    // Why the library could not be opened ("" when it is open).
    std::string error() const;

    // The address of function `name`, opening the library first. A library
    // or function that cannot be had throws MissingLibrary: the package
    // depends on these libraries, so only a broken installation gets here,
    // and the program goes on without what needs it.
    void* symbol(const char* name);

private:
    const char* soname_;
    const char* package_;
    const char* overrideVariable_;
    mutable std::mutex mutex_;
    void* handle_ = nullptr;
    std::string file_;  // the file last tried
    std::string error_;
};

// The libraries the program opens this way.
LazyLibrary& cupsLibrary();
LazyLibrary& sqliteLibrary();
LazyLibrary& pqLibrary();

}  // namespace lazy

// Defines C function `name` of `library` with its header's return type and
// parameters; the first call resolves the real function, every call
// forwards to it. A parameter list that differs from the header's is a
// compile error (conflicting declarations of a C function).
#define LAZY_FORWARD(library, ret, name, params, args)                                           \
    extern "C" ret name params {                                                                 \
        static const auto real = reinterpret_cast<decltype(&(name))>((library).symbol(#name)); \
        return real args;                                                                        \
    }
