#include "ui/form_model.hpp"

namespace kelvora::ui {

FormModel::FormModel()
    : texts_{{Control::Label7, "热电势"}, {Control::Label8, "mV"}, {Control::Label9, ""},
             {Control::Label10, ""},      {Control::Text1, "0"},   {Control::Text2, "0"},
             {Control::Text3, "0"}},
      toolTips_{{Control::Text1, "冷端温度"},
                {Control::Text2, "输入温度值"},
                {Control::Text3, "输入热电势值"},
                {Control::Combo1, "选择测温元件分度号"},
                {Control::Option1, "改变参考温度时计算温度"},
                {Control::Option2, "改变参考温度时计算热电势"}} {}

void FormModel::setEvents(WindowEvents* events) {
    events_ = events;
}

std::string FormModel::text(Control control) const {
    if (control == Control::Combo1) {
        return listIndex_ >= 0 ? items_[static_cast<std::size_t>(listIndex_)] : std::string();
    }
    const auto it = texts_.find(control);
    return it != texts_.end() ? it->second : std::string();
}

void FormModel::setText(Control control, std::string_view text) {
    std::string& current = texts_[control];
    if (current == text) return;
    current = text;
    if (events_ == nullptr) return;
    switch (control) {
        case Control::Text1:
            events_->Text1_Change();
            break;
        case Control::Text2:
            events_->Text2_Change();
            break;
        case Control::Text3:
            events_->Text3_Change();
            break;
        default:
            break;
    }
}

void FormModel::setCaption(Control label, std::string_view caption) {
    texts_[label] = caption;
}

void FormModel::setToolTip(Control control, std::string_view toolTip) {
    toolTips_[control] = toolTip;
}

void FormModel::setEnabled(Control control, bool enabled) {
    enabled_[control] = enabled;
}

bool FormModel::selected(Control option) const {
    return option == selectedOption_;
}

void FormModel::addListItem(std::string_view item) {
    items_.emplace_back(item);
}

int FormModel::listIndex() const {
    return listIndex_;
}

void FormModel::setListIndex(int index) {
    if (index < -1 || index >= static_cast<int>(items_.size())) return;
    listIndex_ = index;
    if (events_ != nullptr && index >= 0) events_->Combo1_Click();
}

std::string FormModel::toolTip(Control control) const {
    const auto it = toolTips_.find(control);
    return it != toolTips_.end() ? it->second : std::string();
}

bool FormModel::enabled(Control control) const {
    const auto it = enabled_.find(control);
    return it == enabled_.end() || it->second;
}

void FormModel::select(Control option) {
    if (option == Control::Option1 || option == Control::Option2) selectedOption_ = option;
}

std::vector<std::string> FormModel::listItems() const {
    return items_;
}

}  // namespace kelvora::ui
