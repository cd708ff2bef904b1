// The real program asked to stop (SIGTERM, so it saves its settings) and
// then killed outright (SIGKILL) at a random moment of that save, run after
// run in one folder: the settings file is always the old or the new
// version, and every next start still works (nothing left by a killed run
// blocks it).
#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <thread>

#include "tests/support/scratch_folder.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

namespace {

// True once the process has its own handler for the signal.
bool catches(pid_t pid, int signal) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("SigCgt:", 0) == 0) return (std::stoull(line.substr(7), nullptr, 16) >> (signal - 1)) & 1u;
    return false;
}

// The program started in `dir` (offscreen; its single-instance socket in
// `dir` too, so the runs of this test share it and nothing else does).
pid_t startProgram(const fs::path& dir) {
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::chdir(dir.c_str()) != 0) ::_exit(126);
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
        ::setenv("TMPDIR", dir.c_str(), 1);
        ::setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
        // A scheduler that does not exist: no printer, quickly.
        ::setenv("CUPS_SERVER", (dir / "no-cups.sock").c_str(), 1);
        const int devNull = ::open("/dev/null", O_WRONLY);
        ::dup2(devNull, 1);
        ::dup2(devNull, 2);
        ::execl(VP_APP_BINARY, VP_APP_BINARY, static_cast<char*>(nullptr));
        ::_exit(127);
    }
    return pid;
}

// Waits until the program is ready for SIGTERM; false if it ended or took
// too long.
bool waitReady(pid_t pid) {
    const auto end = Clock::now() + 30s;
    while (Clock::now() < end) {
        int status = 0;
        if (::waitpid(pid, &status, WNOHANG) == pid) return false;
        if (catches(pid, SIGTERM)) return true;
        std::this_thread::sleep_for(5ms);
    }
    return false;
}

// Waits for the end of the process; the wait status, or -1 after 30 s
// (the process is then killed) or when it was reaped already.
int waitEnd(pid_t pid) {
    const auto end = Clock::now() + 30s;
    int status = 0;
    while (Clock::now() < end) {
        const pid_t r = ::waitpid(pid, &status, WNOHANG);
        if (r == pid) return status;
        if (r < 0) return -1;  // already reaped
        std::this_thread::sleep_for(2ms);
    }
    ::kill(pid, SIGKILL);
    ::waitpid(pid, &status, 0);
    return -1;
}

class KillProgram : public ::testing::Test {
protected:
    ScratchFolder scratch_;
    const fs::path dir_ = scratch_.path();
};

constexpr int kRuns = 100;
constexpr auto kBudget = 15s;

TEST_F(KillProgram, SettingsFileIsOldOrNewAndTheNextStartWorks) {
    const fs::path ini = dir_ / "vamu_Pelican.ini";
    // KOSUU3 is written from the count, which starts from KOSUU (missing:
    // "1"), so a clean end changes 9 into 1: old and new differ.
    const std::string oldBytes =
        "[vm_Pelicanprn]\r\nAddr_Font=1\r\nE_ZIP=1000005\r\nE_CUS=Sato\r\nKOSUU3=9\r\nComboBox_SEL=0\r\nTab_My=0\r\n";
    spit(dir_ / "my0.txt", "1050004\r\nTokyo\r\nMinato\r\nYamada\r\n03\r\n");

    // A clean stop gives the new version; how long it takes sets the window
    // in which the kills land.
    spit(ini, oldBytes);
    pid_t pid = startProgram(dir_);
    ASSERT_TRUE(waitReady(pid)) << "the program never got ready";
    const auto t0 = Clock::now();
    ::kill(pid, SIGTERM);
    // When the new file appears, to aim half of the kills at the save.
    auto saved = t0;
    int clean = -1;
    for (bool ended = false; !ended;) {
        ended = ::waitpid(pid, &clean, WNOHANG) == pid;
        if (saved == t0 && slurp(ini) != oldBytes) saved = Clock::now();
        if (!ended && Clock::now() - t0 > 30s) {
            ::kill(pid, SIGKILL);
            ::waitpid(pid, &clean, 0);
            FAIL() << "SIGTERM did not end the program";
        }
        std::this_thread::sleep_for(200us);
    }
    const auto stopTime = std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - t0);
    ASSERT_TRUE(WIFEXITED(clean) && WEXITSTATUS(clean) == 0) << "status " << clean;
    const std::string newBytes = slurp(ini);
    ASSERT_NE(newBytes, oldBytes);
    ASSERT_NE(newBytes.find("KOSUU3=1\r\n"), std::string::npos);

    const unsigned seed = std::random_device{}();
    std::mt19937 random(seed);
    const long saveAt = std::chrono::duration_cast<std::chrono::microseconds>(saved - t0).count();
    std::uniform_int_distribution<long> anyTime(0, stopTime.count() * 5 / 4);
    std::uniform_int_distribution<long> nearSave(std::max(0L, saveAt - 5000), saveAt + 1000);
    auto delay = [&](std::mt19937& r) { return r() % 2 ? anyTime(r) : nearSave(r); };
    int runs = 0, sawOld = 0, sawNew = 0, torn = 0, notReady = 0;
    const auto start = Clock::now();
    while (runs < kRuns && Clock::now() - start < kBudget) {
        spit(ini, oldBytes);
        pid = startProgram(dir_);
        ++runs;
        if (!waitReady(pid)) {
            ++notReady;
            ::kill(pid, SIGKILL);
            waitEnd(pid);
            continue;
        }
        ::kill(pid, SIGTERM);
        std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
        ::kill(pid, SIGKILL);
        waitEnd(pid);
        const std::string now = slurp(ini);
        if (now == oldBytes) {
            ++sawOld;
        } else if (now == newBytes) {
            ++sawNew;
        } else if (++torn <= 3) {
            ADD_FAILURE() << "run " << runs << ": neither version (seed " << seed << "):\n" << now;
        }
    }
    int strays = 0;
    for (const auto& e : fs::directory_iterator(dir_))
        if (e.path().filename().string().rfind(".vamu_Pelican.ini.tmp", 0) == 0) ++strays;
    std::cout << "[ figures  ] program: " << runs << " runs killed during the stop (clean stop " << stopTime.count()
              << " us, file replaced after " << saveAt << " us): " << sawOld << " old, " << sawNew << " new, " << torn << " torn; " << strays
              << " temporary files left\n";
    EXPECT_EQ(torn, 0);
    EXPECT_EQ(notReady, 0) << "a start after a killed run did not come up";
    EXPECT_GE(runs, 10);

    // And a last run after all that ends cleanly with the new version.
    spit(ini, oldBytes);
    pid = startProgram(dir_);
    ASSERT_TRUE(waitReady(pid));
    ::kill(pid, SIGTERM);
    const int last = waitEnd(pid);
    EXPECT_TRUE(WIFEXITED(last) && WEXITSTATUS(last) == 0);
    EXPECT_EQ(slurp(ini), newBytes);
}

}  // namespace
