// A model-based random test of the calculator. A seeded walk of user actions
// runs against the real windows and against a small model of what each action
// must do; after every step the two must agree on every field's text, every
// control's visibility, the FAQ window and the errors reported.
//
// The model keeps its own nine texts, the mode and the FAQ window, and works
// each command out itself: which fields it reads in which order, where it
// stops on an error and what it wrote before, and that a later step reads an
// earlier result back as displayed. It borrows from the core only the reading
// and writing of number text; the arithmetic and its faults are its own.
//
// TORVANE_SEED picks another walk, TORVANE_STEPS makes it longer:
//   TORVANE_SEED=7 TORVANE_STEPS=50000 ./test_model_random randomWalk

#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>
#include <array>
#include <cmath>
#include <deque>
#include <map>
#include <optional>
#include <random>
#include <string>

#include "core/numeric_text.h"
#include "core/runtime_error.h"
#include "gui_support.h"
#include "windows/faq_window.h"
#include "windows/main_window.h"

using torvane::DisplayPattern;
using torvane::ErrorKind;

namespace {

constexpr quint64 kDefaultSeed = 20240611;
constexpr int kDefaultSteps = 10000;
const std::string kSeparator = ".";  // the test runs in the C locale

// The nine text boxes: six of ET mode, then three of HP mode.
enum Field { txtHP1, txtWeight1, txtET, txt4trap, txt8th, txt8thTrap, txtWeight, txtTrapspeed, txtHP, kFields };
constexpr const char* kFieldNames[kFields] = {"txtHP1",     "txtWeight1", "txtET",        "txt4trap", "txt8th",
                                              "txt8thTrap", "txtWeight",  "txtTrapspeed", "txtHP"};
// clang-format off
constexpr const char* kInitialTexts[kFields] = {"Enter HP", "Enter Car Weight Here", "Your ET", "Text2",
                                                "1/8 Mile ET", "1/8 Mile Trap", "Enter Car Weight Here",
                                                "Enter Trap Speed Here", "H.P."};
// clang-format on
bool inEtMode(Field field) { return field < txtWeight; }

// clang-format off
enum class Action {
  Type,      // select all of a visible field and type a text over it
  Append,    // type at the end of a visible field
  FigureEt,  // click cmdFigureEt
  FigureHp,  // click cmdFigurehp
  HpMode,    // menu item ET
  EtMode,    // menu item mnuET
  Kph,       // menu item mnuKPH
  Mph,       // menu item mnuMPH
  Faq,       // menu item mnuFAQ
  FaqOk,     // click cmdOK of the FAQ window
  FaqClose,  // close the FAQ window through its frame
};
// clang-format on

// How steps are written in messages and in the hand-picked scripts.
// clang-format off
constexpr std::pair<Action, const char*> kActionNames[] = {
  {Action::FigureEt, "click cmdFigureEt"}, {Action::FigureHp, "click cmdFigurehp"},
  {Action::HpMode, "menu ET (HP mode)"},   {Action::EtMode, "menu mnuET (ET mode)"},
  {Action::Kph, "menu mnuKPH"},            {Action::Mph, "menu mnuMPH"},
  {Action::Faq, "menu mnuFAQ"},            {Action::FaqOk, "click cmdOK"},
  {Action::FaqClose, "close frmFAQ"},
};
// clang-format on

struct Step {
  Action action;
  Field field = txtHP1;  // Type and Append
  std::string text;      // Type and Append

  // txtHP1="300", txtHP1+="5", or an action's name
  QString toString() const {
    if (action == Action::Type || action == Action::Append)
      return QString("%1%2\"%3\"")
          .arg(kFieldNames[field], action == Action::Type ? "=" : "+=", QString::fromStdString(text));
    for (const auto& [known, name] : kActionNames)
      if (known == action) return name;
    return "?";
  }

