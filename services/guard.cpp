#include "services/guard.h"

#include <QString>
#include <stdexcept>
#include <utility>

#include "services/message_boxes.h"

void showUncaughtError(QWidget* parent, std::exception_ptr error) {
    QString message;
    try {
        std::rethrow_exception(std::move(error));
    } catch (const std::exception& e) {
        // Exception messages are UTF-8 throughout the program.
        message = QString::fromUtf8(e.what());
    } catch (...) {
        message = QStringLiteral("Unknown error");
    }
    try {
        messageBoxes().error(parent, message);
    } catch (...) {
        // Nothing sensible is left to do if even the error box fails.
    }
}
