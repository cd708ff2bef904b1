// The yardstick: a bare Qt program that shows one empty QMainWindow and
// reports on stdout when its event loop is idle. With the argument "label"
// the window holds one line of Japanese text, to show what loading the
// Japanese fonts alone costs at start.
#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QMainWindow>
#include <QTimer>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    const bool label = argc > 1 && std::strcmp(argv[1], "label") == 0;
    QApplication app(argc, argv);
    QMainWindow window;
    if (label) {
        QFont::insertSubstitution(QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAPGothic"));
        auto* text = new QLabel(QStringLiteral("お届け先の郵便番号を入力して下さい"));
        QFont f(QStringLiteral("ＭＳ Ｐゴシック"));
        f.setPixelSize(16);
        text->setFont(f);
        window.setCentralWidget(text);
    }
    window.show();
    QTimer::singleShot(0, &window, [] {
        std::fputs("idle\n", stdout);
        std::fflush(stdout);
        QCoreApplication::quit();
    });
    return QApplication::exec();
}
