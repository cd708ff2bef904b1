// Sender record files: reading rules, byte-exact saves, error messages and
// saves that fail without harming the old record.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <filesystem>
#include <string>

#include "store/atomic_file.h"
#include "settings/sender_record.h"
#include "tests/support/scratch_folder.h"

namespace {

SenderRecord rec(std::string zip, std::string a1, std::string a2, std::string name, std::string tel) {
    return SenderRecord{std::move(zip), std::move(a1), std::move(a2), std::move(name), std::move(tel)};
}

TEST(SenderRecordParse, ReadingRules) {
    struct Case {
        std::string name, bytes;
        SenderRecord expected;
    } cases[] = {
        {"five CR LF lines", "1\r\n2\r\n3\r\n4\r\n5\r\n", rec("1", "2", "3", "4", "5")},
        {"LF only", "1\n2\n3\n4\n5\n", rec("1", "2", "3", "4", "5")},
        {"no final line end", "1\r\n2\r\n3\r\n4\r\n5", rec("1", "2", "3", "4", "5")},
        {"three lines", "100-0001\r\nTokyo\r\nChiyoda\r\n", rec("100-0001", "Tokyo", "Chiyoda", "", "")},
        {"seven lines", "1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n", rec("1", "2", "3", "4", "5")},
        {"lone CR dropped inside a line", "a\rb\r\n\r\n\r\nname\r\r\n", rec("ab", "", "", "name", "")},
        {"empty file", "", rec("", "", "", "", "")},
        {"ten bytes of empty lines", "\r\n\r\n\r\n\r\n\r\n", rec("", "", "", "", "")},
        {"blanks kept as they are", " a \r\n\t\r\n", rec(" a ", "\t", "", "", "")},
        {"double-byte text", "\x81\xa7\r\n\x93\xfa\x96\x7b\r\n", rec("\x81\xa7", "\x93\xfa\x96\x7b", "", "", "")},
    };
    for (const auto& c : cases) EXPECT_EQ(parseSenderRecord(c.bytes), c.expected) << c.name;
}

TEST(SenderRecordFile, SaveIsByteExactAndLoadsBack) {
    ScratchFolder dir;
    const std::string path = dir.file(senderRecordFileName(0));
    EXPECT_EQ(senderRecordFileName(9), "my9.txt");

    writeSenderRecord(path, SenderRecord{});
    EXPECT_EQ(slurp(path), "\r\n\r\n\r\n\r\n\r\n");

    const SenderRecord full = rec("105-0004", "\x93\x8c\x8b\x9e\x93\x73", "Minato 1-2", "\x8e\x52\x93\x63", "03-1234-5678");
    writeSenderRecord(path, full);
    EXPECT_EQ(slurp(path).size(), 8u + 6 + 10 + 4 + 12 + 10);
    EXPECT_EQ(readSenderRecord(path), full);

    // A line break typed into a field by other means never adds a line.
    writeSenderRecord(path, rec("1\r\n2", "", "", "", ""));
    EXPECT_EQ(slurp(path), "12\r\n\r\n\r\n\r\n\r\n");
}

TEST(SenderRecordFile, ReadErrorsCarryTheirMessages) {
    ScratchFolder dir;
    auto messageOf = [](const std::string& path) {
        try {
            readSenderRecord(path);
        } catch (const FileError& e) {
            return std::string(e.what());
        }
        return std::string("no error");
    };
    EXPECT_EQ(messageOf(dir.file("my3.txt")), "File not found");
    std::filesystem::create_directory(dir.file("my4.txt"));
    EXPECT_EQ(messageOf(dir.file("my4.txt")), "Is a directory");
    if (::geteuid() != 0) {
        spit(dir.file("my5.txt"), "x\r\n");
        ::chmod(dir.file("my5.txt").c_str(), 0);
        EXPECT_EQ(messageOf(dir.file("my5.txt")), "File access denied");
    }
    // Neither a pipe without writer nor an endless device may hang the load.
    ASSERT_EQ(::mkfifo(dir.file("my6.txt").c_str(), 0600), 0);
    EXPECT_EQ(messageOf(dir.file("my6.txt")), "Invalid argument");
    std::filesystem::create_symlink("/dev/zero", dir.file("my7.txt"));
    EXPECT_EQ(messageOf(dir.file("my7.txt")), "Invalid argument");
    EXPECT_EQ(senderFileErrorMessage(EACCES), "File access denied");
    EXPECT_EQ(senderFileErrorMessage(EROFS), "File access denied");
    EXPECT_EQ(senderFileErrorMessage(ENOSPC), "No space left on device");
}

TEST(SenderRecordFile, SaveNeverReplacesAnythingButAPlainFile) {
    ScratchFolder dir;
    std::filesystem::create_directory(dir.file("my0.txt"));
    ASSERT_EQ(::mkfifo(dir.file("my1.txt").c_str(), 0600), 0);
    // A link to something that is no plain file (here the pipe; a device
    // is the same case, but a test must never risk replacing one).
    std::filesystem::create_symlink(dir.file("my1.txt"), dir.file("my2.txt"));
    const struct {
        const char* name;
        const char* message;
    } cases[] = {{"my0.txt", "Is a directory"}, {"my1.txt", "Invalid argument"}, {"my2.txt", "Invalid argument"}};
    for (const auto& c : cases) {
        try {
            writeSenderRecord(dir.file(c.name), SenderRecord{});
            ADD_FAILURE() << c.name << " was replaced";
        } catch (const FileError& e) {
            EXPECT_EQ(std::string(e.what()), c.message) << c.name;
        }
    }
    EXPECT_TRUE(std::filesystem::is_directory(dir.file("my0.txt")));
    EXPECT_TRUE(std::filesystem::is_fifo(dir.file("my1.txt")));
    EXPECT_TRUE(std::filesystem::is_symlink(dir.file("my2.txt")));
    EXPECT_EQ(dir.entryCount(), 3u);
}

TEST(SenderRecordFile, HugeFileReadsOnlyFiveLines) {
    ScratchFolder dir;
    const std::string path = dir.file("my0.txt");
    std::string bytes = "a\r\n" + std::string(1 << 20, 'b') + "\r\nc\nd\ne\n";
    bytes += std::string(20u << 20, '\n');
    spit(path, bytes);
    const SenderRecord r = readSenderRecord(path);
    EXPECT_EQ(r.address1.size(), 1u << 20);
    EXPECT_EQ(r.tel, "e");
}

// --- failed saves --------------------------------------------------------

class SenderSaveFailure : public ::testing::Test {
protected:
    void TearDown() override { setAtomicWriteFaultForTesting({}); }

