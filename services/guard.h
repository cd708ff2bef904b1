#pragma once
// Every handler that Qt calls goes through guarded(): an exception never
// crosses the event loop; it is shown in the general error box and the
// program goes on.
#include <exception>
#include <utility>

class QWidget;

void showUncaughtError(QWidget* parent, std::exception_ptr error);

template <class F>
void guarded(QWidget* parent, F&& handler) noexcept {
    try {
        std::forward<F>(handler)();
    } catch (...) {
        showUncaughtError(parent, std::current_exception());
    }
}
