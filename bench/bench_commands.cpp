// The calculator's commands as a user runs them, in-process on the offscreen
// platform: each button is clicked and each menu item triggered, so a command
// goes through the same path as on screen, error reporting included. Prints
// the median time per command and the resident memory before and after, then
// how long a full field's worth pasted takes to be reported as no number, to
// undo and to redo, and how long four megabytes pasted into a full field take
// to be refused, by each way of pasting.
//
//   bench_commands [runs]     runs of each command, 100000 unless given
//   QT_QPA_PLATFORM=xcb xvfb-run -a bench_commands [runs]   on X11, with its selection
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QLocale>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "bench/reproduce.h"
#include "core/runtime_error.h"
#include "windows/main_window.h"
#include "windows/program.h"
#include "windows/text_box.h"

namespace {

using Clock = std::chrono::steady_clock;
using torvane::ErrorKind;

constexpr int kDefaultRuns = 100'000;
constexpr int kWarmUpRuns = 1'000;
constexpr int kPasteRuns = 10;
constexpr double kEtFigureTargetMicroseconds = 20;
constexpr double kPasteTargetMilliseconds = 50;
// Resident memory moves by whole pages: a page first touched by a rarely
// taken path (a deeper stack, the heap's top moving) shows now and then,
// whatever the number of runs. A leak shows in proportion to the runs: even
// one 32-byte block left behind by each command makes 3 MB in 100,000 runs,
// fifty times this allowance.
constexpr long kPageNoiseKb = 64;

// Resident memory in kB, as the kernel counts it now.
long residentKb() {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.starts_with("VmRSS:")) return std::stol(line.substr(6));
  return -1;
}

double microseconds(Clock::duration d) { return std::chrono::duration<double, std::micro>(d).count(); }

struct Spread {
  double median, p99, max;  // microseconds
};
Spread spread(std::vector<double> samples) {
  std::ranges::sort(samples);
  const auto at = [&](double q) { return samples[static_cast<std::size_t>(q * double(samples.size() - 1))]; };
  return {at(0.5), at(0.99), samples.back()};
}

const char* verdict(bool met) { return met ? "met" : "MISSED"; }

class Bench {
public:
  Bench()
      : program_([this](QWidget*, const torvane::RuntimeError& error) {
          reportedAt_ = Clock::now();
          errors_.push_back(error.kind());
        }),
        window_(program_.mainWindow()) {
    window_.show();
  }

  QLineEdit& field(const char* name) const { return *window_.findChild<QLineEdit*>(QString::fromUtf8(name)); }
  QString text(const char* name) const { return field(name).text(); }
  void type(const char* name, const QString& text) const { field(name).setText(text); }
  std::function<void()> button(const char* name) const {
    auto* b = window_.findChild<QPushButton*>(QString::fromUtf8(name));
    return [b] { b->click(); };
  }
  std::function<void()> menuItem(const char* name) const {
    auto* a = window_.findChild<QAction*>(QString::fromUtf8(name));
    return [a] { a->trigger(); };
  }
  torvane::MainWindow& window() const { return window_; }
  const std::vector<ErrorKind>& errors() const { return errors_; }
  Clock::time_point reportedAt() const { return reportedAt_; }

private:
  torvane::Program program_;
  torvane::MainWindow& window_;
  std::vector<ErrorKind> errors_;
  Clock::time_point reportedAt_;
};

