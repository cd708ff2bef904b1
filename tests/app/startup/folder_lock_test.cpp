// A data folder whose lock file cannot be taken (another user's file in a
// shared folder, a file this user may not open, a planted link) is refused
// at the start with a box naming the file's owner; no window is made and
// the lock file stays as it was.
#include <gtest/gtest.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <QString>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>

#include "app/startup/program.h"
#include "print/Wbprn/WbPrinters.h"
#include "print/Wbprn/fake/fake_printer_system.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/scripted_boxes.h"

namespace {

struct Refused {
    int exitCode = -1;
    bool windowShown = false;
    QStringList errors;
};

// The whole program started in `folder`, with its instance socket in a
// private folder of its own.
Refused startIn(const std::string& folder) {
    ScratchFolder runtime;
    const char* previousRuntime = std::getenv("XDG_RUNTIME_DIR");
    const std::string keptRuntime = previousRuntime ? previousRuntime : "";
    ::setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1);
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(folder);
    ScriptedBoxes boxes;
    Refused seen;
    ProgramHooks hooks;
    hooks.beforeWindows = [] {
        WbPrinter().ResetSystem(std::make_unique<wbprn::FakePrinterSystem>(
            std::vector<wbprn::FakePrinter>{{QStringLiteral("Fake")}}));
    };
    hooks.whenIdle = [&seen] {
        seen.windowShown = true;
        QApplication::closeAllWindows();
    };
    char name[] = "vamu_pelican";
    char* argv[] = {name, nullptr};
    int argc = 1;
    seen.exitCode = runProgram(argc, argv, hooks);
    seen.errors = boxes.errors;
    std::filesystem::current_path(previous);
    if (previousRuntime) ::setenv("XDG_RUNTIME_DIR", keptRuntime.c_str(), 1);
    else ::unsetenv("XDG_RUNTIME_DIR");
    return seen;
}

void writeText(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

std::string userName(uid_t uid) {
    const passwd* user = ::getpwuid(uid);
    return user ? user->pw_name : std::to_string(uid);
}

}  // namespace

TEST(FolderLock, ALockThatCannotBeTakenRefusesTheStartNamingItsOwner) {
    const bool root = ::geteuid() == 0;
    struct Case {
        const char* what;
        // Puts the lock file in the way; returns the part of the message
        // that names the owner ("" when the case cannot be made here).
        std::function<std::string(const std::string& lock)> plant;
        const char* watched;  // the file that must stay as it was
    };
    const Case cases[] = {
        {"another user's lock file",
         [root](const std::string& lock) {
             if (!root) return std::string();  // only root can give a file away
             writeText(lock, "/run/user/65534/vamu.sock\n");
             EXPECT_EQ(::chown(lock.c_str(), 65534, 65534), 0);
             EXPECT_EQ(::chmod(lock.c_str(), 0444), 0);
             return "は別のユーザー " + userName(65534) + " のものなので、このフォルダでは起動できません";
         },
         ""},
        {"a lock file this user may not open",
         [root](const std::string& lock) {
             if (root) return std::string();  // root opens any file
             writeText(lock, "/run/user/1/vamu.sock\n");
             EXPECT_EQ(::chmod(lock.c_str(), 0), 0);
             return "（持ち主 " + userName(::getuid()) + "）を開けないため、このフォルダでは起動できません";
         },
         ""},
        {"a link planted in the folder",
         [](const std::string& lock) {
             const std::string target = lock + ".target";
             writeText(target, "mine\n");
             EXPECT_EQ(::symlink(target.c_str(), lock.c_str()), 0);
             return "（持ち主 " + userName(::getuid()) + "）を開けないため、このフォルダでは起動できません";
         },
         ".target"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchFolder data;
        ASSERT_EQ(::chmod(data.path().c_str(), 01777), 0);
        const std::string lock = data.file("vamu_Pelican.lock");
        const std::string owner = c.plant(lock);
        if (owner.empty()) continue;
        const std::string watched = lock + c.watched;
        struct stat st {};
        ASSERT_EQ(::stat(watched.c_str(), &st), 0);
        const Refused r = startIn(data.path());
        EXPECT_EQ(r.exitCode, 1);
        EXPECT_FALSE(r.windowShown);
        ASSERT_EQ(r.errors.size(), 1);
        const std::string message = r.errors[0].toStdString();
        EXPECT_EQ(message.rfind("データフォルダのロックファイル " + lock, 0), 0U) << message;
        EXPECT_NE(message.find(owner), std::string::npos) << message;
        struct stat after {};
        ASSERT_EQ(::stat(watched.c_str(), &after), 0);
        EXPECT_EQ(after.st_size, st.st_size);
        EXPECT_EQ(after.st_mode, st.st_mode);
        EXPECT_EQ(after.st_mtim.tv_nsec, st.st_mtim.tv_nsec);
        EXPECT_FALSE(std::filesystem::exists(data.file("vamu_Pelican.ini")));
    }
}
