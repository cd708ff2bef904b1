// Client libraries opened on first use: the programs do not load them at
// start, a first call maps them, and one that cannot be had ends the
// program with a message instead of a crash.
#include <cups/cups.h>
#include <gtest/gtest.h>
#include <libpq-fe.h>
#include <sqlite3.h>

#include <cstdio>
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

TEST(LazyLibraryDeathTest, WhatCannotBeHadEndsTheProgramWithAMessage) {
    lazy::LazyLibrary missing("libvp_not_installed.so.7");
    EXPECT_FALSE(missing.load());
    EXPECT_NE(missing.error().find("libvp_not_installed.so.7"), std::string::npos);
    EXPECT_EXIT(missing.symbol("anything"), testing::ExitedWithCode(127), "libvp_not_installed\\.so\\.7");
    EXPECT_EXIT(lazy::sqliteLibrary().symbol("sqlite3_no_such_function"), testing::ExitedWithCode(127),
                "sqlite3_no_such_function");
}