// Runs the commands in turn, `runs` times in all, after a warm-up, timing
// each one. Pending paint requests are handled between commands, untimed, as
// the event loop would. Prints one row per command and the memory.
void timeCommands(const char* title, const std::vector<std::pair<const char*, std::function<void()>>>& commands,
                  int runs, std::optional<double> targetMicroseconds) {
  runs += static_cast<int>((commands.size() - std::size_t(runs) % commands.size()) % commands.size());  // whole rounds
  std::vector<double> samples(std::size_t(runs), 0.0);  // microseconds; made and touched before the first reading
  for (int i = 0; i < kWarmUpRuns; ++i) {
    commands[std::size_t(i) % commands.size()].second();
    QCoreApplication::processEvents();
  }
  const long before = residentKb();
  for (int i = 0; i < runs; ++i) {
    const std::size_t which = std::size_t(i) % commands.size();
    const auto start = Clock::now();
    commands[which].second();
    samples[std::size_t(i)] = microseconds(Clock::now() - start);
    QCoreApplication::processEvents();
  }
  const long after = residentKb();

  std::printf("%s, %d commands after %d to warm up:\n", title, runs, kWarmUpRuns);
  for (std::size_t c = 0; c < commands.size(); ++c) {
    std::vector<double> own;
    for (std::size_t i = c; i < std::size_t(runs); i += commands.size()) own.push_back(samples[i]);
    const Spread s = spread(own);
    std::printf("  %-12s median %7.2f us   p99 %7.2f us   max %8.1f us", commands[c].first, s.median, s.p99, s.max);
    if (targetMicroseconds)
      std::printf("   (target < %.0f us: %s)", *targetMicroseconds, verdict(s.median < *targetMicroseconds));
    std::printf("\n");
  }
  std::printf(
      "  resident memory %ld kB before, %ld kB after: %+ld kB (target: no growth, within %ld kB of pages: %s)\n\n",
      before, after, after - before, kPageNoiseKb, verdict(after - before <= kPageNoiseKb));
}

bool expect(const Bench& bench, std::initializer_list<std::pair<const char*, const char*>> fields) {
  bool ok = bench.errors().empty();
  if (!ok) std::printf("  FAULT: a command reported %zu run-time errors\n", bench.errors().size());
  for (const auto& [name, want] : fields)
    if (bench.text(name) != QString::fromUtf8(want)) {
      std::printf("  FAULT: %s shows \"%s\", not \"%s\"\n", name, qPrintable(bench.text(name)), want);
      ok = false;
    }
  return ok;
}

// Sends a standard key, as the user presses it, to the horsepower field.
void press(Bench& bench, QKeySequence::StandardKey standard) {
  const QKeyCombination key = QKeySequence::keyBindings(standard).first()[0];
  QKeyEvent event(QEvent::KeyPress, key.key(), key.keyboardModifiers());
  QApplication::sendEvent(&bench.field("txtHP1"), &event);
}

// Pastes the clipboard over the horsepower field's hint with the paste key,
// and returns when the paste began. Over the hint each time: Qt lays a text
// out again only when it has changed, so a text pasted over itself would cost
// next to nothing.
Clock::time_point pasteOverTheHint(Bench& bench) {
  bench.type("txtHP1", QStringLiteral("Enter HP"));
  QCoreApplication::processEvents();
  bench.field("txtHP1").selectAll();
  const auto start = Clock::now();
  press(bench, QKeySequence::Paste);
  return start;
}

