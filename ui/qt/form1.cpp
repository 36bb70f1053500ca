#include "ui/qt/form1.hpp"

#include <QComboBox>
#include <QFontMetricsF>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QScopedValueRollback>
#include <QSignalBlocker>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QValidator>

namespace kelvora::ui {

namespace {

// Limits what the user types into a box to a number of characters. Qt runs validators only
// on edits, never on QLineEdit::setText, but a text longer than the limit left by setText
// would then mark the box's input as invalid, and Qt stops refusing keystrokes in a box
// whose input is already invalid. So whatever is validated while the window writes a box
// is accepted, and a long text it leaves behind still takes no further character from the
// user. (QLineEdit::setMaxLength is no use here: it also cuts texts written from code.)
class LengthLimit final : public QValidator {
  public:
    LengthLimit(qsizetype maxLength, const bool& writingFromCode, QObject* parent)
        : QValidator(parent), max_(maxLength), writingFromCode_(writingFromCode) {}

    State validate(QString& input, int& /*pos*/) const override {
        return writingFromCode_ || input.size() <= max_ ? Acceptable : Invalid;
    }

  private:
    qsizetype max_;
    const bool& writingFromCode_;
};

QString qs(std::string_view utf8) {
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

// Positions a control from its design-time geometry in twips (15 to a pixel).
void place(QWidget* w, int left, int top, int width, int height) {
    w->setGeometry(left / 15, top / 15, width / 15, height / 15);
}

QLabel* makeLabel(QWidget* parent, const char* name, const char* text, int left, int top, int width,
                  int height) {
    auto* label = new QLabel(QString::fromUtf8(text), parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setTextFormat(Qt::PlainText);
    place(label, left, top, width, height);
    return label;
}

QLineEdit* makeBox(QWidget* parent, const char* name, const char* toolTip,
                   const char* accessibleName, int left, int top, int width, int height) {
    auto* box = new QLineEdit(QStringLiteral("0"), parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setToolTip(QString::fromUtf8(toolTip));
    box->setAccessibleName(QString::fromUtf8(accessibleName));
    place(box, left, top, width, height);
    return box;
}

QRadioButton* makeOption(QWidget* parent, const char* name, const char* toolTip, int left,
                         int top) {
    auto* option = new QRadioButton(parent);
    option->setObjectName(QString::fromLatin1(name));
    option->setToolTip(QString::fromUtf8(toolTip));
    // The tool-tip may be emptied later; the name a screen reader announces stays.
    option->setAccessibleName(QString::fromUtf8(toolTip));
    place(option, left, top, 255, 255);
    return option;
}

// Gives `w` the largest font, from `base` down by half points to 7 pt, at which every text
// in `texts` is at most `width` pixels wide. The geometry of the window is fixed, and Latin
// letters and digits in the Chinese faces are wider than in the faces it was laid out in.
void shrinkToFit(QWidget* w, const QFont& base, const QStringList& texts, qreal width) {
    QFont font = base;
    for (qreal size = base.pointSizeF(); size > 7; size -= 0.5) {
        font.setPointSizeF(size);
        const QFontMetricsF metrics(font);
        bool fits = true;
        for (const QString& text : texts) fits = fits && metrics.horizontalAdvance(text) <= width;
        if (fits) break;
    }
    w->setFont(font);
}

void fitLabel(QLabel* label) {
    shrinkToFit(label, label->parentWidget()->font(), {label->text()}, label->width());
}

// Chinese at small sizes: the faces that ship with the common desktops, then anything.
QFont windowFont() {
    QFont font;
    font.setFamilies({QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Micro Hei"),
                      QStringLiteral("Microsoft YaHei"), QStringLiteral("PingFang SC"),
                      QStringLiteral("SimSun"), QStringLiteral("sans-serif")});
    font.setStyleHint(QFont::SansSerif);
    font.setPointSizeF(9);
    return font;
}

// The title in a Song (serif) face.
QFont titleFont() {
    QFont font;
    font.setFamilies({QStringLiteral("SimSun"), QString::fromUtf8("宋体"),
                      QStringLiteral("Noto Serif CJK SC"), QStringLiteral("serif")});
    font.setStyleHint(QFont::Serif);
    font.setPointSizeF(15.75);
    font.setWeight(QFont::Normal);
    return font;
}

}  // namespace

Form1::Form1(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Kelvora"));
    setFixedSize(339, 236);
    setFont(windowFont());

    // Created in tab order.
    text1_ = makeBox(this, "Text1", "冷端温度", "参考温度", 1440, 1080, 615, 270);
    text2_ = makeBox(this, "Text2", "输入温度值", "温度", 1320, 1785, 735, 270);
    text3_ = makeBox(this, "Text3", "输入热电势值", "热电势", 3600, 1785, 855, 270);
    text1_->setValidator(new LengthLimit(5, writingFromCode_, text1_));
    text2_->setValidator(new LengthLimit(6, writingFromCode_, text2_));

    combo1_ = new QComboBox(this);
    combo1_->setObjectName(QStringLiteral("Combo1"));
    combo1_->setEditable(false);
    combo1_->setToolTip(QString::fromUtf8("选择测温元件分度号"));
    combo1_->setAccessibleName(QString::fromUtf8("分度号"));
    combo1_->setMaxVisibleItems(12);
    place(combo1_, 3600, 1080, 855, 300);

    // Siblings with auto-exclusive set form one group: selecting one clears the other.
    option1_ = makeOption(this, "Option1", "改变参考温度时计算温度", 1080, 1800);
    option2_ = makeOption(this, "Option2", "改变参考温度时计算热电势", 3360, 1800);
    option2_->setChecked(true);

    setTabOrder(text1_, text2_);
    setTabOrder(text2_, text3_);
    setTabOrder(text3_, combo1_);
    setTabOrder(combo1_, option1_);
    setTabOrder(option1_, option2_);

    auto* label1 = makeLabel(this, "Label1", "Kelvora", 1080, 240, 3015, 375);
    label1->setFont(titleFont());
    label1->setAlignment(Qt::AlignCenter);
    makeLabel(this, "Label2", "参考温度", 480, 1080, 735, 255);
    makeLabel(this, "Label3", "℃", 2160, 1080, 255, 255);
    makeLabel(this, "Label4", "分度号", 2760, 1080, 615, 255);
    makeLabel(this, "Label5", "温  度", 540, 1800, 615, 255);
    makeLabel(this, "Label6", "℃", 2160, 1800, 255, 255);
    label7_ = makeLabel(this, "Label7", "热电势", 2760, 1800, 615, 255);
    label8_ = makeLabel(this, "Label8", "mV", 4560, 1800, 255, 255);
    label9_ = makeLabel(this, "Label9", "", 480, 2400, 4335, 255);
    label10_ = makeLabel(this, "Label10", "", 480, 2640, 4335, 255);
    makeLabel(this, "Label11", "热电偶按ITS-90参考函数，热电阻按IEC 60751", 480, 3120, 4335, 255);
    for (QLabel* label : findChildren<QLabel*>()) {
        if (label != label1) fitLabel(label);
    }

    // Every event runs inside the change that raised it, before the setter returns.
    connect(
        text1_, &QLineEdit::textChanged, this, [this] { deliver(&WindowEvents::Text1_Change); },
        Qt::DirectConnection);
    connect(
        text2_, &QLineEdit::textChanged, this, [this] { deliver(&WindowEvents::Text2_Change); },
        Qt::DirectConnection);
    connect(
        text3_, &QLineEdit::textChanged, this, [this] { deliver(&WindowEvents::Text3_Change); },
        Qt::DirectConnection);
    connect(
        combo1_, &QComboBox::currentIndexChanged, this,
        [this](int index) {
            if (index >= 0) deliver(&WindowEvents::Combo1_Click);
        },
        Qt::DirectConnection);
}

Form1::~Form1() = default;

void Form1::deliver(void (WindowEvents::*event)()) {
    if (events_ != nullptr) (events_->*event)();
}

QWidget* Form1::control(Control c) const {
    switch (c) {
        case Control::Label7:
            return label7_;
        case Control::Label8:
            return label8_;
        case Control::Label9:
            return label9_;
        case Control::Label10:
            return label10_;
        case Control::Text1:
            return text1_;
        case Control::Text2:
            return text2_;
        case Control::Text3:
            return text3_;
        case Control::Combo1:
            return combo1_;
        case Control::Option1:
            return option1_;
        case Control::Option2:
            return option2_;
    }
    return nullptr;
}

QLineEdit* Form1::box(Control c) const {
    return c == Control::Text1 || c == Control::Text2 || c == Control::Text3
               ? static_cast<QLineEdit*>(control(c))
               : nullptr;
}

QLabel* Form1::label(Control c) const {
    return c == Control::Label7 || c == Control::Label8 || c == Control::Label9 ||
                   c == Control::Label10
               ? static_cast<QLabel*>(control(c))
               : nullptr;
}

void Form1::setEvents(WindowEvents* events) {
    events_ = events;
}

std::string Form1::text(Control c) const {
    if (const QLineEdit* b = box(c)) return b->text().toStdString();
    if (const QLabel* l = label(c)) return l->text().toStdString();
    if (c == Control::Combo1) return combo1_->currentText().toStdString();
    return {};
}

void Form1::setText(Control c, std::string_view text) {
    QLineEdit* b = box(c);
    if (b == nullptr) return;
    {
        const QScopedValueRollback writing(writingFromCode_, true);
        b->setText(qs(text));
    }
    // A box the user is not typing in shows its text from the first character.
    if (!b->hasFocus()) b->setCursorPosition(0);
}

void Form1::setCaption(Control c, std::string_view caption) {
    QLabel* l = label(c);
    if (l == nullptr) return;
    l->setText(qs(caption));
    fitLabel(l);
    // Text3 is announced by what it holds, which Label7 names.
    if (c == Control::Label7) text3_->setAccessibleName(l->text());
}

void Form1::setToolTip(Control c, std::string_view toolTip) {
    if (QWidget* w = control(c)) w->setToolTip(qs(toolTip));
}

void Form1::setEnabled(Control c, bool enabled) {
    if (QWidget* w = control(c)) w->setEnabled(enabled);
}

bool Form1::selected(Control c) const {
    if (c == Control::Option1) return option1_->isChecked();
    if (c == Control::Option2) return option2_->isChecked();
    return false;
}

void Form1::addListItem(std::string_view item) {
    // QComboBox selects the first item put into an empty list; appending selects nothing
    // here and raises no event.
    const QSignalBlocker blocker(combo1_);
    const int before = combo1_->currentIndex();
    combo1_->addItem(qs(item));
    // The open list has room for the window's font even where the closed box has not.
    combo1_->setItemData(combo1_->count() - 1, font(), Qt::FontRole);
    combo1_->setCurrentIndex(before);

    QStringList items;
    for (int i = 0; i < combo1_->count(); ++i) items << combo1_->itemText(i);
    QStyleOptionComboBox option;
    option.initFrom(combo1_);
    const QRect field = combo1_->style()->subControlRect(QStyle::CC_ComboBox, &option,
                                                         QStyle::SC_ComboBoxEditField, combo1_);
    // The style draws the current item 1 px in from either side of its field.
    shrinkToFit(combo1_, font(), items, field.width() - 2);
}

int Form1::listIndex() const {
    return combo1_->currentIndex();
}

void Form1::setListIndex(int index) {
    if (index < -1 || index >= combo1_->count()) return;
    // Setting the position raises the event even when it does not move.
    if (index == combo1_->currentIndex()) {
        if (index >= 0) deliver(&WindowEvents::Combo1_Click);
        return;
    }
    combo1_->setCurrentIndex(index);
}

}  // namespace kelvora::ui