  // Reads toString's form; the quotes around a typed text may be left out.
  static std::optional<Step> parse(const QString& line) {
    for (const auto& [known, name] : kActionNames)
      if (line == name) return Step{known, txtHP1, {}};
    for (int f = 0; f < kFields; ++f) {
      for (const auto& [action, sign] : {std::pair{Action::Append, "+="}, std::pair{Action::Type, "="}}) {
        const QString prefix = QString(kFieldNames[f]) + sign;
        if (!line.startsWith(prefix)) continue;
        QString text = line.mid(prefix.size());
        if (text.size() >= 2 && text.startsWith('"') && text.endsWith('"')) text = text.mid(1, text.size() - 2);
        return Step{action, Field(f), text.toStdString()};
      }
    }
    return std::nullopt;
  }
};

QString kindName(std::optional<ErrorKind> kind) { return kind ? QString::fromUtf8(kind->title).toLower() : "no error"; }

// Who last wrote a field's text.
enum class Origin { Layout, User, Command };

// What the calculator must do, worked out independently of the windows.
struct Model {
  std::array<std::string, kFields> text;
  std::array<Origin, kFields> origin;
  bool hpMode = false;  // which of the two control sets is shown
  bool faqVisible = false;

  Model() {
    for (int f = 0; f < kFields; ++f) text[f] = kInitialTexts[f];
    origin.fill(Origin::Layout);
  }

  bool visible(Field field) const { return inEtMode(field) != hpMode; }

  // A user can type only into a field on screen and press only a button on screen.
  bool possible(const Step& step) const {
    switch (step.action) {
    case Action::Type:
    case Action::Append: return visible(step.field);
    case Action::FigureEt: return !hpMode;
    case Action::FigureHp: return hpMode;
    case Action::FaqOk:
    case Action::FaqClose: return faqVisible;
    default: return true;
    }
  }

  // Applies a step; returns the error it must report.
  std::optional<ErrorKind> apply(const Step& step) {
    try {
      switch (step.action) {
      case Action::Type: type(step.field, step.text); break;
      case Action::Append: type(step.field, text[step.field] + step.text); break;
      case Action::FigureEt: figureEt(); break;
      case Action::FigureHp: figureHp(); break;
      case Action::HpMode: hpMode = true; break;
      case Action::EtMode: hpMode = false; break;
      case Action::Kph: convertSpeeds(true); break;
      case Action::Mph: convertSpeeds(false); break;
      case Action::Faq: faqVisible = true; break;
      case Action::FaqOk:
      case Action::FaqClose: faqVisible = false; break;
      }
    } catch (const Fault& fault) {
      return fault.kind;
    }
    return std::nullopt;
  }

private:
  struct Fault {
    ErrorKind kind;
  };

  void type(Field field, std::string typed) {
    text[field] = std::move(typed);
    origin[field] = Origin::User;
  }
  double read(Field field) const {
    double value = 0.0;
    if (torvane::readNumber(text[field], kSeparator, value) != torvane::ReadError::None)
      throw Fault{torvane::kTypeMismatch};
    return value;
  }
  // What the user enters: a weight, horsepower or trap speed below zero is refused.
  double input(Field field) const {
    const double value = read(field);
    if (value < 0) throw Fault{torvane::kOutOfRange};
    return value;
  }
  void write(Field field, double value, DisplayPattern pattern) {
    if (!std::isfinite(value)) qFatal("the model itself let a value that is not finite through");
    text[field] = torvane::formatNumber(value, pattern, kSeparator);
    origin[field] = Origin::Command;
  }

  // The arithmetic, with its faults: a step whose result is not finite is an
  // arithmetic fault; a negative number to a fractional power is a power error.
  static double divide(double a, double b) {
    const double result = a / b;
    if (b == 0 || !std::isfinite(result)) throw Fault{torvane::kArithmeticFault};
    return result;
  }
  static double multiply(double a, double b) {
    const double result = a * b;
    if (!std::isfinite(result)) throw Fault{torvane::kArithmeticFault};
    return result;
  }
  static double power(double base, double exponent) {
    if (base < 0 && exponent != std::floor(exponent)) throw Fault{torvane::kPowerError};
    const double result = std::pow(base, exponent);
    if (!std::isfinite(result)) throw Fault{torvane::kArithmeticFault};
    return result;
  }

