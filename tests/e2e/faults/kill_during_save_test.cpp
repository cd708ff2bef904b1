// A process killed (SIGKILL) at a random moment while it saves the settings
// file or a sender record, hundreds of times: afterwards the file is always
// byte for byte the old or the new version, the killed writes leave nothing
// but hidden temporary files, and those never disturb a later read or save.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <random>
#include <string>
#include <thread>

#include "store/ini_file.h"
#include "settings/main_settings.h"
#include "settings/sender_record.h"
#include "tests/support/scratch_folder.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

// A long CP932 value: big files take several write calls, so a writer that
// replaced the file in place would be caught half-way.
std::string filler(char seed, std::size_t bytes) {
    std::string s;
    while (s.size() + 2 <= bytes) {
        s += "\x93\xfa";  // 日
        s += static_cast<char>('A' + (s.size() + static_cast<unsigned char>(seed)) % 26);
    }
    return s;
}

MainSettings smallSettings() {
    MainSettings m;
    m.senderTab = 2;
    m.zip = "1000005";
    m.consignee = "\x93\xfa\x92\xca";  // 日通
    return m;
}

MainSettings bigSettings() {
    MainSettings m;
    m.senderTab = 9;
    m.feedMode = 1;
    m.printSize = 0;
    char seed = 'a';
    for (std::string* f : {&m.senderName, &m.senderZip, &m.senderAddress1, &m.senderAddress2, &m.senderTel, &m.zip,
                           &m.address1, &m.address2, &m.consignee, &m.tel, &m.goods1, &m.goods2, &m.goods3})
        *f = filler(seed++, 1500);
    m.count = "12";
    return m;
}

SenderRecord smallRecord() { return {"1000005", "\x93\x8c\x8b\x9e", "", "\x93\xfa\x92\xca", "03"}; }
SenderRecord bigRecord() {
    return {filler('z', 4000), filler('a', 20000), filler('b', 20000), filler('n', 4000), filler('t', 4000)};
}

// One kind of file and how the program saves and loads it.
struct SavedFile {
    const char* name;
    const char* fileName;
    std::function<void(const std::string& path, bool big)> save;
    // What the program reads back, as text to compare.
    std::function<std::string(const std::string& path)> load;
};

void PrintTo(const SavedFile& file, std::ostream* os) { *os << file.name; }

std::string settingsAsText(const MainSettings& m) {
    std::string s = std::to_string(m.senderTab) + "|" + std::to_string(m.feedMode) + "|" + std::to_string(m.printSize);
    for (const std::string* f : {&m.senderName, &m.senderZip, &m.senderAddress1, &m.senderAddress2, &m.senderTel, &m.zip,
                                 &m.address1, &m.address2, &m.consignee, &m.tel, &m.goods1, &m.goods2, &m.goods3,
                                 &m.count})
        s += "|" + *f;
    return s;
}

const SavedFile kFiles[] = {
    {"settings", kSettingsFileName,
     [](const std::string& path, bool big) {
         IniFile ini(path);
         writeMainSettings(ini, big ? bigSettings() : smallSettings());
     },
     [](const std::string& path) { return settingsAsText(readMainSettings(IniFile(path))); }},
    {"sender record", "my3.txt",
     [](const std::string& path, bool big) { writeSenderRecord(path, big ? bigRecord() : smallRecord()); },
     [](const std::string& path) {
         const SenderRecord r = readSenderRecord(path);
         return r.zip + "|" + r.address1 + "|" + r.address2 + "|" + r.name + "|" + r.tel;
     }},
};

class KillDuringSave : public ::testing::TestWithParam<SavedFile> {
protected:
    ScratchFolder scratch_;
    const fs::path dir_ = scratch_.path();
};

// Kills per kind of file, and the longest the loop may take on a slow disk
// (then at least kMinKills must have been done).
constexpr int kKills = 300;
constexpr int kMinKills = 60;
constexpr auto kBudget = std::chrono::seconds(8);

