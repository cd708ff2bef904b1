#pragma once
// A combo box that sits in a list or table: it turns under the mouse wheel
// only once the user has given it the focus, so scrolling the list over it
// scrolls the list and never changes a value on the way.
#include <QComboBox>

class QWheelEvent;

class ListComboBox final : public QComboBox {
    Q_OBJECT
public:
    explicit ListComboBox(QWidget* parent = nullptr);

protected:
    void wheelEvent(QWheelEvent* event) override;
};