  // Four steps; each writes its field before the next one reads.
  void figureEt() {
    double weight = input(txtWeight1);
    double hp = input(txtHP1);
    write(txtET, multiply(power(divide(weight, hp), 1.0 / 3.0), 5.825), DisplayPattern::TwoDecimals);
    hp = input(txtHP1);
    weight = input(txtWeight1);
    write(txt4trap, multiply(power(divide(hp, weight), 0.333), 234.0), DisplayPattern::OneDecimal);
    // the eighth-mile figures come from the quarter-mile ones as displayed
    write(txt8th, divide(read(txtET), 1.55), DisplayPattern::TwoDecimals);
    write(txt8thTrap, divide(read(txt4trap), 1.24), DisplayPattern::OneDecimal);
  }

  void figureHp() {
    const double trapSpeed = input(txtTrapspeed);
    const double weight = input(txtWeight);
    write(txtHP, multiply(weight, power(divide(trapSpeed, 234.0), 3.0)), DisplayPattern::TwoDecimals);
  }

  // The quarter-mile speed is written before the eighth-mile one is read.
  void convertSpeeds(bool toKph) {
    for (const Field field : {txt4trap, txt8thTrap}) {
      const double speed = read(field);
      write(field, toKph ? multiply(speed, 1.609756) : divide(speed, 1.609756), DisplayPattern::OneDecimal);
    }
  }
};

// --- The random walk's choices ------------------------------------------------

using Rng = std::mt19937_64;  // the same sequence on every platform

int below(Rng& rng, int n) { return int(rng() % quint64(n)); }
int between(Rng& rng, int low, int high) { return low + below(rng, high - low + 1); }
template <class T, std::size_t N>
const T& pick(Rng& rng, const T (&items)[N]) {
  return items[below(rng, int(N))];
}

// clang-format off
constexpr const char* kOddNumbers[] = {
  "0", "-0", "0.0", ".0", ".5", "-.5", "5.", "+12", " 12 ", "1e3", "2.5E-1", "1e300", "-1e300", "1e308",
  "1.7976931348623157e308", "-1.7976931348623157e308", "1e154", "1e-300", "4.9e-324", "1e-320",
  "123456789012345678901234567890", "0.000001", "99.95", "0.05", "-0.04", "1e-8", "1e100", "1e200",
};
// clang-format on
// clang-format off
constexpr const char* kNotNumbers[] = {
  "", "abc", "inf", "-inf", "nan", "NaN", "Infinity", "1e999", "-1e999", "1e-999", "3,000", ".", "-", "+",
  "1e", "e5", "12abc", "1 2", "--1", "0x10", "1.2.3", "Enter HP", "Enter Car Weight Here",
  "Enter Trap Speed Here", "Your ET", "Text2", "1/8 Mile ET", "1/8 Mile Trap", "H.P.",
};
// clang-format on
constexpr const char* kSuffixes[] = {"0", "5", "9", ".5", ".", "e3", "e300", "e-300", "x", " ", "-"};

// Mostly plausible figures for the field, so that commands often get far.
std::string plausible(Rng& rng, Field field) {
  switch (field) {
  case txtHP1: return std::to_string(between(rng, 50, 1500));
  case txtWeight1:
  case txtWeight: return std::to_string(between(rng, 800, 6000));
  case txtTrapspeed:
  case txt4trap:
  case txt8thTrap: return std::to_string(between(rng, 30, 250)) + "." + std::to_string(below(rng, 10));
  default: return std::to_string(between(rng, 1, 400)) + "." + std::to_string(between(rng, 10, 99));
  }
}

std::string randomText(Rng& rng, Field field) {
  switch (below(rng, 10)) {
  case 0:
  case 1:
  case 2:
  case 3:
  case 4: return plausible(rng, field);
  case 5: return std::to_string(between(rng, -10000, 10000));
  case 6: return std::to_string(between(rng, -999, 999)) + "." + std::to_string(between(rng, 0, 999));
  case 7:  // now and then a long run of digits, up to beyond the double range
    return below(rng, 16) ? pick(rng, kOddNumbers) : "1" + std::string(between(rng, 300, 310), '0');
  default: return pick(rng, kNotNumbers);
  }
}

Field randomVisibleField(Rng& rng, const Model& model) {
  static constexpr Field kEtInputs[] = {txtHP1, txtWeight1};
  static constexpr Field kEtResults[] = {txtET, txt4trap, txt8th, txt8thTrap};
  static constexpr Field kHpInputs[] = {txtWeight, txtTrapspeed};
  const bool input = below(rng, 10) < 6;
  if (model.hpMode) return input ? pick(rng, kHpInputs) : txtHP;
  return input ? pick(rng, kEtInputs) : pick(rng, kEtResults);
}

Step randomStep(Rng& rng, const Model& model) {
  // clang-format off
  static constexpr std::pair<Action, int> kWeights[] = {
    {Action::Type, 40}, {Action::Append, 6}, {Action::FigureEt, 14}, {Action::FigureHp, 14},
    {Action::HpMode, 6}, {Action::EtMode, 5}, {Action::Kph, 8}, {Action::Mph, 6},
    {Action::Faq, 3},   {Action::FaqOk, 3},  {Action::FaqClose, 1},
  };
  // clang-format on
  int total = 0;
  for (const auto& entry : kWeights) total += entry.second;
  for (;;) {
    int roll = below(rng, total);
    Action action = kWeights[0].first;
    for (const auto& [candidate, weight] : kWeights) {
      if (roll < weight) {
        action = candidate;
        break;
      }
      roll -= weight;
    }
    Step step{action, txtHP1, {}};
    if (action == Action::Type || action == Action::Append) {
      step.field = randomVisibleField(rng, model);
      step.text = action == Action::Type ? randomText(rng, step.field) : pick(rng, kSuffixes);
    }
    if (model.possible(step)) return step;
  }
}

quint64 seedFromEnvironment(bool* ok) {
  *ok = true;
  if (!qEnvironmentVariableIsSet("TORVANE_SEED")) return kDefaultSeed;
  return qEnvironmentVariable("TORVANE_SEED").toULongLong(ok, 0);
}

}  // namespace

