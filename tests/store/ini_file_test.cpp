// The INI store on real files: standalone calls, round trips, hostile files
// and failed writes that must leave the old file whole.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>

#include "store/atomic_file.h"
#include "store/ini_file.h"
#include "tests/support/scratch_folder.h"

using namespace std::string_literals;

namespace {

const char kSection[] = "vm_Pelicanprn";

TEST(IniFile, MissingFileGivesDefaultsAndIsNotCreatedByReads) {
    ScratchFolder dir;
    IniFile ini(dir.file("vamu_Pelican.ini"));
    EXPECT_EQ(ini.readString(kSection, "E_ZIP", "dflt"), "dflt");
    EXPECT_EQ(ini.readInteger(kSection, "Addr_Font", 1), 1);
    EXPECT_FALSE(std::filesystem::exists(ini.path()));
}

TEST(IniFile, EachWriteIsOnDiskWhenTheCallReturns) {
    ScratchFolder dir;
    IniFile ini(dir.file("vamu_Pelican.ini"));
    ini.writeInteger(kSection, "Addr_Font", 1);
    EXPECT_EQ(slurp(ini.path()), "[vm_Pelicanprn]\r\nAddr_Font=1\r\n");
    ini.writeString(kSection, "E_ZIP", "\x81\xa7" "100-0001");
    ini.writeInteger(kSection, "Tab_My", -3);
    EXPECT_EQ(slurp(ini.path()), "[vm_Pelicanprn]\r\nAddr_Font=1\r\nE_ZIP=\x81\xa7" "100-0001\r\nTab_My=-3\r\n");
    // A second store on the same path sees the same values.
    IniFile again(ini.path());
    EXPECT_EQ(again.readString(kSection, "e_zip", ""), "\x81\xa7" "100-0001");
    EXPECT_EQ(again.readInteger(kSection, "TAB_MY", 0), -3);
}

TEST(IniFile, HandEditedFileIsReadAndKeepsEverythingUnknown) {
    ScratchFolder dir;
    IniFile ini(dir.file("vamu_Pelican.ini"));
    const std::string hand =
        "; written by hand\n"
        "[Extra]\nE_CUS=not this one\n"
        "[ VM_PELICANPRN ]\n"
        "tab_my = 0x3\n"
        "  E_CUS =   \"  Yamada Taro  \"  \n"
        "op023myzip=100-0001\n"
        "KOSUU=5\n"
        "comment without equals\n";
    spit(ini.path(), hand);
    EXPECT_EQ(ini.readInteger(kSection, "Tab_My", 0), 3);
    EXPECT_EQ(ini.readString(kSection, "E_CUS", ""), "  Yamada Taro  ");
    EXPECT_EQ(ini.readString(kSection, "OP023MyZIP ", ""), "100-0001");
    EXPECT_EQ(ini.readString(kSection, "KOSUU", "1"), "5");
    EXPECT_EQ(ini.readString(kSection, "KOSUU3", "1"), "1");

    ini.writeString(kSection, "OP023MyZip", "105-0004");
    ini.writeString(kSection, "KOSUU3", "2");
    EXPECT_EQ(slurp(ini.path()),
              "; written by hand\n"
              "[Extra]\nE_CUS=not this one\n"
              "[ VM_PELICANPRN ]\n"
              "tab_my = 0x3\n"
              "  E_CUS =   \"  Yamada Taro  \"  \n"
              "OP023MyZip=105-0004\n"
              "KOSUU=5\n"
              "KOSUU3=2\r\n"
              "comment without equals\n");
}

TEST(IniFile, NotANumberGivesTheDefault) {
    ScratchFolder dir;
    IniFile ini(dir.file("a.ini"));
    spit(ini.path(), "[s]\r\nTab_My=three\r\nBig=4294967296\r\nEmpty=\r\n");
    EXPECT_EQ(ini.readInteger("s", "Tab_My", 0), 0);
    EXPECT_EQ(ini.readInteger("s", "Big", 7), 7);
    EXPECT_EQ(ini.readInteger("s", "Empty", 1), 1);
}

// Files no editor would make: the store must neither crash nor hang, and
// must still find what it can.
TEST(IniFile, HostileFilesAreSurvived) {
    ScratchFolder dir;
    IniFile ini(dir.file("a.ini"));
    std::string garbage;
    for (int i = 0; i < 200000; ++i) garbage += static_cast<char>((i * 7919 + 13) & 0xFF);
    const std::string bigLine = "[s]\r\nk=" + std::string(kMaxIniFileBytes - 64, 'x') + "\r\nafter=ok\r\n";
    struct Case {
        std::string name, bytes, key, expected;
    } cases[] = {
        {"binary garbage", garbage, "k", "dflt"},
        {"NUL bytes", "[s]\0\r\nk=a\0b\r\n"s, "k", "a\0b"s},
        {"1 MB single line", bigLine, "after", "ok"},
        {"invalid Shift-JIS", "[s]\r\nk=\x81\r\nj=\x81\x81\x81\xff\xfe\r\n", "j", "\x81\x81\x81\xff\xfe"},
        {"lead byte before line end", "[s]\r\nk=\x82\nj=1\n", "j", "1"},
    };
    for (const auto& c : cases) {
        spit(ini.path(), c.bytes);
        ini = IniFile(ini.path());  // the text is read once per store
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(ini.readString("s", c.key, "dflt"), c.expected) << c.name;
        ini.writeString("s", "new", "v");
        EXPECT_EQ(ini.readString("s", "new", ""), "v") << c.name;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20)) << c.name;
    }
}

