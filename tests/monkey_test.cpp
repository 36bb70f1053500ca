// The real window with the real controller under a long run of random user input: key
// strokes, pastes, list selections and clicks, checking after every single event what must
// always hold. Reproducible: KELVORA_MONKEY_SEED picks another seed, KELVORA_MONKEY_EVENTS
// another length; a failure names the seed, the event and the events before it.
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QKeySequence>
#include <QLineEdit>
#include <QRadioButton>
#include <QTest>
#include <functional>
#include <iterator>
#include <random>

#include "core/sensors.hpp"
#include "tests/monkey_invariants.hpp"
#include "ui/controller.hpp"
#include "ui/qt/form1.hpp"

namespace msg = kelvora::ui::message;
using kelvora::core::isThermocouple;

namespace {

QString qs(std::string_view s) {
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

// Qt cannot carry an exception through its event loop: one thrown out of a handler ends up
// here and fails the run (or, should it not get this far, aborts the process).
class MonkeyApp final : public QApplication {
  public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override {
        try {
            return QApplication::notify(receiver, event);
        } catch (...) {
            escaped = true;
            return false;
        }
    }
    bool escaped = false;
};

// An edit box and what happened to it during the current event. QLineEdit tells the user's
// edits from the window's writes: textEdited comes only from a key or paste, carrying the
// text the line edit made of it, and QLineEdit::setText (the window's only way to write a
// box) clears isModified(), even when it writes the same text. With isModified cleared
// before each event, the edited box holds exactly what the user put there when it holds the
// textEdited text and is still modified; every textChanged but the edit's own is a write by
// the controller, recorded with the sensor selected at that moment.
struct Box {
    QString name;
    QLineEdit* edit = nullptr;
    int limit = 0;  // characters the user may type; 0 for no limit
    QString before;
    QStringList edits;
    QList<std::pair<QString, int>> changes;
};

// Whether the controller may write `text` into Text<box + 1> while `sensor` is selected.
bool written(int box, const QString& text, int sensor) {
    return kelvora::test::written(box, text.toStdString(), sensor);
}

}  // namespace

class MonkeyTest : public QObject {
    Q_OBJECT

  private slots:
    void randomInputKeepsTheWindowConsistent();

  private:
    int pick(std::size_t n) {
        return std::uniform_int_distribution<int>(0, static_cast<int>(n) - 1)(rng_);
    }
    QString randomText(int length);
    void event(const QString& what, int target, const std::function<void()>& send);
    QString check(int target, int sensorBefore);

