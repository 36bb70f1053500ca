// The Qt window with the real controller, driven by key and mouse events as a user drives it.
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <cmath>
#include <vector>

#include "core/thermocouple.hpp"
#include "ui/box_value.hpp"
#include "ui/controller.hpp"
#include "ui/qt/form1.hpp"

using kelvora::ui::Control;
using kelvora::ui::Controller;
using kelvora::ui::Form1;

namespace {

// The program's start-up: window, controller, Form_Load, show.
struct Running {
    Form1 window;
    Controller controller{window};

    Running() {
        controller.Form_Load();
        window.show();
        window.activateWindow();
    }
    bool ready() { return QTest::qWaitForWindowActive(&window); }

    QLineEdit* box(const char* name) { return window.findChild<QLineEdit*>(name); }
    QLabel* label(const char* name) { return window.findChild<QLabel*>(name); }
    QRadioButton* option(const char* name) { return window.findChild<QRadioButton*>(name); }
    QComboBox* combo() { return window.findChild<QComboBox*>("Combo1"); }
    QString caption(const char* name) { return label(name)->text(); }
};

// Select everything in the box and type over it, one key at a time.
void typeOver(QLineEdit* box, const QString& text) {
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(box, text);
}

QStringList texts(const QSignalSpy& spy) {
    QStringList list;
    for (const QList<QVariant>& args : spy) list << args.at(0).toString();
    return list;
}

// Records the events the window raises and what the window showed while each ran.
struct Recorder final : kelvora::ui::WindowEvents {
    Form1* window = nullptr;
    std::vector<std::string> seen;
    void Combo1_Click() override { seen.push_back("click " + std::to_string(window->listIndex())); }
    void Text1_Change() override { seen.push_back("text1 " + window->text(Control::Text1)); }
    void Text2_Change() override { seen.push_back("text2 " + window->text(Control::Text2)); }
    void Text3_Change() override { seen.push_back("text3 " + window->text(Control::Text3)); }
};

}  // namespace

class WindowTest : public QObject {
    Q_OBJECT

  private slots:
    void startUp() {
        Running r;
        QVERIFY(r.ready());
        QCOMPARE(r.window.windowTitle(), "Kelvora");
        QCOMPARE(r.window.size(), QSize(339, 236));
        QCOMPARE(r.window.minimumSize(), r.window.maximumSize());
        for (const char* name : {"Label1", "Label2", "Label3", "Label4", "Label5", "Label6",
                                 "Label7", "Label8", "Label9", "Label10", "Label11"})
            QVERIFY2(r.label(name) != nullptr, name);
        for (const char* name : {"Text1", "Text2", "Text3"}) QVERIFY2(r.box(name), name);
        QVERIFY(r.option("Option1") && r.option("Option2") && r.combo());

        QCOMPARE(r.box("Text1")->text(), "0");
        QCOMPARE(r.box("Text2")->text(), "0");
        QCOMPARE(r.box("Text3")->text(), "0.000");
        QStringList items;
        for (int i = 0; i < r.combo()->count(); ++i) items << r.combo()->itemText(i);
        QCOMPARE(items, QStringList({"S", "R", "B", "K", "N", "E", "J", "T", "Pt100", "Pt10",
                                     "Cu100", "Cu50"}));
        QCOMPARE(r.combo()->currentIndex(), 3);
        QCOMPARE(r.combo()->currentText(), "K");
        QCOMPARE(r.caption("Label7"), "热电势");
        QCOMPARE(r.caption("Label8"), "mV");
        QCOMPARE(r.caption("Label9"), "镍铬-镍硅热电偶");
        QCOMPARE(r.caption("Label10"), "温度测量范围 -270℃～1372℃");
        QVERIFY(r.option("Option2")->isChecked() && !r.option("Option1")->isChecked());
        QVERIFY(r.box("Text1")->isEnabled() && r.option("Option1")->isEnabled() &&
                r.option("Option2")->isEnabled());
        QCOMPARE(r.box("Text1")->accessibleName(), "参考温度");
        QCOMPARE(r.box("Text2")->accessibleName(), "温度");
        QCOMPARE(r.box("Text3")->accessibleName(), "热电势");
        QCOMPARE(r.combo()->accessibleName(), "分度号");
        QCOMPARE(r.option("Option1")->accessibleName(), "改变参考温度时计算温度");
    }