// A file larger than any the program writes is not read at all (a huge
// one would cost seconds and its size in memory for every key), the reason
// is told, and it is never replaced: nothing in it is lost.
TEST(IniFile, AFileOverTheLimitIsNeitherReadNorReplaced) {
    ScratchFolder dir;
    const std::string path = dir.file("vamu_Pelican.ini");
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"one byte over", "[s]\r\nfirst=here\r\n" + std::string(kMaxIniFileBytes, ';')},
        {"8 MiB", "[s]\r\nfirst=here\r\n" + std::string(8 * kMaxIniFileBytes, ';')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        spit(path, c.bytes);
        const auto start = std::chrono::steady_clock::now();
        IniFile ini(path);
        for (int i = 0; i < 20; ++i) EXPECT_EQ(ini.readString("s", "first", "dflt"), "dflt");
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
        EXPECT_NE(ini.problem().find("1 MiB"), std::string::npos) << ini.problem();
        try {
            ini.writeString("s", "new", "v");
            ADD_FAILURE() << "written";
        } catch (const IniWriteError& e) {
            EXPECT_NE(std::string(e.what()).find("1 MiB"), std::string::npos) << e.what();
        }
        EXPECT_EQ(slurp(path), c.bytes);
    }
    spit(path, "[s]\r\nfirst=here\r\n");
    EXPECT_EQ(IniFile(path).problem(), "");
}

TEST(IniFile, NoPlainFileReadsDefaultsAndIsNotReplaced) {
    ScratchFolder dir;
    std::filesystem::create_directory(dir.file("folder.ini"));
    ASSERT_EQ(::mkfifo(dir.file("pipe.ini").c_str(), 0600), 0);  // a read would wait for a writer
    std::filesystem::create_symlink("/dev/zero", dir.file("zero.ini"));  // a read would never end
    for (const char* name : {"folder.ini", "pipe.ini", "zero.ini"}) {
        IniFile ini(dir.file(name));
        EXPECT_EQ(ini.readString(kSection, "E_ZIP", "d"), "d") << name;
        // Writing through the link to a device is never tried here: a
        // fault would replace the device.
        if (std::string(name) != "zero.ini") {
            EXPECT_THROW(ini.writeString(kSection, "E_ZIP", "x"), IniWriteError) << name;
        }
    }
    EXPECT_TRUE(std::filesystem::is_fifo(dir.file("pipe.ini")));
}

// --- failed writes -------------------------------------------------------

class IniWriteFailure : public ::testing::Test {
protected:
    void TearDown() override { setAtomicWriteFaultForTesting({}); }

    // Writes one key expecting the failure message; then checks the old
    // file is untouched and nothing else was left in the folder.
    void expectFailureKeepsOldFile(ScratchFolder& dir, const std::string& oldBytes) {
        IniFile ini(dir.file("vamu_Pelican.ini"));
        const std::size_t entries = dir.entryCount();
        try {
            ini.writeString(kSection, "E_CUS", std::string(100000, 'y'));
            ADD_FAILURE() << "write did not fail";
        } catch (const IniWriteError& e) {
            EXPECT_EQ(std::string(e.what()), dir.file("vamu_Pelican.ini") + " に書き込めません");
        }
        EXPECT_EQ(slurp(ini.path()), oldBytes);
        EXPECT_EQ(dir.entryCount(), entries);
    }
};

const std::string kOldSettings = "[vm_Pelicanprn]\r\nAddr_Font=1\r\nE_CUS=old\r\n";

TEST_F(IniWriteFailure, InjectedAtEveryStep) {
    for (auto step : {AtomicWriteStep::Open, AtomicWriteStep::Write, AtomicWriteStep::Sync, AtomicWriteStep::Close,
                      AtomicWriteStep::Rename}) {
        ScratchFolder dir;
        spit(dir.file("vamu_Pelican.ini"), kOldSettings);
        setAtomicWriteFaultForTesting([step](AtomicWriteStep s) { return s == step ? ENOSPC : 0; });
        SCOPED_TRACE(static_cast<int>(step));
        expectFailureKeepsOldFile(dir, kOldSettings);
    }
}

TEST_F(IniWriteFailure, FullFileSystem) {
    ScratchFolder dir;
    if (!dir.mountTmpfs("64k")) GTEST_SKIP() << "tmpfs cannot be mounted here; injected failures cover this";
    spit(dir.file("vamu_Pelican.ini"), kOldSettings);
    spit(dir.file("filler"), std::string(40000, 'f'));
    expectFailureKeepsOldFile(dir, kOldSettings);
}

