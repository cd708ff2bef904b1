#include <QApplication>

#include "app/form_main.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    TForm_Main form;
    form.show();
    return app.exec();
}
