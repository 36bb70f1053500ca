// Kelvora for Windows: thermocouple and resistance thermometer calculator.
#include "ui/controller.hpp"
#include "ui/win32/form1.hpp"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int showCommand) {
    kelvora::ui::win32::Form1 window{instance};
    kelvora::ui::Controller controller{window};
    controller.Form_Load();
    window.show(showCommand);
    return window.run();
}
