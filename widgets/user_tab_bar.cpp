#include "widgets/user_tab_bar.h"

template <class F>
void UserTabBar::byUser(F&& baseCall) {
    const int before = currentIndex();
    baseCall();
    if (currentIndex() != before) emit userSelected(currentIndex());
}

void UserTabBar::mousePressEvent(QMouseEvent* event) {
    byUser([&] { QTabBar::mousePressEvent(event); });
}
void UserTabBar::mouseReleaseEvent(QMouseEvent* event) {
    byUser([&] { QTabBar::mouseReleaseEvent(event); });
}
void UserTabBar::keyPressEvent(QKeyEvent* event) {
    byUser([&] { QTabBar::keyPressEvent(event); });
}
#if QT_CONFIG(wheelevent)
void UserTabBar::wheelEvent(QWheelEvent* event) {
    byUser([&] { QTabBar::wheelEvent(event); });
}
#endif