TEST_P(KillDuringSave, FileIsAlwaysOldOrNewVersion) {
    const SavedFile& file = GetParam();
    const std::string path = (dir_ / file.fileName).string();

    // The two versions as the program writes them, and as it reads them.
    // Writing one over the other must give the same bytes as a fresh write.
    file.save(path, false);
    const std::string oldBytes = slurp(path), oldText = file.load(path);
    file.save(path, true);
    const std::string newBytes = slurp(path), newText = file.load(path);
    file.save(path, false);
    ASSERT_EQ(slurp(path), oldBytes);
    ASSERT_NE(oldBytes, newBytes);

    // Kill moments spread over a few whole saves, measured on this disk.
    const auto t0 = Clock::now();
    for (int i = 0; i < 10; ++i) file.save(path, i % 2 == 0);
    file.save(path, false);
    const auto perSave = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - t0) / 11;
    long window = (perSave * 4 + std::chrono::microseconds(500)).count();

    const unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    int kills = 0, sawOld = 0, sawNew = 0, torn = 0, childFailed = 0;
    const auto start = Clock::now();
    while (kills < kKills && !(kills >= kMinKills && Clock::now() - start > kBudget)) {
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            // Saves new, old, new, ... until killed.
            try {
                for (bool big = true;; big = !big) file.save(path, big);
            } catch (...) {
                ::_exit(3);
            }
        }
        // Saves may slow down under load: if no kill has yet landed after
        // a finished save, widen the window.
        if (kills > 0 && kills % 25 == 0 && sawNew == 0) window *= 2;
        std::this_thread::sleep_for(std::chrono::microseconds(std::uniform_int_distribution<long>(0, window)(random)));
        ::kill(child, SIGKILL);
        int status = 0;
        ::waitpid(child, &status, 0);
        if (!WIFSIGNALED(status) || WTERMSIG(status) != SIGKILL) ++childFailed;
        ++kills;

        const std::string now = slurp(path);
        if (now == oldBytes) {
            ++sawOld;
        } else if (now == newBytes) {
            ++sawNew;
        } else {
            if (++torn <= 3) ADD_FAILURE() << "kill " << kills << ": " << now.size() << " bytes, neither version (seed " << seed << ")";
        }
    }

    // Only the file itself and the hidden temporary files of killed saves.
    int strays = 0;
    const std::string tempPrefix = std::string(".") + file.fileName + ".tmp";
    for (const auto& e : fs::directory_iterator(dir_)) {
        const std::string name = e.path().filename().string();
        if (name == file.fileName) continue;
        EXPECT_EQ(name.rfind(tempPrefix, 0), 0u) << "unexpected file " << name;
        ++strays;
    }
    std::cout << "[ figures  ] " << file.name << ": " << kills << " kills in "
              << std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count()
              << " ms (one save " << perSave.count() << " us): " << sawOld << " old, " << sawNew << " new, " << torn
              << " torn; " << strays << " temporary files left by killed saves\n";
    RecordProperty("kills", kills);
    RecordProperty("torn", torn);
    RecordProperty("strays", strays);

    EXPECT_EQ(torn, 0);
    EXPECT_EQ(childFailed, 0) << "a save failed on its own instead of being killed";
    EXPECT_GE(kills, kMinKills);
    // Both outcomes seen: the kills really landed between and inside saves.
    EXPECT_GT(sawOld, 0);
    EXPECT_GT(sawNew, 0);

    // The leftovers are ignored: the file reads as the version it holds,
    // and the next save replaces it as usual.
    const bool isNew = slurp(path) == newBytes;
    EXPECT_EQ(file.load(path), isNew ? newText : oldText);
    file.save(path, !isNew);
    EXPECT_EQ(slurp(path), isNew ? oldBytes : newBytes);
    // That save also cleared what the killed saves left behind.
    for (const auto& e : fs::directory_iterator(dir_)) EXPECT_EQ(e.path().filename().string(), file.fileName);
    EXPECT_EQ(file.load(path), isNew ? oldText : newText);
}

INSTANTIATE_TEST_SUITE_P(Files, KillDuringSave, ::testing::ValuesIn(kFiles),
                         [](const auto& info) { return std::string(info.param.name == kFiles[0].name ? "Settings" : "SenderRecord"); });

}  // namespace
