#include "app/startup/program.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QTimer>
#include <exception>
#include <memory>

#include "app/main_form/app_windows.h"
#include "app/startup/data_folder_notice.h"
#include "app/main_form/form_main.h"
#include "app/startup/qt_translation.h"
#include "services/app_title.h"
#include "services/message_boxes.h"
#include "app/startup/session_end.h"
#include "app/startup/single_instance.h"
#include "print/Wbprn/cups/cups_printer_system.h"
#include "print/Form_SLIP97YPrn.h"
#include "print/Wb_d97_Dot.h"

namespace {

// The windows of the run, from their making to their end.
int runWindows(const ProgramHooks& hooks, SingleInstance& instance, bool newDataFolder) {
    QApplication::setApplicationName(appTitle());
    installQtTranslation();  // Qt's menus and dialogs in the desktop's language
    // Wayland finds the menu entry (name and icon) of the window by this;
    // the installed icon theme gives the window its icon (none when the
    // program runs from the build tree).
    QGuiApplication::setDesktopFileName(QStringLiteral("jp.example.vamu.pelican"));
    QApplication::setWindowIcon(QIcon::fromTheme(QStringLiteral("vamu-pelican")));
    if (hooks.beforeWindows) hooks.beforeWindows();

    auto main = std::make_unique<TForm_Main>();
    Form_Main = main.get();
    auto positions = std::make_unique<TForm_SLIP97YPrn>(nullptr);
    Form_SLIP97YPrn = positions.get();
    auto layout = std::make_unique<TWb_d97_Dot>(nullptr);
    Wb_d97_Dot = layout.get();

    QObject::connect(&instance, &SingleInstance::raiseRequested, Form_Main, [] {
        if (Form_Main->isMinimized()) Form_Main->showNormal();
        Form_Main->raise();
        Form_Main->activateWindow();
    });

    installOrderlyEnd(Form_Main);  // stop signals and session end save too
    Form_Main->show();             // runs FormShow
    if (newDataFolder) QTimer::singleShot(0, Form_Main, [] { showDataFolderNotice(*Form_Main); });
    if (hooks.whenIdle) QTimer::singleShot(0, Form_Main, hooks.whenIdle);
    QApplication::exec();

    // Taking the windows apart may wait for the shared database's threads
    // (a server that hangs lets them go within its time-out): no window
    // stays on the screen, unpainted, meanwhile.
    for (QWidget* window : QApplication::topLevelWidgets()) window->hide();
    // The settings are written here at the latest (normally already on
    // aboutToQuit); then the windows go in reverse order of creation.
    Form_Main->runFormDestroyOnce();
    layout.reset();
    positions.reset();
    Form_Main = nullptr;
    main.reset();
    Form_SLIP97YPrn = nullptr;
    Wb_d97_Dot = nullptr;
    return 0;
}

}  // namespace

int runProgram(int argc, char** argv, const ProgramHooks& hooks) {
    const bool newDataFolder = takeNewDataFolderMark();
    QApplication app(argc, argv);

    // A second start raises the running window and ends: no window of its
    // own, no file read or written. The data folder is the current one; one
    // whose lock cannot be taken is refused with the reason.
    SingleInstance instance(SingleInstance::socketPath(appTitle()), QDir::currentPath());
    if (instance.anotherIsRunning()) {
        if (instance.refusal().isEmpty()) return 0;
        messageBoxes().error(nullptr, instance.refusal());
        return 1;
    }
    // The printer box asks CUPS for the printers while the window is being
    // built: libcups loads and the scheduler answers meanwhile on another
    // thread.
    wbprn::prefetchQueues();

    try {
        return runWindows(hooks, instance, newDataFolder);
    } catch (const std::exception& e) {
        // The windows could not be made (a client library missing, say):
        // the reason in a box rather than an abort.
        Form_Main = nullptr;
        Form_SLIP97YPrn = nullptr;
        Wb_d97_Dot = nullptr;
        messageBoxes().error(nullptr, QString::fromUtf8(e.what()));
        return 1;
    }
}