    const std::string oldBytes = "100-0001\r\nold\r\n\r\nname\r\n03\r\n";

    void expectFailure(ScratchFolder& dir, const std::string& message) {
        const std::string path = dir.file("my0.txt");
        const std::size_t entries = dir.entryCount();
        try {
            writeSenderRecord(path, rec(std::string(100000, 'z'), "new", "", "", ""));
            ADD_FAILURE() << "save did not fail";
        } catch (const FileError& e) {
            EXPECT_EQ(std::string(e.what()), message);
        }
        EXPECT_EQ(slurp(path), oldBytes);
        EXPECT_EQ(dir.entryCount(), entries);
    }
};

TEST_F(SenderSaveFailure, InjectedFailures) {
    struct Case {
        AtomicWriteStep step;
        int error;
        std::string message;
    } cases[] = {
        {AtomicWriteStep::Open, EACCES, "File access denied"},
        {AtomicWriteStep::Write, ENOSPC, "No space left on device"},
        {AtomicWriteStep::Sync, EIO, "Input/output error"},
        {AtomicWriteStep::Rename, EROFS, "File access denied"},
    };
    for (const auto& c : cases) {
        ScratchFolder dir;
        spit(dir.file("my0.txt"), oldBytes);
        setAtomicWriteFaultForTesting([&c](AtomicWriteStep s) { return s == c.step ? c.error : 0; });
        expectFailure(dir, c.message);
    }
}

TEST_F(SenderSaveFailure, FullFileSystem) {
    ScratchFolder dir;
    if (!dir.mountTmpfs("64k")) GTEST_SKIP() << "tmpfs cannot be mounted here; injected failures cover this";
    spit(dir.file("my0.txt"), oldBytes);
    expectFailure(dir, "No space left on device");
}

TEST_F(SenderSaveFailure, ReadOnlyFolder) {
    ScratchFolder dir;
    if (::geteuid() != 0) {
        spit(dir.file("my0.txt"), oldBytes);
        ::chmod(dir.path().c_str(), 0555);
    } else {
        if (!dir.mountTmpfs("64k")) GTEST_SKIP() << "tmpfs cannot be mounted here; injected failures cover this";
        spit(dir.file("my0.txt"), oldBytes);
        ASSERT_TRUE(dir.remountReadOnly());
    }
    expectFailure(dir, "File access denied");
}

}  // namespace