// The paste alone, for texts of growing length: its time should grow in proportion.
void timePasteByLength(Bench& bench) {
  std::printf("The paste alone, by length, %d times each:\n", kPasteRuns);
  for (const int characters : {8'192, 16'384, 32'768, 65'536}) {
    QGuiApplication::clipboard()->setText(QString(characters, QLatin1Char('7')));
    std::vector<double> pastes;  // milliseconds
    for (int i = 0; i < kPasteRuns; ++i) {
      const auto start = pasteOverTheHint(bench);
      pastes.push_back(microseconds(Clock::now() - start) / 1000);
    }
    const Spread paste = spread(pastes);
    std::printf("  %6d characters   median %6.2f ms   max %6.2f ms   %6.1f ms per 65,536\n", characters, paste.median,
                paste.max, paste.median * 65'536 / characters);
  }
}

// A full field's worth pasted over the horsepower with the paste key, then
// Figure: the field must keep all of it, and the type mismatch must be
// reported quickly. The weight is a number, so the pasted text is the one
// read and refused. The repaint that follows is timed too, and then the undo
// and the redo of the paste, each in one step.
bool timePaste(Bench& bench, const char* what, const QString& full) {
  QGuiApplication::clipboard()->setText(full);
  const auto figure = bench.button("cmdFigureEt");
  bench.type("txtWeight1", QStringLiteral("3000"));
  std::vector<double> pastes, reports, totals, repaints, undos, redos;  // milliseconds
  bool ok = true;
  const auto timed = [](const std::function<void()>& step) {
    const auto start = Clock::now();
    step();
    return microseconds(Clock::now() - start) / 1000;
  };
  for (int i = 0; i < kPasteRuns; ++i) {
    const auto pasteStart = pasteOverTheHint(bench);
    const auto figureStart = Clock::now();
    ok &= bench.text("txtHP1") == full;
    const std::size_t reported = bench.errors().size();
    figure();
    if (bench.errors().size() != reported + 1 || bench.errors().back() != torvane::kTypeMismatch) {
      std::printf("  FAULT: Figure with %s did not report a type mismatch\n", what);
      return false;
    }
    pastes.push_back(microseconds(figureStart - pasteStart) / 1000);
    reports.push_back(microseconds(bench.reportedAt() - figureStart) / 1000);
    totals.push_back(microseconds(bench.reportedAt() - pasteStart) / 1000);
    repaints.push_back(timed([] { QCoreApplication::processEvents(); }));
    undos.push_back(timed([&] { press(bench, QKeySequence::Undo); }));
    ok &= bench.text("txtHP1") == QStringLiteral("Enter HP");
    redos.push_back(timed([&] { press(bench, QKeySequence::Redo); }));
    ok &= bench.text("txtHP1") == full;
  }
  const auto row = [](const char* name, const std::vector<double>& samples, const std::string& note = {}) {
    const Spread s = spread(samples);
    std::printf("    %-24s median %7.2f ms   max %7.2f ms%s\n", name, s.median, s.max, note.c_str());
  };
  const std::string target = "   (target < " + std::to_string(int(kPasteTargetMilliseconds)) + " ms: ";
  std::printf("  %s:\n", what);
  row("paste", pastes);
  const double report = spread(reports).median, total = spread(totals).median;
  row("Figure to report", reports, target + verdict(report < kPasteTargetMilliseconds) + ")");
  row("paste, Figure to report", totals, target + verdict(total < kPasteTargetMilliseconds) + ")");
  row("repaint after Figure", repaints);
  row("undo", undos);
  row("redo", redos);
  if (!ok) std::printf("  FAULT: the field did not keep the paste, or undo and redo did not take it back and forth\n");
  return ok;
}

// Sends a key or a mouse button to a widget, pressed and released, as the user does.
void keyClick(QWidget* widget, QKeyCombination key, const QString& text = {}) {
  QKeyEvent press(QEvent::KeyPress, key.key(), key.keyboardModifiers(), text);
  QKeyEvent release(QEvent::KeyRelease, key.key(), key.keyboardModifiers(), text);
  QApplication::sendEvent(widget, &press);
  QApplication::sendEvent(widget, &release);
}

void mouseClick(QWidget* widget, Qt::MouseButton button, QPoint at) {
  const QPointF global = widget->mapToGlobal(QPointF(at));
  QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), global, button, button, Qt::NoModifier);
  QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), global, button, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(widget, &press);
  QApplication::sendEvent(widget, &release);
}