    // Each keystroke raises one change; only the other box is rewritten.
    void typingATemperatureUpdatesTheEmfPerKeystroke() {
        Running r;
        QVERIFY(r.ready());
        typeOver(r.box("Text1"), "20");
        QCOMPARE(r.box("Text3")->text(), "-0.798");

        QSignalSpy typed(r.box("Text2"), &QLineEdit::textChanged);
        QStringList emf;
        QTest::keyClick(r.box("Text2"), Qt::Key_A, Qt::ControlModifier);
        for (const QChar key : QStringLiteral("100")) {
            QTest::keyClicks(r.box("Text2"), key);
            emf << r.box("Text3")->text();
        }
        QCOMPARE(emf, QStringList({"-0.759", "-0.401", "3.298"}));
        QCOMPARE(texts(typed), QStringList({"1", "10", "100"}));
        QCOMPARE(r.box("Text1")->text(), "20");
    }

    // Text1 takes 5 characters from the user, Text2 6, Text3 any number; a refused key
    // raises nothing. Texts the controller writes are never cut.
    void typingLimitsAndLongResults() {
        Running r;
        QVERIFY(r.ready());
        QSignalSpy text1(r.box("Text1"), &QLineEdit::textChanged);
        typeOver(r.box("Text1"), "123456");
        QCOMPARE(r.box("Text1")->text(), "12345");
        QCOMPARE(text1.size(), 5);

        QSignalSpy text2(r.box("Text2"), &QLineEdit::textChanged);
        typeOver(r.box("Text2"), "1234567");
        QCOMPARE(r.box("Text2")->text(), "123456");
        QCOMPARE(text2.size(), 6);

        typeOver(r.box("Text1"), "0");
        typeOver(r.box("Text3"), "123456789012");
        QCOMPARE(r.box("Text3")->text(), "123456789012");

        // K at -5.8 mV lies below -190 °C: seven characters, one more than the user may type.
        typeOver(r.box("Text3"), "-5.8");
        const QString t = r.box("Text2")->text();
        QCOMPARE(t.size(), 7);
        QVERIFY2(t.startsWith("-19"), qPrintable(t));
        const double back = kelvora::core::e(kelvora::ui::boxValue(t.toStdString()), 3);
        QVERIFY2(std::abs(back - -5.8) < 0.0005, qPrintable(QString::number(back)));

        // The user still cannot lengthen it, but can shorten it.
        QTest::keyClick(r.box("Text2"), Qt::Key_End);
        QTest::keyClicks(r.box("Text2"), "5");
        QCOMPARE(r.box("Text2")->text(), t);
        QCOMPARE(r.box("Text3")->text(), "-5.8");
        QTest::keyClick(r.box("Text2"), Qt::Key_Backspace);
        QCOMPARE(r.box("Text2")->text(), t.chopped(1));
        QVERIFY(r.box("Text3")->text() != "-5.8");
    }

