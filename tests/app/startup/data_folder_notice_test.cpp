// The whole start, as the desktop launcher makes it: only a start that the
// launcher marked as the first one in a new data folder shows that folder
// in the prompt line, and the mark is not passed on to later programs.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLabel>
#include <QString>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "app/main_form/app_windows.h"
#include "app/startup/data_folder_notice.h"
#include "app/main_form/form_main.h"
#include "app/startup/program.h"
#include "widgets/sjis_line_edit.h"
#include "print/Wbprn/WbPrinters.h"
#include "print/Wbprn/fake/fake_printer_system.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/scripted_boxes.h"

namespace {

struct Start {
    QString baseFolder;  // the folder the window keeps its files in
    // The prompt line once the window is idle, once the window manager
    // activated it, and after the user went to the next field and back.
    QString idle, active, back;
    bool markLeft = false;
};

Start startInNewFolder(bool marked) {
    ScratchFolder folder;
    const auto previous = std::filesystem::current_path();
    std::filesystem::current_path(folder.path());
    if (marked) ::setenv(kNewDataFolderVariable, "1", 1);
    ScriptedBoxes boxes;  // the missing sender file's error box
    Start seen;
    ProgramHooks hooks;
    hooks.beforeWindows = [] {
        WbPrinter().ResetSystem(std::make_unique<wbprn::FakePrinterSystem>(
            std::vector<wbprn::FakePrinter>{{QStringLiteral("Fake")}}));
    };
    hooks.whenIdle = [&seen] {
        QLabel* prompt = Form_Main->Panel_HelpMess;
        seen.baseFolder = Form_Main->Label_CurrentDir->text();
        seen.markLeft = std::getenv(kNewDataFolderVariable) != nullptr;
        seen.idle = prompt->text();
        Form_Main->activateWindow();
        QCoreApplication::processEvents();
        seen.active = prompt->text();
        Form_Main->Edit_Add1->setFocus(Qt::TabFocusReason);
        QCoreApplication::processEvents();
        Form_Main->Edit_Zip->setFocus(Qt::BacktabFocusReason);
        QCoreApplication::processEvents();
        seen.back = prompt->text();
        Form_Main->close();
    };
    char name[] = "vamu_pelican";
    char* argv[] = {name, nullptr};
    int argc = 1;
    runProgram(argc, argv, hooks);
    std::filesystem::current_path(previous);
    ::unsetenv(kNewDataFolderVariable);
    return seen;
}

TEST(DataFolderNotice, OnlyTheFirstStartInANewFolderTellsWhereTheFilesAre) {
    struct Case {
        bool marked;
        bool notice;
    };
    const QString zipPrompt = QStringLiteral("お届け先の郵便番号を入力して下さい（F5：住所検索）");
    for (const Case c : {Case{true, true}, Case{false, false}}) {
        SCOPED_TRACE(c.marked ? "marked by the launcher" : "no mark");
        const Start s = startInNewFolder(c.marked);
        ASSERT_FALSE(s.baseFolder.isEmpty());
        const QString notice = QStringLiteral("ファイルの保存先：") + s.baseFolder;
        if (c.notice) {
            EXPECT_EQ(s.idle, notice);
            EXPECT_EQ(s.active, notice);
        } else {
            EXPECT_NE(s.idle, notice);
            EXPECT_EQ(s.active, zipPrompt);
        }
        EXPECT_EQ(s.back, zipPrompt);  // the user moved on: the prompts are back
        EXPECT_FALSE(s.markLeft);
    }
}

}  // namespace