// Four megabytes pasted at the start of a full field, by each way in: the
// field refuses them, keeps its text and reports once the paste's event is
// over. The ways that paste the selection are timed where the desktop has one
// (X11: QT_QPA_PLATFORM=xcb under xvfb-run).
bool timeRefusals(Bench& bench) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  const QString fourMegabytes(4 << 20, QLatin1Char('7'));
  clipboard->setText(fourMegabytes);
  if (clipboard->supportsSelection()) clipboard->setText(fourMegabytes, QClipboard::Selection);
  QLineEdit& field = bench.field("txtHP1");
  const QString full(static_cast<int>(torvane::kMostCharacters), QLatin1Char('1'));
  const QKeyCombination selectionKey = Qt::CTRL | Qt::SHIFT | Qt::Key_Insert;
  struct Way {
    const char* name;
    bool available;
    std::function<void()> paste;
  };
  const Way ways[] = {
      {"Ctrl+V", true, [&] { keyClick(&field, QKeySequence::keyBindings(QKeySequence::Paste).first()[0]); }},
      {"the context menu's Paste", true,
       [&] {
         QContextMenuEvent menu(QContextMenuEvent::Keyboard, QPoint(2, 2), field.mapToGlobal(QPoint(2, 2)));
         QApplication::sendEvent(&field, &menu);
         keyClick(field.findChild<QMenu*>(), Qt::Key_P, QStringLiteral("p"));
       }},
      {"a middle click", clipboard->supportsSelection(),
       [&] {
         mouseClick(&field, Qt::MiddleButton, {1, 2});
       }},
      {"Ctrl+Shift+Insert", QKeySequence::keyBindings(QKeySequence::Paste).contains(QKeySequence(selectionKey)),
       [&] { keyClick(&field, selectionKey); }},
  };
  std::printf("Four megabytes pasted at the start of a full field, refused, %d times each way:\n", kPasteRuns);
  bool ok = true;
  for (const Way& way : ways) {
    if (!way.available) {
      std::printf("  %-26s not a way to paste on this platform\n", way.name);
      continue;
    }
    std::vector<double> totals;  // milliseconds
    for (int i = 0; i < kPasteRuns; ++i) {
      field.setText(full);
      field.setCursorPosition(0);
      QCoreApplication::processEvents();
      const std::size_t reported = bench.errors().size();
      const auto start = Clock::now();
      way.paste();
      QCoreApplication::processEvents();
      ok &= bench.errors().size() == reported + 1 && bench.errors().back() == torvane::kTooLong && field.text() == full;
      totals.push_back(microseconds(bench.reportedAt() - start) / 1000);
    }
    const Spread total = spread(totals);
    std::printf("  %-26s paste to report   median %7.2f ms   max %7.2f ms\n", way.name, total.median, total.max);
  }
  field.setText(QStringLiteral("Enter HP"));
  if (!ok) std::printf("  FAULT: a paste was not refused, or the field did not keep its text\n");
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  printHowToReproduce("bash bench/run.sh commands", argc, argv);
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QLocale::setDefault(QLocale::c());  // "." as the separator, whatever the machine's locale
  const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : kDefaultRuns;
  std::printf("Resident memory with the calculator not yet made: %ld kB\n\n", residentKb());

  Bench bench;
  bool ok = true;

  bench.type("txtHP1", QStringLiteral("300"));
  bench.type("txtWeight1", QStringLiteral("3000"));
  timeCommands("ET-mode Figure (reads 2 fields, writes 4)", {{"Figure", bench.button("cmdFigureEt")}}, runs,
               kEtFigureTargetMicroseconds);
  ok &= expect(bench, {{"txtET", "12.55"}, {"txt4trap", "108.7"}, {"txt8th", "8.10"}, {"txt8thTrap", "87.7"}});

  // KPH then MPH, in turn, so that the speeds go back and forth and never grow.
  timeCommands("Speed units, KPH and MPH in turn",
               {{"KPH", bench.menuItem("mnuKPH")}, {"MPH", bench.menuItem("mnuMPH")}}, runs, std::nullopt);
  ok &= expect(bench, {{"txt4trap", "108.7"}, {"txt8thTrap", "87.7"}});

  bench.window().enterHpMode();
  bench.type("txtWeight", QStringLiteral("3000"));
  bench.type("txtTrapspeed", QStringLiteral("100"));
  timeCommands("HP-mode Figure (reads 2 fields, writes 1)", {{"Figure H.P.", bench.button("cmdFigurehp")}}, runs,
               std::nullopt);
  ok &= expect(bench, {{"txtHP", "234.14"}});

  bench.window().enterEtMode();
  std::printf("A full field's worth pasted into txtHP1, then Figure, %d times each:\n", kPasteRuns);
  const auto full = static_cast<int>(torvane::kMostCharacters);
  ok &= timePaste(bench, "65,536 digits", QString(full, QLatin1Char('7')));
  ok &= timePaste(bench, "65,536 characters of words",
                  QStringLiteral("not a number ").repeated(full / 13 + 1).left(full));
  std::printf("\n");
  ok &= timeRefusals(bench);
  std::printf("\n");
  timePasteByLength(bench);
  return ok ? 0 : 1;
}
