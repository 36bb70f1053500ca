// Kelvora: thermocouple and resistance thermometer calculator.
#include <QApplication>
#include <cstdio>

#include "ui/controller.hpp"
#include "ui/qt/form1.hpp"

int main(int argc, char* argv[]) {
#ifdef Q_OS_LINUX
    // Without a display Qt would abort with a long message about platform plugins.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        std::fputs(
            "kelvora: no display found (DISPLAY and WAYLAND_DISPLAY are unset); start it from a "
            "desktop session\n",
            stderr);
        return 1;
    }
#endif

    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("kelvora"));

    kelvora::ui::Form1 window;
    kelvora::ui::Controller controller{window};
    controller.Form_Load();
    window.show();
    return QApplication::exec();
}
