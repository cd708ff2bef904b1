// Which connection strings carry a password: key/value pairs, URIs and
// service names, as the settings file, the dialog and the command line
// may give them.
#include <gtest/gtest.h>

#include "history/conninfo_password.h"

namespace {

struct Case {
    const char* conninfo;
    bool password;
};

constexpr Case kCases[] = {
    // key/value
    {"host=db dbname=shop password=secret", true},
    {"password=secret", true},
    {"host=db password = secret user=a", true},
    {"host=db password='se cret'", true},
    {"host=db password='it\\'s'", true},
    {"host=db PASSWORD=secret", true},
    {"host=db PassWord = 'x'", true},
    {"  \tpassword=x  ", true},
    {"host=db password=", false},
    {"host=db password=''", false},
    {"host=db passfile=/home/a/.pgpass", false},
    {"host=db passfile='/tmp/password=x'", false},
    {"host=db application_name='password=x'", false},
    {"host=db user=password", false},
    {"dbname='host=db password=x'", true},
    {"dbname=postgresql://a:b@db/shop", true},
    {"host=db dbname=shop user=station1 sslmode=verify-full", false},
    // URIs
    {"postgresql://station:secret@db/shop", true},
    {"postgres://station:secret@db:5432/shop", true},
    {"POSTGRESQL://station:secret@db/shop", true},
    {"postgresql://station@db/shop", false},
    {"postgresql://station:@db/shop", false},
    {"postgresql://db/shop?password=secret", true},
    {"postgresql://db/shop?sslmode=require&Password=secret", true},
    {"postgresql://db/shop?pass%77ord=secret", true},
    {"postgresql://db/shop?password=", false},
    {"postgresql://db/shop?passfile=/home/a/.pgpass", false},
    {"postgresql://[::1]:5432/shop?user=a", false},
    {"postgresql://db/sh@p:x", false},
    {"postgresql:///shop?host=/var/run/postgresql", false},
    // service names and nothing
    {"pelican", false},
    {"password", false},
    {"service=pelican", false},
    {"", false},
    // text libpq would refuse is still judged as far as it reads
    {"password='unterminated", true},
    {"host=db junk password=x", true},
};

TEST(ConninfoPassword, KeyValuePairsUrisAndServiceNames) {
    for (const Case& c : kCases) {
        EXPECT_EQ(store::conninfoHasPassword(c.conninfo), c.password) << c.conninfo;
        if (c.password) {
            try {
                store::refusePasswordIn(c.conninfo);
                ADD_FAILURE() << "not refused: " << c.conninfo;
            } catch (const store::PasswordInConninfo& e) {
                EXPECT_STREQ(e.what(), "パスワードは接続文字列に書かず、~/.pgpass に書いて下さい");
            }
        } else {
            EXPECT_NO_THROW(store::refusePasswordIn(c.conninfo)) << c.conninfo;
        }
    }
}

}  // namespace
