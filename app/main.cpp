// Kelvora: thermocouple and resistance thermometer calculator.
#include <CLI/CLI.hpp>
#include <QApplication>
#include <QDir>
#include <QIcon>
#include <cstdio>

#include "ui/controller.hpp"
#include "ui/qt/form1.hpp"

int main(int argc, char* argv[]) {
    // --help and --version are answered without a window, as command-line programs do; any
    // other argument is left to Qt (-platform, -style, ...).
    {
        CLI::App options{
            "Kelvora: thermocouple (ITS-90 types S R B K N E J T) and resistance thermometer "
            "(Pt100 Pt10 Cu100 Cu50) calculator. Opens its window; other arguments are Qt's. "
            "For conversions and graduation tables on the command line see kelvora-cli.",
            "kelvora"};
        options.set_version_flag("--version", "kelvora " KELVORA_VERSION);
        options.allow_extras();
        try {
            options.parse(argc, argv);
        } catch (const CLI::CallForVersion& e) {
            std::printf("%s\n", e.what());
            return 0;
        } catch (const CLI::ParseError& e) {
            return options.exit(e);
        }
    }

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

    // The icon in every size built into the program (each file's size is read from the
    // image), so the window shows it also when the icon theme holds none.
    QIcon icon;
    const QDir icons(QStringLiteral(":/icons"));
    for (const QString& name : icons.entryList(QDir::Files)) {
        icon.addFile(icons.filePath(name));
    }
    QApplication::setWindowIcon(icon);

    kelvora::ui::Form1 window;
    kelvora::ui::Controller controller{window};
    controller.Form_Load();
    window.show();
    return QApplication::exec();
}
