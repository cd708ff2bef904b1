#pragma once
// Hidden window that owns the waybill drawing routine SLIP97_Prn.
#include <QWidget>

class TWb_d97_Dot : public QWidget {
    Q_OBJECT
public:
    explicit TWb_d97_Dot(QWidget* parent = nullptr);
};
