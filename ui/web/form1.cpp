#include "ui/web/form1.hpp"

#include <string_view>

namespace kelvora::ui {

namespace {

using emscripten::val;

// The controls' element ids, in the order of Control.
constexpr std::array<const char*, 10> kIds{"Label7", "Label8", "Label9", "Label10", "Text1",
                                           "Text2",  "Text3",  "Combo1", "Option1", "Option2"};

// embind hands std::string to the page as UTF-8.
val str(std::string_view utf8) {
    return val(std::string(utf8));
}

int boxNumber(Control c) {
    return c == Control::Text1 ? 0 : c == Control::Text2 ? 1 : c == Control::Text3 ? 2 : -1;
}

}  // namespace

Form1::Form1() {
    const val document = val::global("document");
    elements_.reserve(kIds.size());
    for (const char* id : kIds) elements_.push_back(document.call<val>("getElementById", val(id)));
    for (int box = 0; box < 3; ++box)
        shown_[static_cast<std::size_t>(box)] =
            text(static_cast<Control>(static_cast<int>(Control::Text1) + box));
}

val Form1::element(Control c) const {
    return elements_[static_cast<std::size_t>(c)];
}

void Form1::setEvents(WindowEvents* events) {
    events_ = events;
}

void Form1::deliverChange(int box) {
    if (events_ == nullptr) return;
    if (box == 0) events_->Text1_Change();
    if (box == 1) events_->Text2_Change();
    if (box == 2) events_->Text3_Change();
}

std::string Form1::text(Control c) const {
    if (boxNumber(c) >= 0) return element(c)["value"].as<std::string>();
    if (c == Control::Combo1) {
        const int i = listIndex();
        return i < 0 ? std::string() : element(c)["options"][i]["text"].as<std::string>();
    }
    if (c <= Control::Label10) return element(c)["textContent"].as<std::string>();
    return {};
}

// A DOM write raises no input event: the box's change event is raised here, inside the write,
// and only when the text changes. The maximum length is the browser's and limits only the
// user, so the whole text is shown.
void Form1::setText(Control c, std::string_view text) {
    const int box = boxNumber(c);
    if (box < 0) return;
    std::string& shown = shown_[static_cast<std::size_t>(box)];
    if (text == shown) return;
    shown = text;
    element(c).set("value", str(text));
    deliverChange(box);
}

void Form1::boxInput(int box) {
    if (box < 0 || box > 2) return;
    const std::string now = text(static_cast<Control>(static_cast<int>(Control::Text1) + box));
    std::string& shown = shown_[static_cast<std::size_t>(box)];
    if (now == shown) return;
    shown = now;
    deliverChange(box);
}

void Form1::setCaption(Control c, std::string_view caption) {
    if (c <= Control::Label10) element(c).set("textContent", str(caption));
}

void Form1::setToolTip(Control c, std::string_view toolTip) {
    element(c).set("title", str(toolTip));
}

void Form1::setEnabled(Control c, bool enabled) {
    element(c).set("disabled", !enabled);
}

bool Form1::selected(Control c) const {
    return (c == Control::Option1 || c == Control::Option2) && element(c)["checked"].as<bool>();
}

// A select selects its first option as soon as it has one; appending keeps the position.
void Form1::addListItem(std::string_view item) {
    val list = element(Control::Combo1);
    const int before = listIndex();
    val option = val::global("document").call<val>("createElement", val("option"));
    option.set("textContent", str(item));
    list.call<void>("appendChild", option);
    list.set("selectedIndex", before);
}

int Form1::listIndex() const {
    return element(Control::Combo1)["selectedIndex"].as<int>();
}

// Setting the position raises the event even when it does not move, as on the desktop.
void Form1::setListIndex(int index) {
    val list = element(Control::Combo1);
    if (index < -1 || index >= list["length"].as<int>()) return;
    list.set("selectedIndex", index);
    if (index >= 0) listChange();
}

void Form1::listChange() {
    if (events_ != nullptr && listIndex() >= 0) events_->Combo1_Click();
}

}  // namespace kelvora::ui