class TestModelRandom : public QObject {
  Q_OBJECT

private slots:
  void initTestCase();
  void init();
  void cleanup();

  void randomWalk();
  void handPicked_data();
  void handPicked();

private:
  void perform(const Step& step) const;
  // Runs a step on the windows and on the model; returns what disagrees, or nothing.
  QString run(const Step& step, Model& model, std::optional<ErrorKind>* outcome = nullptr) const;
  QString compare(const Model& model, std::size_t errorsBefore, std::optional<ErrorKind> expected) const;

  std::unique_ptr<support::RecordingProgram> run_;
  torvane::MainWindow* window_ = nullptr;
  std::array<QLineEdit*, kFields> fields_{};
  std::vector<std::pair<QWidget*, bool>> controls_;  // and whether it belongs to ET mode
};

QtMessageHandler qtTestHandler = nullptr;

// The offscreen platform cannot raise a window and says so each time the FAQ
// window is shown; that says nothing about the program.
void dropRaiseWarnings(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (message != "This plugin does not support raise()") qtTestHandler(type, context, message);
}

void TestModelRandom::initTestCase() {
  QLocale::setDefault(QLocale::c());
  qtTestHandler = qInstallMessageHandler(dropRaiseWarnings);
}

void TestModelRandom::init() {
  run_ = std::make_unique<support::RecordingProgram>();
  window_ = &run_->program.mainWindow();
  window_->show();
  QVERIFY(QTest::qWaitForWindowExposed(window_));
  for (int f = 0; f < kFields; ++f) {
    fields_[f] = window_->findChild<QLineEdit*>(kFieldNames[f]);
    QVERIFY2(fields_[f], kFieldNames[f]);
  }
  controls_.clear();
  for (const QStringList* set : {&support::kEtSet, &support::kHpSet})
    for (const QString& name : *set) {
      QWidget* control = window_->findChild<QWidget*>(name);
      QVERIFY2(control, qPrintable(name));
      controls_.emplace_back(control, set == &support::kEtSet);
    }
}