    // Down to Pt100 by typing its initial into the closed list, back to K through the popup.
    void choosingASensorWithKeysAndMouse() {
        Running r;
        QVERIFY(r.ready());
        typeOver(r.box("Text1"), "20");
        QTest::keyClicks(r.combo(), "P");
        QCOMPARE(r.combo()->currentText(), "Pt100");
        QCOMPARE(r.caption("Label7"), "电阻值");
        QCOMPARE(r.caption("Label8"), "Ω");
        QCOMPARE(r.caption("Label9"), "铂热电阻R0=100");
        QCOMPARE(r.box("Text3")->toolTip(), "输入电阻值");
        QCOMPARE(r.box("Text3")->accessibleName(), "电阻值");
        QCOMPARE(r.box("Text1")->text(), "0");
        QVERIFY(!r.box("Text1")->isEnabled());
        QVERIFY(!r.option("Option1")->isEnabled() && !r.option("Option2")->isEnabled());
        QCOMPARE(r.option("Option2")->toolTip(), "");
        QCOMPARE(r.option("Option2")->accessibleName(), "改变参考温度时计算热电势");
        QCOMPARE(r.box("Text2")->text(), "0");
        QCOMPARE(r.box("Text3")->text(), "100.00");

        QTest::mouseClick(r.combo(), Qt::LeftButton);
        QAbstractItemView* list = r.combo()->view();
        QVERIFY(QTest::qWaitForWindowExposed(list->window()));
        // The popup ignores a release that comes sooner, taking it for the opening click's.
        QTest::qWait(QApplication::doubleClickInterval() + 50);
        const QRect k = list->visualRect(r.combo()->model()->index(3, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          {list->viewport()->width() / 2, k.center().y()});
        QTRY_VERIFY(!list->isVisible());
        QCOMPARE(r.combo()->currentText(), "K");
        QCOMPARE(r.caption("Label7"), "热电势");
        QCOMPARE(r.caption("Label8"), "mV");
        QCOMPARE(r.box("Text3")->accessibleName(), "热电势");
        QCOMPARE(r.option("Option2")->toolTip(), "改变参考温度时计算热电势");
        QVERIFY(r.box("Text1")->isEnabled() && r.option("Option1")->isEnabled());
        QCOMPARE(r.box("Text3")->text(), "0.000");
    }

    // The options clear each other and raise nothing, but the controller sees the choice.
    void optionsAreOneGroup() {
        Running r;
        QVERIFY(r.ready());
        QSignalSpy t1(r.box("Text1"), &QLineEdit::textChanged);
        QSignalSpy t2(r.box("Text2"), &QLineEdit::textChanged);
        QSignalSpy t3(r.box("Text3"), &QLineEdit::textChanged);
        QTest::mouseClick(r.option("Option1"), Qt::LeftButton);
        QVERIFY(r.option("Option1")->isChecked() && !r.option("Option2")->isChecked());
        QTest::mouseClick(r.option("Option2"), Qt::LeftButton);
        QVERIFY(r.option("Option2")->isChecked() && !r.option("Option1")->isChecked());
        QTest::mouseClick(r.option("Option1"), Qt::LeftButton);
        QVERIFY(r.option("Option1")->isChecked() && !r.option("Option2")->isChecked());
        QCOMPARE(t1.size() + t2.size() + t3.size(), 0);

        // With Option1 a new reference temperature recomputes the temperature, not the EMF.
        typeOver(r.box("Text1"), "20");
        const double t = kelvora::ui::boxValue(r.box("Text2")->text().toStdString());
        QVERIFY2(std::abs(t - 20) < 0.05, qPrintable(r.box("Text2")->text()));
        QCOMPARE(r.box("Text3")->text(), "0.000");
    }

    // The focus chain runs Text1, Text2, Text3, Combo1, Option1, Option2. Tab visits the
    // first of the two options and then leaves the group: Qt makes an exclusive group one
    // tab stop (the arrow keys move within it).
    void tabOrder() {
        Running r;
        QVERIFY(r.ready());
        const QStringList order{"Text1", "Text2", "Text3", "Combo1", "Option1", "Option2"};
        QStringList chain;
        QWidget* w = r.box("Text1");
        do {
            if (order.contains(w->objectName())) chain << w->objectName();
            w = w->nextInFocusChain();
        } while (w != r.box("Text1"));
        QCOMPARE(chain, order);

        r.box("Text1")->setFocus(Qt::OtherFocusReason);
        QStringList visited;
        for (int i = 0; i < 5; ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            visited << QApplication::focusWidget()->objectName();
        }
        QCOMPARE(visited, QStringList({"Text2", "Text3", "Combo1", "Option1", "Text1"}));
        for (QWidget* label : r.window.findChildren<QLabel*>())
            QCOMPARE(label->focusPolicy(), Qt::NoFocus);
    }

    // Calls the controller makes: every event runs inside the call, after the window
    // already shows the change; appending to the list raises nothing.
    void eventsFromCode() {
        Form1 window;
        Recorder rec;
        rec.window = &window;
        window.setEvents(&rec);
        window.addListItem("S");
        window.addListItem("R");
        QCOMPARE(window.listIndex(), -1);
        QVERIFY(rec.seen.empty());
        window.setListIndex(1);
        window.setListIndex(1);
        window.setListIndex(2);  // no such item: ignored
        window.setText(Control::Text2, "-123.45");
        window.setText(Control::Text2, "-123.45");
        window.setText(Control::Text1, "t0超限长");
        QCOMPARE(rec.seen, (std::vector<std::string>{"click 1", "click 1", "text2 -123.45",
                                                     "text1 t0超限长"}));
        QCOMPARE(window.text(Control::Text1), "t0超限长");

        window.setEvents(nullptr);
        window.setListIndex(0);
        window.setText(Control::Text3, "1");
        QCOMPARE(rec.seen.size(), 4u);
    }
};

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    WindowTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "window_test.moc"
