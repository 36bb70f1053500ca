// Kelvora in the browser: the window binding over the page and the controller, started once
// the module has loaded. The page script hands the user's input to the two functions bound
// here.
#include <emscripten/bind.h>

#include "ui/controller.hpp"
#include "ui/web/form1.hpp"

namespace {

kelvora::ui::Form1& window() {
    static kelvora::ui::Form1 form;
    return form;
}

void start() {
    static kelvora::ui::Controller controller{window()};
    controller.Form_Load();
}

void boxInput(int box) {
    window().boxInput(box);
}

void listChange() {
    window().listChange();
}

}  // namespace

EMSCRIPTEN_BINDINGS(kelvora) {
    emscripten::function("start", &start);
    emscripten::function("boxInput", &boxInput);
    emscripten::function("listChange", &listChange);
}
