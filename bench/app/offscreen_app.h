#pragma once
// The application of a benchmark that drives real windows without a
// screen: a QApplication on the offscreen platform, named as the program.
#include <QApplication>
#include <QByteArray>

namespace bench {

class OffscreenApp {
public:
    explicit OffscreenApp(const char* name) : name_(name), argv_{name_.data(), nullptr}, app_(offscreen(argc_), argv_) {}

private:
    // Chooses the platform before the application starts.
    static int& offscreen(int& argc) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        return argc;
    }

    int argc_ = 1;
    QByteArray name_;
    char* argv_[2];
    QApplication app_;
};

}  // namespace bench
