// The calculator window over the page's elements in a browser, reached through embind. It
// only binds the controls to the Window interface: every decision about what the boxes show
// is the controller's.
#pragma once

#include <emscripten/val.h>

#include <array>
#include <string>
#include <vector>

#include "ui/window.hpp"

namespace kelvora::ui {

class Form1 final : public Window {
  public:
    // Binds the page's controls, found by their names as element ids, as the page shows them
    // before start-up: design-time texts and tool-tips, Option2 selected, the list empty.
    Form1();

    void setEvents(WindowEvents* events) override;
    std::string text(Control box) const override;
    void setText(Control box, std::string_view text) override;
    void setCaption(Control label, std::string_view caption) override;
    void setToolTip(Control control, std::string_view toolTip) override;
    void setEnabled(Control control, bool enabled) override;
    bool selected(Control option) const override;
    void addListItem(std::string_view item) override;
    int listIndex() const override;
    void setListIndex(int index) override;

    // The page's input events: the user edited Text<box + 1> by typing or pasting (the
    // browser has already applied the maximum length), or picked a sensor from the list.
    void boxInput(int box);
    void listChange();

  private:
    emscripten::val element(Control c) const;
    void deliverChange(int box);

    WindowEvents* events_ = nullptr;
    std::vector<emscripten::val> elements_;  // indexed by Control
    std::array<std::string, 3> shown_;       // each box's text as last delivered
};

}  // namespace kelvora::ui
