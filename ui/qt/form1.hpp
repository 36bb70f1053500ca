// The calculator window over Qt Widgets. It only binds the controls to the Window interface:
// every decision about what the boxes show is the controller's.
#pragma once

#include <QWidget>

#include "ui/window.hpp"

class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;

namespace kelvora::ui {

class Form1 final : public QWidget, public Window {
    Q_OBJECT

  public:
    // The Window functions of the same names take a Control; QWidget's own stay usable.
    using QWidget::setEnabled;
    using QWidget::setToolTip;

    // The window as designed: fixed size, design-time texts and tool-tips, Option2
    // selected, the sensor list empty with nothing selected.
    explicit Form1(QWidget* parent = nullptr);
    ~Form1() override;

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

  private:
    QWidget* control(Control c) const;
    QLineEdit* box(Control c) const;
    QLabel* label(Control c) const;
    void deliver(void (WindowEvents::*event)());

    WindowEvents* events_ = nullptr;

    QLabel* label7_;
    QLabel* label8_;
    QLabel* label9_;
    QLabel* label10_;
    QLineEdit* text1_;
    QLineEdit* text2_;
    QLineEdit* text3_;
    QComboBox* combo1_;
    QRadioButton* option1_;
    QRadioButton* option2_;
    bool writingFromCode_ = false;  // while setText writes a box
};

}  // namespace kelvora::ui
