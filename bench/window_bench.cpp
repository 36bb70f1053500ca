// One keystroke in the real window, off screen: a key event into Text2, through the
// controller, to Text3 repainted. Beside it the floor: the same key event into a bare
// QLineEdit with no handler, and the same forced repaint of a second bare QLineEdit.
//
// Each iteration is one key (press and release), the forced repaint, and one turn of the
// event loop. The keys type "1", "12", "123" and take them back with three backspaces, so
// every key changes the text.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QWidget>
#include <array>
#include <cstdio>

#include "ui/controller.hpp"
#include "ui/qt/form1.hpp"

namespace {

using kelvora::ui::Control;

constexpr std::array<Qt::Key, 6> kKeys{Qt::Key_1,         Qt::Key_2,         Qt::Key_3,
                                       Qt::Key_Backspace, Qt::Key_Backspace, Qt::Key_Backspace};

// The two boxes a keystroke involves: the one typed into and the one repainted.
struct Target {
    QLineEdit* typed = nullptr;
    QLineEdit* shown = nullptr;
    std::size_t next = 0;  // position in kKeys
};

Target gKelvora;
Target gFloor;

void keystrokes(benchmark::State& state, Target& target) {
    for (auto _ : state) {
        QTest::keyClick(target.typed, kKeys[target.next]);
        target.shown->repaint();
        QCoreApplication::processEvents();
        target.next = target.next + 1 == kKeys.size() ? 0 : target.next + 1;
    }
    state.counters["calls"] = 1;
}

void BM_window_keystroke(benchmark::State& state) {
    keystrokes(state, gKelvora);
}
void BM_window_floor(benchmark::State& state) {
    keystrokes(state, gFloor);
}

bool exposed(QWidget* w) {
    w->show();
    return QTest::qWaitForWindowExposed(w);
}

}  // namespace

BENCHMARK(BM_window_floor);
BENCHMARK(BM_window_keystroke);

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Qt gets no command line: the arguments are Google Benchmark's.
    int qtArgc = 1;
    char* qtArgv[] = {argv[0], nullptr};
    QApplication app(qtArgc, qtArgv);

    // The program's own start-up, then Text2 emptied so typing starts from nothing.
    kelvora::ui::Form1 window;
    kelvora::ui::Controller controller{window};
    controller.Form_Load();
    if (!exposed(&window)) {
        std::fputs("window_bench: the window was never exposed\n", stderr);
        return 1;
    }
    window.setText(Control::Text2, "");
    gKelvora = {window.findChild<QLineEdit*>(QStringLiteral("Text2")),
                window.findChild<QLineEdit*>(QStringLiteral("Text3"))};

    // The floor: an empty window of the same size with two bare boxes where Text2 and
    // Text3 are, the second holding a result-like text.
    QWidget bare;
    bare.setFixedSize(window.size());
    auto* typed = new QLineEdit(&bare);
    auto* shown = new QLineEdit(QStringLiteral("4.920"), &bare);
    typed->setGeometry(gKelvora.typed->geometry());
    shown->setGeometry(gKelvora.shown->geometry());
    if (!exposed(&bare)) {
        std::fputs("window_bench: the floor window was never exposed\n", stderr);
        return 1;
    }
    gFloor = {typed, shown};

    // Each key must reach its box, and in the window go on to change Text3.
    for (const Target* t : {&gKelvora, &gFloor}) {
        const QString before = t->shown->text();
        QTest::keyClick(t->typed, Qt::Key_1);
        const bool typedOne = t->typed->text() == QStringLiteral("1");
        const bool changed = t->shown->text() != before;
        QTest::keyClick(t->typed, Qt::Key_Backspace);
        if (!typedOne || !t->typed->text().isEmpty() || (t == &gKelvora && !changed)) {
            std::fputs("window_bench: a key did not have its effect\n", stderr);
            return 1;
        }
    }

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
