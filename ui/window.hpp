// The state of the calculator window as the controller sees it, and the events the window
// delivers. Implemented over real Qt widgets by the window and over plain data by FormModel.
#pragma once

#include <string>
#include <string_view>

namespace kelvora::ui {

// The controls the controller touches, by their names in the window.
enum class Control {
    Label7,
    Label8,
    Label9,
    Label10,
    Text1,
    Text2,
    Text3,
    Combo1,
    Option1,
    Option2
};

// The event procedures the window calls. Form_Load is called by whoever creates the window,
// after the controls exist and before the window is first shown.
class WindowEvents {
  public:
    virtual void Combo1_Click() = 0;
    virtual void Text1_Change() = 0;
    virtual void Text2_Change() = 0;
    virtual void Text3_Change() = 0;

  protected:
    ~WindowEvents() = default;
};

// Texts are UTF-8 throughout.
class Window {
  public:
    virtual ~Window() = default;

    // Where the window delivers its events; nullptr for none.
    virtual void setEvents(WindowEvents* events) = 0;

    // A box's text (Text1 to Text3). Writing it raises the box's change event synchronously,
    // inside the write, whenever the text changes; a write is never cut to the box's
    // maximum length, which limits only what the user types.
    virtual std::string text(Control box) const = 0;
    virtual void setText(Control box, std::string_view text) = 0;

    // A label's caption (Label7 to Label10).
    virtual void setCaption(Control label, std::string_view caption) = 0;

    virtual void setToolTip(Control control, std::string_view toolTip) = 0;
    virtual void setEnabled(Control control, bool enabled) = 0;

    // Whether Option1 or Option2 is selected.
    virtual bool selected(Control option) const = 0;

    // The sensor list. Setting the position raises Combo1_Click synchronously; appending an
    // item raises nothing.
    virtual void addListItem(std::string_view item) = 0;
    virtual int listIndex() const = 0;
    virtual void setListIndex(int index) = 0;
};

}  // namespace kelvora::ui