TEST_F(IniWriteFailure, ReadOnlyFolder) {
    ScratchFolder dir;
    spit(dir.file("vamu_Pelican.ini"), kOldSettings);
    if (::geteuid() != 0) {
        ::chmod(dir.path().c_str(), 0555);
    } else {
        // Root ignores permission bits; a read-only file system does not.
        std::filesystem::remove(dir.file("vamu_Pelican.ini"));
        if (!dir.mountTmpfs("64k")) GTEST_SKIP() << "tmpfs cannot be mounted here; injected failures cover this";
        spit(dir.file("vamu_Pelican.ini"), kOldSettings);
        ASSERT_TRUE(dir.remountReadOnly());
    }
    expectFailureKeepsOldFile(dir, kOldSettings);
}

TEST_F(IniWriteFailure, ReadOnlyFileIsNotReplaced) {
    if (::geteuid() == 0) GTEST_SKIP() << "root may write read-only files";
    ScratchFolder dir;
    spit(dir.file("vamu_Pelican.ini"), kOldSettings);
    ::chmod(dir.file("vamu_Pelican.ini").c_str(), 0444);
    expectFailureKeepsOldFile(dir, kOldSettings);
}

TEST(IniFileAtomic, ReplacedFileKeepsItsPermissionsAndSymlink) {
    ScratchFolder dir;
    spit(dir.file("real.ini"), kOldSettings);
    ::chmod(dir.file("real.ini").c_str(), 0640);
    std::filesystem::create_symlink("real.ini", dir.file("link.ini"));
    IniFile(dir.file("link.ini")).writeString(kSection, "E_CUS", "new");
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.ini")));
    EXPECT_EQ(IniFile(dir.file("real.ini")).readString(kSection, "E_CUS", ""), "new");
    struct stat st {};
    ASSERT_EQ(::stat(dir.file("real.ini").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(dir.entryCount(), 2u);
}

// As another local user (uid 65534): a link at `link` to `target`. True
// when it was made.
bool plantLinkAsOtherUser(const std::string& target, const std::string& link) {
    const pid_t child = ::fork();
    if (child == 0) {
        const bool ok = ::setgid(65534) == 0 && ::setuid(65534) == 0 && ::symlink(target.c_str(), link.c_str()) == 0;
        ::_exit(ok ? 0 : 1);
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// In a folder that another user can write to, that user's link named like
// the settings file is neither read through nor written through: the
// linked file stays as it was and the link is replaced by the settings.
TEST(IniFileAtomic, ALinkInAFolderOthersCanWriteIsReplacedNotFollowed) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as a second user id";
    const struct {
        const char* what;
        mode_t mode;
        uid_t owner;
    } cases[] = {
        {"shared folder with the sticky bit", 01777, 0},
        {"folder open to all", 0777, 0},
        {"another user's folder", 0755, 65534},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchFolder dir;
        ASSERT_EQ(::chmod(dir.path().c_str(), 0755), 0);
        const std::string important = dir.file("important.txt");
        const std::string kept = "[vm_Pelicanprn]\r\nE_TEL=secret\r\n";
        spit(important, kept);
        const std::string shared = dir.file("shared");
        ASSERT_EQ(::mkdir(shared.c_str(), c.mode), 0);
        ASSERT_EQ(::chmod(shared.c_str(), c.mode), 0);
        ASSERT_EQ(::chown(shared.c_str(), c.owner, c.owner), 0);
        const std::string settings = shared + "/vamu_Pelican.ini";
        ASSERT_TRUE(plantLinkAsOtherUser(important, settings));

        IniFile ini(settings);
        EXPECT_EQ(ini.readString(kSection, "E_TEL", "none"), "none");
        ini.writeString(kSection, "E_CUS", "new");
        EXPECT_EQ(slurp(important), kept);
        EXPECT_FALSE(std::filesystem::is_symlink(settings));
        EXPECT_EQ(slurp(settings), "[vm_Pelicanprn]\r\nE_CUS=new\r\n");
    }
}

// Leftovers of killed saves go with the next save of the same file; files of
// a live writer, of other files and odd names stay, and never fail the save.
TEST(IniFileAtomic, NextSaveRemovesOnlyTheTemporariesOfDeadWriters) {
    ScratchFolder dir;
    const std::string live = ".s.ini.tmp" + std::to_string(::getppid()) + "_0";
    const std::string kept[] = {live, ".s.ini.tmp99999999999999999999_0", ".s.ini.tmpx_1", ".other.ini.tmp999999_0", "s.ini.bak"};
    for (const auto& name : kept) spit(dir.file(name), "x");
    const pid_t child = ::fork();  // a process that has surely ended
    if (child == 0) ::_exit(0);
    ::waitpid(child, nullptr, 0);
    const std::string dead = ".s.ini.tmp" + std::to_string(child) + "_3";
    spit(dir.file(dead), "x");
    writeFileAtomically(dir.file("s.ini"), "new\r\n");
    EXPECT_FALSE(std::filesystem::exists(dir.file(dead)));
    for (const auto& name : kept) EXPECT_TRUE(std::filesystem::exists(dir.file(name))) << name;
    EXPECT_EQ(slurp(dir.file("s.ini")), "new\r\n");
}

}  // namespace
