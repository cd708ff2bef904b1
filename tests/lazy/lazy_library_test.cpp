// Client libraries opened on first use: the programs do not load them at
// start, a first call maps them, and one that cannot be had is an error
// with a message naming its package instead of a crash.
#include <cups/cups.h>
#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <sqlite3.h>

#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <string>

#include "lazy/lazy_library.h"

namespace {

bool mappedHere(const std::string& soname) {
    std::ifstream maps("/proc/self/maps");
    std::string line;
    while (std::getline(maps, line))
        if (line.find('/' + soname) != std::string::npos) return true;
    return false;
}

// What the dynamic loader maps when `program` starts, as ldd lists it.
std::string loadedAtStart(const char* program) {
    std::string out;
    FILE* ldd = ::popen((std::string("ldd '") + program + "'").c_str(), "r");
    if (!ldd) return out;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, ldd)) out += buffer;
    ::pclose(ldd);
    return out;
}

const char* const kLazyAtStart[] = {"libcups.so", "libpq.so", "libsqlite3.so", "libQt6Network.so"};

}  // namespace

TEST(LazyLibrary, ProgramsStartWithoutTheClientLibraries) {
    for (const char* program : {VP_APP_BINARY, VP_CLI_BINARY}) {
        const std::string libs = loadedAtStart(program);
        ASSERT_NE(libs.find("libQt6Core.so"), std::string::npos) << program << ":\n" << libs;
        for (const char* lazy : kLazyAtStart) EXPECT_EQ(libs.find(lazy), std::string::npos) << program << " " << lazy;
    }
}

TEST(LazyLibrary, FirstCallMapsTheLibraryAndForwards) {
    struct Case {
        const char* soname;
        std::function<void()> firstCall;
    };
    const Case cases[] = {
        {"libsqlite3.so.0",
         [] {
             sqlite3* db = nullptr;
             EXPECT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
             EXPECT_EQ(sqlite3_exec(db, "CREATE TABLE t(x)", nullptr, nullptr, nullptr), SQLITE_OK);
             sqlite3_close(db);
         }},
        {"libpq.so.5",
         [] {
             char* error = nullptr;
             PQconninfoOption* options = PQconninfoParse("dbname=shop host=/tmp", &error);
             ASSERT_NE(options, nullptr);
             PQconninfoFree(options);
             EXPECT_EQ(PQconninfoParse("dbname='unterminated", &error), nullptr);
             ASSERT_NE(error, nullptr);
             PQfreemem(error);
         }},
        {"libcups.so.2", [] { EXPECT_GT(ippPort(), 0); }},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(mappedHere(c.soname)) << c.soname << " was mapped before its first use";
        c.firstCall();
        EXPECT_TRUE(mappedHere(c.soname)) << c.soname;
    }
}

// A library or function that cannot be had is an error for the caller to
// show, naming the package to install; the program goes on. Each case runs
// in a fresh process, where the library was not opened yet.
TEST(LazyLibraryDeathTest, WhatCannotBeHadIsAnErrorNamingThePackage) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    struct Case {
        const char* variable;
        const char* package;
        std::function<void()> firstCall;
    };
    const Case cases[] = {
        {"VP_LAZY_LIBSQLITE3", "libsqlite3-0",
         [] {
             sqlite3* db = nullptr;
             sqlite3_open(":memory:", &db);
         }},
        {"VP_LAZY_LIBPQ", "libpq5", [] { PQconninfoParse("dbname=shop", nullptr); }},
        {"VP_LAZY_LIBCUPS", "libcups2", [] { cupsLastError(); }},
    };
    for (const Case& c : cases) {
        const auto caught = [&c] {
            ::setenv(c.variable, "libvp_not_installed.so.7", 1);
            for (int attempt = 0; attempt < 2; ++attempt) {
                try {
                    c.firstCall();
                    std::_Exit(1);
                } catch (const lazy::MissingLibrary& e) {
                    std::fprintf(stderr, "%s\n", e.what());
                }
            }
            std::_Exit(3);
        };
        EXPECT_EXIT(caught(), testing::ExitedWithCode(3),
                    std::string("ライブラリ libvp_not_installed.so.7 を開けません。パッケージ ") + c.package +
                        " をインストールして下さい")
            << c.variable;
    }
}

// A library that appears after a failed opening is taken then; a function
// the library lacks is an error too.
TEST(LazyLibrary, AFailedOpeningIsTriedAgainAndAMissingFunctionIsAnError) {
    lazy::LazyLibrary library("libsqlite3.so.0", "libsqlite3-0", "VP_TEST_LAZY_FILE");
    ::setenv("VP_TEST_LAZY_FILE", "libvp_not_installed.so.7", 1);
    EXPECT_THROW(library.symbol("sqlite3_open"), lazy::MissingLibrary);
    EXPECT_NE(library.error().find("libvp_not_installed.so.7"), std::string::npos);
    ::unsetenv("VP_TEST_LAZY_FILE");
    EXPECT_NE(library.symbol("sqlite3_open"), nullptr);
    try {
        library.symbol("sqlite3_no_such_function");
        ADD_FAILURE() << "no error for a missing function";
    } catch (const lazy::MissingLibrary& e) {
        EXPECT_NE(std::string(e.what()).find("sqlite3_no_such_function がありません。パッケージ libsqlite3-0"),
                  std::string::npos)
            << e.what();
    }
}

// The command-line tool says so and ends with a failure.
TEST(LazyLibrary, TheToolReportsAMissingLibrary) {
    const std::string run = std::string("VP_LAZY_LIBPQ=libvp_not_installed.so.7 '") + VP_CLI_BINARY +
                            "' history list --server 'host=/nowhere dbname=x' 2>&1";
    FILE* out = ::popen(run.c_str(), "r");
    ASSERT_NE(out, nullptr);
    std::string text;
    char buffer[512];
    while (std::fgets(buffer, sizeof buffer, out)) text += buffer;
    const int status = ::pclose(out);
    ASSERT_TRUE(WIFEXITED(status)) << text;
    EXPECT_EQ(WEXITSTATUS(status), 1) << text;
    EXPECT_NE(text.find("パッケージ libpq5 をインストールして下さい"), std::string::npos) << text;
}
