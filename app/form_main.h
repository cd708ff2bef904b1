#pragma once
#include <QWidget>

class TForm_Main : public QWidget {
    Q_OBJECT
public:
    explicit TForm_Main(QWidget* parent = nullptr);
};
