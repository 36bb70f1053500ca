// Saves a picture of the window as it first appears: kelvora_screenshot FILE.png
#include <QApplication>
#include <QPixmap>
#include <cstdio>

#include "ui/controller.hpp"
#include "ui/qt/form1.hpp"

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fputs("usage: kelvora_screenshot FILE.png\n", stderr);
        return 2;
    }

    kelvora::ui::Form1 window;
    kelvora::ui::Controller controller{window};
    controller.Form_Load();
    window.show();
    QApplication::processEvents();

    const QString path = QString::fromLocal8Bit(argv[1]);
    if (!window.grab().save(path)) {
        std::fprintf(stderr, "kelvora_screenshot: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