void TestModelRandom::cleanup() { run_.reset(); }

void TestModelRandom::perform(const Step& step) const {
  const auto menu = [this](const char* name) { support::child<QAction>(window_, name)->trigger(); };
  const auto click = [](QWidget* window, const char* name) {
    QTest::mouseClick(support::child<QPushButton>(window, name), Qt::LeftButton);
  };
  QLineEdit* box = fields_[step.field];
  switch (step.action) {
  case Action::Type:
    box->selectAll();
    if (step.text.empty()) QTest::keyClick(box, Qt::Key_Delete);
    else QTest::keyClicks(box, QString::fromStdString(step.text));
    break;
  case Action::Append:
    box->end(false);
    QTest::keyClicks(box, QString::fromStdString(step.text));
    break;
  case Action::FigureEt: click(window_, "cmdFigureEt"); break;
  case Action::FigureHp: click(window_, "cmdFigurehp"); break;
  case Action::HpMode: menu("ET"); break;
  case Action::EtMode: menu("mnuET"); break;
  case Action::Kph: menu("mnuKPH"); break;
  case Action::Mph: menu("mnuMPH"); break;
  case Action::Faq: menu("mnuFAQ"); break;
  case Action::FaqOk: click(&run_->program.faq(), "cmdOK"); break;
  case Action::FaqClose: run_->program.faq().close(); break;
  }
}

QString TestModelRandom::run(const Step& step, Model& model, std::optional<ErrorKind>* outcome) const {
  const std::size_t errorsBefore = run_->errors.size();
  perform(step);
  const std::optional<ErrorKind> expected = model.apply(step);
  if (outcome) *outcome = expected;
  return compare(model, errorsBefore, expected);
}

QString TestModelRandom::compare(const Model& model, std::size_t errorsBefore,
                                 std::optional<ErrorKind> expected) const {
  QStringList problems;
  for (int f = 0; f < kFields; ++f) {
    const QString shown = fields_[f]->text();
    const QString wanted = QString::fromStdString(model.text[f]);
    if (shown != wanted) problems << QString("%1 shows \"%2\", expected \"%3\"").arg(kFieldNames[f], shown, wanted);
    // Only a user can put inf or nan into a field, and whatever a command
    // writes must read back as a number.
    if (model.origin[f] != Origin::User &&
        (shown.contains("inf", Qt::CaseInsensitive) || shown.contains("nan", Qt::CaseInsensitive)))
      problems << QString("%1 shows \"%2\"").arg(kFieldNames[f], shown);
    double value = 0.0;
    if (model.origin[f] == Origin::Command &&
        torvane::readNumber(shown.toStdString(), kSeparator, value) != torvane::ReadError::None)
      problems << QString("%1 shows \"%2\", which does not read back as a number").arg(kFieldNames[f], shown);
  }
  for (const auto& [control, etMode] : controls_)
    if (control->isVisible() != (etMode != model.hpMode))
      problems << QString("%1 is %2").arg(control->objectName(), control->isVisible() ? "shown" : "hidden");
  if (!window_->isVisible()) problems << "the main window is no longer shown: the program ended";
  const bool faqShown = run_->program.hasFaq() && run_->program.faq().isVisible();
  if (faqShown != model.faqVisible) problems << QString("the FAQ window is %1").arg(faqShown ? "shown" : "hidden");

  const std::size_t reported = run_->errors.size() - errorsBefore;
  if (reported != (expected ? 1u : 0u) || (expected && run_->errors.back().kind() != *expected)) {
    QStringList what;
    for (std::size_t i = errorsBefore; i < run_->errors.size(); ++i)
      what << kindName(run_->errors[i].kind()) + " (" + QString::fromStdString(run_->errors[i].detail()) + ")";
    problems
        << QString("reported %1, expected %2").arg(what.isEmpty() ? "no error" : what.join(", "), kindName(expected));
  }
  return problems.join("; ");
}