    kelvora::ui::Controller* controller_ = nullptr;
    QComboBox* combo_ = nullptr;
    QRadioButton* options_[2] = {};
    Box boxes_[3];
    std::mt19937 rng_;
    long events_ = 0, edits_ = 0, selections_ = 0, writes_ = 0, messages_ = 0;
    QStringList trail_;  // the last events, for the failure message
    QString failure_;
};

// The number alphabet, separators, letters and Chinese.
QString MonkeyTest::randomText(int length) {
    static const QString numeric = QStringLiteral("0123456789.-+eEdD, ");
    static const QString chinese = QStringLiteral("温度超限计算错误热电势铂铑镍铬硅℃Ω～");
    QString s;
    for (int i = 0; i < length; ++i) {
        const int k = pick(10);
        s += k < 4   ? QChar(u'0' + pick(10))
             : k < 7 ? numeric.at(pick(numeric.size()))
             : k < 9 ? QChar((pick(2) ? u'a' : u'A') + pick(26))
                     : chinese.at(pick(chinese.size()));
    }
    return s;
}

// Sends one event to the window (`target`: the box it goes to, or -1) and checks it.
void MonkeyTest::event(const QString& what, int target, const std::function<void()>& send) {
    for (Box& b : boxes_) {
        b.before = b.edit->text();
        b.edits.clear();
        b.changes.clear();
        b.edit->setModified(false);
    }
    const int sensorBefore = combo_->currentIndex();
    trail_.push_back(what);
    if (trail_.size() > 12) trail_.removeFirst();
    ++events_;
    send();
    QCoreApplication::processEvents();  // paint, and whatever else Qt has posted
    failure_ = check(target, sensorBefore);
}

QString MonkeyTest::check(int target, int sensorBefore) {
    const auto& c = *controller_;
    if (!c.HandleText1Change || !c.HandleText2Change || !c.HandleText3Change)
        return QStringLiteral("a guard flag was left cleared");
    if (static_cast<MonkeyApp*>(QCoreApplication::instance())->escaped)
        return QStringLiteral("an exception escaped a handler");
    const int sensor = combo_->currentIndex();
    const bool tc = isThermocouple(sensor);
    const QString t1 = boxes_[0].edit->text();

    bool edited = false, wrote = false;
    for (int i = 0; i < 3; ++i) {
        const Box& b = boxes_[i];
        const QString text = b.edit->text();
        auto writes = b.changes;
        if (!b.edits.isEmpty()) {
            if (i != target) return b.name + " was edited, not the box the keys went to";
            edited = true;
            const QString typed = b.edits.back();
            if (b.limit > 0 && typed.size() > b.limit)
                return b.name + " took \"" + typed + "\" from the user";
            // The one exception: a reference temperature out of range replaces itself.
            const bool replaced = i == 0 && tc && text == qs(msg::kReferenceOutOfRange);
            if (!replaced && text != typed)
                return b.name + " holds \"" + text + "\", not the user's \"" + typed + '"';
            if (!replaced && !b.edit->isModified())
                return b.name + " was written over (with the same text) while the user edited it";
            writes.removeOne({typed, sensor});  // the edit's own textChanged is no write
        } else if (i == target && text != b.before) {
            return b.name + " changed without an edit: \"" + b.before + "\" to \"" + text + '"';
        }
        for (const auto& [w, s] : writes) {
            if (!written(i, w, s))
                return QString::asprintf("the controller wrote \"%s\" into %s (sensor %d)",
                                         qUtf8Printable(w), qUtf8Printable(b.name), s);
            wrote = true;
            ++writes_;
            messages_ += !w.back().isDigit();
        }
    }
    edits_ += edited;
    selections_ += sensor != sensorBefore;
    // Clicks, cursor keys and refused keys raise no event, so no box may change.
    if (!edited && sensor == sensorBefore && wrote)
        return QStringLiteral("a box changed though neither a box nor the list did");

    // A resistance thermometer disables Text1 (reading "0") and both options; a thermocouple
    // enables all three.
    const bool on[] = {boxes_[0].edit->isEnabled(), options_[0]->isEnabled(),
                       options_[1]->isEnabled()};
    if (on[0] != tc || on[1] != tc || on[2] != tc || (!tc && t1 != "0"))
        return QString::asprintf("sensor %d, Text1 \"%s\"; enabled: Text1 %d, options %d %d",
                                 sensor, qUtf8Printable(t1), on[0], on[1], on[2]);

    // A new sensor recomputes the box its option (or the sensor kind) names.
    const int out = !tc || options_[1]->isChecked() ? 2 : 1;
    const QString shown = boxes_[out].edit->text();
    if (sensor != sensorBefore && !written(out, shown, sensor) &&
        !(out == 1 && t1 == qs(msg::kReferenceOutOfRange)))
        return QString::asprintf("sensor %d selected: Text%d holds \"%s\"", sensor, out + 1,
                                 qUtf8Printable(shown));
    return {};
}

void MonkeyTest::randomInputKeepsTheWindowConsistent() {
    bool set = false;
    unsigned seed = qEnvironmentVariableIntValue("KELVORA_MONKEY_SEED", &set);
    if (!set) seed = 20240611;
    long count = qEnvironmentVariableIntValue("KELVORA_MONKEY_EVENTS", &set);
    if (!set || count <= 0) count = 20000;
    rng_.seed(seed);
    qInfo("monkey: seed %u, %ld events (KELVORA_MONKEY_SEED, KELVORA_MONKEY_EVENTS)", seed, count);

    kelvora::ui::Form1 window;
    kelvora::ui::Controller controller{window};
    controller.Form_Load();
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    controller_ = &controller;
    combo_ = window.findChild<QComboBox*>("Combo1");
    options_[0] = window.findChild<QRadioButton*>("Option1");
    options_[1] = window.findChild<QRadioButton*>("Option2");
    QVERIFY(combo_ && options_[0] && options_[1]);
    for (int i = 0; i < 3; ++i) {
        Box& b = boxes_[i];
        b.name = QStringLiteral("Text%1").arg(i + 1);
        b.edit = window.findChild<QLineEdit*>(b.name);
        b.limit = i == 0 ? 5 : i == 1 ? 6 : 0;
        QVERIFY(b.edit);
        // Connected after the window's own connection, so these run once the controller
        // has answered; a write from inside the answer is recorded before the edit.
        connect(b.edit, &QLineEdit::textEdited, this, [&b](const QString& t) { b.edits << t; });
        connect(b.edit, &QLineEdit::textChanged, this, [&b, this](const QString& t) {
            b.changes.append({t, combo_->currentIndex()});
        });
    }

    const QStringList pastes =
        QStringList{qs(msg::kTemperatureOutOfRange), qs(msg::kReferenceOutOfRange),
                    qs(msg::kEmfOutOfRange), qs(msg::kResistanceOutOfRange),
                    qs(msg::kCalculationError)} +
        QStringLiteral("1e999|-1e999|-300|2000|1820|-270|1e-320|0.5d2|  -12.5E+1x|1,5|\t7\n|nan")
            .split('|');
    static const Qt::Key boxKeys[] = {Qt::Key_Backspace, Qt::Key_Backspace, Qt::Key_Delete,
                                      Qt::Key_Home,      Qt::Key_End,       Qt::Key_Left,
                                      Qt::Key_Right,     Qt::Key_A,         Qt::Key_Tab};
    static const Qt::Key listKeys[] = {Qt::Key_Up,     Qt::Key_Down,     Qt::Key_Up,
                                       Qt::Key_Down,   Qt::Key_Home,     Qt::Key_End,
                                       Qt::Key_PageUp, Qt::Key_PageDown, Qt::Key_P};

    while (events_ < count && failure_.isEmpty()) {
        QList<int> enabled;
        for (int i = 0; i < 3; ++i) {
            if (boxes_[i].edit->isEnabled()) enabled << i;
        }
        const int i = enabled.at(pick(enabled.size()));
        QLineEdit* e = boxes_[i].edit;
        const QString name = boxes_[i].name + ": ";
        const int action = pick(100);
        if (action < 72 && !e->hasFocus()) e->setFocus(Qt::OtherFocusReason);
        if (action < 34) {  // a character, as its key's text (QTest::keyClicks: Latin-1 only)
            const QChar ch = randomText(1).at(0);
            const Qt::Key key =
                ch.unicode() < 0x80 ? QTest::asciiToKey(ch.toLatin1()) : Qt::Key_unknown;
            event(name + "type " + ch, i,
                  [&] { QTest::sendKeyEvent(QTest::Click, e, key, ch, Qt::NoModifier); });
        } else if (action < 62) {  // an editing key; A is Ctrl+A, cursor keys at times Shift+
            const Qt::Key key = boxKeys[pick(std::size(boxKeys))];
            const bool cursor = key >= Qt::Key_Home && key <= Qt::Key_Right;
            const Qt::KeyboardModifiers mods = key == Qt::Key_A     ? Qt::ControlModifier
                                               : cursor && !pick(3) ? Qt::ShiftModifier
                                                                    : Qt::NoModifier;
            event(name + QKeySequence(key | mods).toString(), i,
                  [&] { QTest::keyClick(e, key, mods); });
        } else if (action < 72) {  // a paste
            const QString text =
                pick(3) ? pastes.at(pick(pastes.size())) : randomText(1 + pick(pick(2) ? 8 : 300));
            QGuiApplication::clipboard()->setText(text);
            event(name + "paste \"" + text.left(40) + '"', i,
                  [&] { QTest::keyClick(e, Qt::Key_V, Qt::ControlModifier); });
        } else if (action < 78) {  // a click into a box, placing the cursor
            const QPoint at(pick(e->width()), e->height() / 2);
            event(name + "click at x=" + QString::number(at.x()), i,
                  [&] { QTest::mouseClick(e, Qt::LeftButton, {}, at); });
        } else if (action < 94) {  // a sensor chosen with the keys of the closed list
            const Qt::Key key = listKeys[pick(std::size(listKeys))];
            combo_->setFocus(Qt::OtherFocusReason);
            const QString text = key == Qt::Key_P ? QStringLiteral("P") : QString();  // search
            event("Combo1: " + QKeySequence(key).toString(), -1,
                  [&] { QTest::sendKeyEvent(QTest::Click, combo_, key, text, Qt::NoModifier); });
        } else {  // an option button, also while it is disabled
            QRadioButton* option = options_[pick(2)];
            event("click " + option->objectName(), -1,
                  [&] { QTest::mouseClick(option, Qt::LeftButton); });
        }
    }
    QVERIFY2(failure_.isEmpty(),
             qUtf8Printable(QString::asprintf("seed %u, event %ld: ", seed, events_) + failure_ +
                            "\n  after:\n    " + trail_.join("\n    ")));
    qInfo(
        "monkey: seed %u, %ld events held every invariant: %ld edits by the user, %ld sensor "
        "selections, %ld texts written by the controller (%ld of them messages)",
        seed, events_, edits_, selections_, writes_, messages_);
}

int main(int argc, char* argv[]) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    MonkeyApp app(argc, argv);
    MonkeyTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "monkey_test.moc"
