#pragma once
// A tab strip that tells user changes apart from changes made by code:
// userSelected() is emitted only when a click, key or wheel turn changed the
// current tab. setCurrentIndex() from the program (restoring the settings)
// emits currentChanged() as usual but never userSelected().
#include <QTabBar>

class UserTabBar : public QTabBar {
    Q_OBJECT
public:
    using QTabBar::QTabBar;

signals:
    void userSelected(int index);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
#if QT_CONFIG(wheelevent)
    void wheelEvent(QWheelEvent* event) override;
#endif

private:
    template <class F>
    void byUser(F&& baseCall);
};