void TestModelRandom::randomWalk() {
  bool seedOk = false;
  const quint64 seed = seedFromEnvironment(&seedOk);
  QVERIFY2(seedOk, "TORVANE_SEED must be a whole number");
  const int steps =
      qEnvironmentVariableIsSet("TORVANE_STEPS") ? qEnvironmentVariableIntValue("TORVANE_STEPS") : kDefaultSteps;
  Rng rng(seed);
  Model model;
  QVERIFY2(compare(model, 0, std::nullopt).isEmpty(), qPrintable(compare(model, 0, std::nullopt)));

  std::deque<QString> recent;  // the steps before a failure, to reproduce it by hand
  std::map<QString, int> outcomes;
  for (int i = 1; i <= steps; ++i) {
    const Step step = randomStep(rng, model);
    std::optional<ErrorKind> outcome;
    const QString problem = run(step, model, &outcome);
    QVERIFY2(problem.isEmpty(),
             qPrintable(QString("seed %1, step %2: %3\n   %4\n   steps before it: %5")
                            .arg(seed)
                            .arg(i)
                            .arg(step.toString(), problem, QStringList(recent.begin(), recent.end()).join(", "))));
    recent.push_back(step.toString());
    if (recent.size() > 12) recent.pop_front();
    if (step.action != Action::Type && step.action != Action::Append)
      ++outcomes[step.toString() + ": " + kindName(outcome)];
  }

  // The walk must reach the outcomes it is there to test.
  if (steps >= kDefaultSteps) {
    for (const char* needed :
         {"click cmdFigureEt: no error", "click cmdFigureEt: type mismatch", "click cmdFigureEt: arithmetic fault",
          "click cmdFigureEt: out of range", "click cmdFigurehp: no error", "click cmdFigurehp: type mismatch",
          "click cmdFigurehp: out of range", "menu mnuKPH: no error", "menu mnuKPH: type mismatch",
          "menu mnuMPH: no error"})
      QVERIFY2(outcomes[needed] > 0, qPrintable(QString("seed %1 never met %2").arg(seed).arg(needed)));
  }
}

