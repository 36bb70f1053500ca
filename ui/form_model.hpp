// The calculator window as plain data: what the controller reads and writes, with the same
// synchronous events as the real window. Tests drive it exactly as a user drives the window.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "ui/window.hpp"

namespace kelvora::ui {

class FormModel final : public Window {
  public:
    // The window as created: design-time texts and tool-tips, Option2 selected, the list
    // empty with nothing selected.
    FormModel();

    // Window, as the controller uses it.
    void setEvents(WindowEvents* events) override;
    std::string text(Control control) const override;
    void setText(Control control, std::string_view text) override;
    void setCaption(Control label, std::string_view caption) override;
    void setToolTip(Control control, std::string_view toolTip) override;
    void setEnabled(Control control, bool enabled) override;
    bool selected(Control option) const override;
    void addListItem(std::string_view item) override;
    int listIndex() const override;
    void setListIndex(int index) override;

    // As the user sees and uses the window. text() also gives a label's caption; setText()
    // on a box is typing or pasting: the change event runs inside the call. select() clicks
    // an option button, clearing the other, and raises nothing.
    std::string toolTip(Control control) const;
    bool enabled(Control control) const;
    void select(Control option);
    std::vector<std::string> listItems() const;

  private:
    WindowEvents* events_ = nullptr;
    std::map<Control, std::string> texts_;
    std::map<Control, std::string> toolTips_;
    std::map<Control, bool> enabled_;
    Control selectedOption_ = Control::Option2;
    std::vector<std::string> items_;
    int listIndex_ = -1;
};

}  // namespace kelvora::ui
