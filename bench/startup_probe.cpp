// Start-up probe. Built three times:
//   kelvora_startup_probe  the start-up steps of app/main.cpp: QApplication, Form1,
//                          Controller, Form_Load, show;
//   kelvora_startup_floor  (KELVORA_STARTUP_FLOOR) a bare QApplication showing one empty
//                          QWidget of the window's size;
//   kelvora_startup_label  (KELVORA_STARTUP_FLOOR and KELVORA_STARTUP_LABEL) the same with
//                          one QLabel showing two Chinese characters in the default font:
//                          what any window with Chinese text pays for fonts before it draws.
// When the window has been painted for the first time, the probe writes one line to the
// file descriptor named by KELVORA_STARTUP_REPORT_FD (stdout without it) and exits at once:
//   <VmHWM in kB> <µs from main to the QApplication> <… to the window built> <… to show()>
//   <… to the first paint done>
// bench/run.py times the process from posix_spawn to that line; the steps inside main are
// only for telling where the time goes.
#include <unistd.h>

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#ifndef KELVORA_STARTUP_FLOOR
#include "ui/controller.hpp"
#include "ui/qt/form1.hpp"
#endif

namespace {

using Clock = std::chrono::steady_clock;

Clock::time_point gMain;
int gReportFd = STDOUT_FILENO;
long long gSteps[3];  // QApplication, window built, show() returned

long long microsecondsSinceMain() {
    return std::chrono::duration_cast<std::chrono::microseconds>(Clock::now() - gMain).count();
}

long vmHwmKilobytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return -1;
}

[[noreturn]] void report() {
    const long long painted = microsecondsSinceMain();
    char line[128];
    const int n = std::snprintf(line, sizeof line, "%ld %lld %lld %lld %lld\n", vmHwmKilobytes(),
                                gSteps[0], gSteps[1], gSteps[2], painted);
    if (write(gReportFd, line, static_cast<std::size_t>(n)) != n) std::_Exit(2);
    // Nothing after the first paint is measured; tearing the window down is not start-up.
    std::_Exit(0);
}

// Catches the window's first paint and reports once it is done: the timer runs on the
// next turn of the event loop, after the children are painted and the picture flushed.
class FirstPaint final : public QObject {
  public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            QTimer::singleShot(0, [] { report(); });
        }
        return QObject::eventFilter(watched, event);
    }

  private:
    bool seen_ = false;
};

}  // namespace

int main(int argc, char* argv[]) {
    gMain = Clock::now();
    if (const char* fd = std::getenv("KELVORA_STARTUP_REPORT_FD")) gReportFd = std::atoi(fd);

    QApplication app(argc, argv);
#ifndef KELVORA_STARTUP_FLOOR
    QGuiApplication::setDesktopFileName(QStringLiteral("kelvora"));
#endif
    gSteps[0] = microsecondsSinceMain();

#ifndef KELVORA_STARTUP_FLOOR
    kelvora::ui::Form1 window;
    kelvora::ui::Controller controller{window};
    controller.Form_Load();
#else
    QWidget window;
    window.setFixedSize(339, 236);
#ifdef KELVORA_STARTUP_LABEL
    auto* label = new QLabel(QString::fromUtf8("温度"), &window);
    label->move(32, 72);
#endif
#endif
    gSteps[1] = microsecondsSinceMain();

    FirstPaint firstPaint;
    window.installEventFilter(&firstPaint);
    window.show();
    gSteps[2] = microsecondsSinceMain();
    return QApplication::exec();
}