// Scripts for what the walk meets too rarely. Each line is a step, checked
// against the model like any step of the walk. A line may also say:
//   STEP -> OUTCOME        the error the step must report, or "no error"
//   STEP until OUTCOME     repeat the step until it reports that error
//   expect FIELD=TEXT      what a field must show now
// clang-format off
void TestModelRandom::handPicked_data() {
  QTest::addColumn<QStringList>("script");

  QTest::newRow("KPH over and over until the speed overflows")
      << QStringList{"txtHP1=300", "txtWeight1=3000", "click cmdFigureEt -> no error",
                     "menu mnuKPH until arithmetic fault", "menu mnuKPH -> arithmetic fault",
                     "menu ET (HP mode)", "menu mnuKPH -> arithmetic fault", "menu mnuET (ET mode)",
                     "menu mnuMPH -> no error", "click cmdFigureEt -> no error", "expect txt4trap=108.7",
                     "expect txt8thTrap=87.7"};
  QTest::newRow("the eighth-mile speed overflows after the quarter-mile one is written")
      << QStringList{"txt4trap=1", "txt8thTrap=1.7e308", "menu mnuKPH -> arithmetic fault",
                     "expect txt4trap=1.6", "expect txt8thTrap=1.7e308"};
  QTest::newRow("speeds too small to show")
      << QStringList{"txt4trap=1e-300", "txt8thTrap=4.9e-324", "menu mnuMPH -> no error", "expect txt4trap=.0",
                     "expect txt8thTrap=.0", "menu mnuKPH -> no error", "expect txt4trap=.0"};
  QTest::newRow("weight minus zero")
      << QStringList{"txtHP1=300", "txtWeight1=-0", "click cmdFigureEt -> arithmetic fault", "expect txtET=.00"};
  QTest::newRow("quotient beyond the double range")
      << QStringList{"txtHP1=1e-300", "txtWeight1=1e300", "click cmdFigureEt -> arithmetic fault",
                     "expect txtET=Your ET"};
  QTest::newRow("an ET of a hundred digits is read back")
      << QStringList{"txtHP1=1e-8", "txtWeight1=1e300", "click cmdFigureEt -> no error", "expect txt4trap=.0",
                     "expect txt8thTrap=.0"};
  QTest::newRow("HP mode: product beyond the double range, a cube too small to show")
      << QStringList{"menu ET (HP mode)", "txtWeight=1e300", "txtTrapspeed=1e100",
                     "click cmdFigurehp -> arithmetic fault", "txtTrapspeed=1e-200", "click cmdFigurehp -> no error",
                     "expect txtHP=.00", "txtWeight=3000", "txtTrapspeed=117", "click cmdFigurehp -> no error",
                     "expect txtHP=375.00"};
}
// clang-format on

void TestModelRandom::handPicked() {
  QFETCH(QStringList, script);
  const auto outcomeNamed = [](const QString& name) -> std::optional<std::optional<ErrorKind>> {
    for (const std::optional<ErrorKind> kind :
         {std::optional<ErrorKind>(), std::optional(torvane::kTypeMismatch), std::optional(torvane::kArithmeticFault),
          std::optional(torvane::kOutOfRange)})
      if (kindName(kind) == name) return kind;
    return std::nullopt;
  };

  Model model;
  for (qsizetype line = 0; line < script.size(); ++line) {
    const QString where = QString("line %1, %2").arg(line + 1).arg(script[line]);
    QString command = script[line];
    if (command.startsWith("expect ")) {
      const std::optional<Step> expectation = Step::parse(command.mid(7));
      QVERIFY2(expectation && expectation->action == Action::Type, qPrintable("cannot read " + where));
      const QString shown = fields_[expectation->field]->text();
      QVERIFY2(shown == QString::fromStdString(expectation->text), qPrintable(where + ": shows " + shown));
      continue;
    }
    std::optional<std::optional<ErrorKind>> wanted;
    int times = 1;
    bool untilWanted = false;
    for (const QString& keyword : {QString(" -> "), QString(" until ")}) {
      const qsizetype at = command.indexOf(keyword);
      if (at < 0) continue;
      wanted = outcomeNamed(command.mid(at + keyword.size()));
      QVERIFY2(wanted, qPrintable("no such outcome: " + where));
      untilWanted = keyword == " until ";
      times = untilWanted ? 5000 : 1;
      command.truncate(at);
    }
    const std::optional<Step> step = Step::parse(command);
    QVERIFY2(step, qPrintable("cannot read " + where));
    QVERIFY2(model.possible(*step), qPrintable("a user cannot do " + where));

    std::optional<ErrorKind> outcome;
    for (int i = 0; i < times; ++i) {
      const QString problem = run(*step, model, &outcome);
      QVERIFY2(problem.isEmpty(), qPrintable(QString("%1, time %2: %3").arg(where).arg(i + 1).arg(problem)));
      if (untilWanted && outcome == *wanted) break;
    }
    if (wanted) QVERIFY2(outcome == *wanted, qPrintable(where + ": " + kindName(outcome)));
  }
}

QTEST_MAIN(TestModelRandom)
#include "test_model_random.moc"
