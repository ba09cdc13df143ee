#include <QtTest>

#include "core/estimates.h"
#include "core/numeric_text.h"
#include "core/runtime_error.h"
#include "core/speed_units.h"

using torvane::ErrorKind;

Q_DECLARE_METATYPE(ErrorKind)

namespace {
enum class Estimate { Et, TrapSpeed, EighthEt, EighthTrap, Hp, ToKph, ToMph };

double figure(Estimate estimate, double a, double b) {
  switch (estimate) {
  case Estimate::Et: return torvane::figureEt(a, b);
  case Estimate::TrapSpeed: return torvane::figureTrapSpeed(a, b);
  case Estimate::EighthEt: return torvane::figureEighthEt(a);
  case Estimate::EighthTrap: return torvane::figureEighthTrap(a);
  case Estimate::Hp: return torvane::figureHp(a, b);
  case Estimate::ToKph: return torvane::toKph(a);
  case Estimate::ToMph: return torvane::toMph(a);
  }
  return 0.0;
}
}  // namespace
Q_DECLARE_METATYPE(Estimate)

class TestEstimates : public QObject {
  Q_OBJECT

private slots:
  void figures_data();
  void figures();
  void faults_data();
  void faults();
};

// Raw results to within a few units in the last place (the power function's
// last digits may differ between libraries); the texts exactly.
void TestEstimates::figures_data() {
  QTest::addColumn<Estimate>("estimate");
  QTest::addColumn<double>("a");
  QTest::addColumn<double>("b");
  QTest::addColumn<double>("expected");
  QTest::addColumn<QString>("text");
  // ET mode, HP 300 and weight 3000
  QTest::newRow("ET 3000 / 300") << Estimate::Et << 3000.0 << 300.0 << 12.549582069435724 << "12.55";
  QTest::newRow("trap 300 / 3000") << Estimate::TrapSpeed << 300.0 << 3000.0 << 108.69657440212337 << "108.7";
  QTest::newRow("1/8 ET from 12.55") << Estimate::EighthEt << 12.55 << 0.0 << 8.096774193548388 << "8.10";
  QTest::newRow("1/8 trap from 108.7") << Estimate::EighthTrap << 108.7 << 0.0 << 87.66129032258065 << "87.7";
  // ET mode, HP 150 and weight 2500
  QTest::newRow("ET 2500 / 150") << Estimate::Et << 2500.0 << 150.0 << 14.879174812308156 << "14.88";
  QTest::newRow("trap 150 / 2500") << Estimate::TrapSpeed << 150.0 << 2500.0 << 91.69385331789753 << "91.7";
  QTest::newRow("1/8 ET from 14.88") << Estimate::EighthEt << 14.88 << 0.0 << 9.6 << "9.60";
  QTest::newRow("1/8 trap from 91.7") << Estimate::EighthTrap << 91.7 << 0.0 << 73.95161290322581 << "74.0";
  QTest::newRow("1/8 trap from the unrounded 91.69...")
      << Estimate::EighthTrap << 91.69385331789753 << 0.0 << 73.94665590153026 << "73.9";
  // HP mode
  QTest::newRow("HP 3000 at 100") << Estimate::Hp << 3000.0 << 100.0 << 234.13895866229856 << "234.14";
  QTest::newRow("HP 3000 at 108.7") << Estimate::Hp << 3000.0 << 108.7 << 300.7200014141993 << "300.72";
  QTest::newRow("HP 3000 at the unrounded 108.69...")
      << Estimate::Hp << 3000.0 << 108.69657440212337 << 300.6915714233701 << "300.69";
  QTest::newRow("HP 3000 at -100") << Estimate::Hp << 3000.0 << -100.0 << -234.13895866229856 << "-234.14";
  QTest::newRow("HP 3000 at 0") << Estimate::Hp << 3000.0 << 0.0 << 0.0 << ".00";
  QTest::newRow("HP 3000 at 117") << Estimate::Hp << 3000.0 << 117.0 << 375.0 << "375.00";
  // Odd inputs that still have an answer
  QTest::newRow("ET, equal weight and HP") << Estimate::Et << 3000.0 << 3000.0 << 5.825 << "5.83";
  QTest::newRow("trap, equal weight and HP") << Estimate::TrapSpeed << 3000.0 << 3000.0 << 234.0 << "234.0";
  QTest::newRow("ET, weight 0") << Estimate::Et << 0.0 << 300.0 << 0.0 << ".00";
  QTest::newRow("ET, both negative") << Estimate::Et << -3000.0 << -300.0 << 12.549582069435724 << "12.55";
  QTest::newRow("trap, both negative") << Estimate::TrapSpeed << -300.0 << -3000.0 << 108.69657440212337 << "108.7";
  // Speed units
  QTest::newRow("KPH of 90.2") << Estimate::ToKph << 90.2 << 0.0 << 145.1999912 << "145.2";
  QTest::newRow("MPH of 145.2") << Estimate::ToMph << 145.2 << 0.0 << 90.2000054661 << "90.2";
  QTest::newRow("factor is 1.609756, not 1.609344") << Estimate::ToKph << 1000.0 << 0.0 << 1609.756 << "1609.8";
}

void TestEstimates::figures() {
  QFETCH(Estimate, estimate);
  QFETCH(double, a);
  QFETCH(double, b);
  QFETCH(double, expected);
  QFETCH(QString, text);
  const double result = figure(estimate, a, b);
  QVERIFY2(std::fabs(result - expected) <= 1e-9 * std::max(1.0, std::fabs(expected)),
           qPrintable(QString::number(result, 'g', 17)));
  const auto pattern = text.section('.', 1).size() == 2 ? torvane::DisplayPattern::TwoDecimals
                                                        : torvane::DisplayPattern::OneDecimal;
  QCOMPARE(QString::fromStdString(torvane::formatNumber(result, pattern, ".")), text);
}

void TestEstimates::faults_data() {
  QTest::addColumn<Estimate>("estimate");
  QTest::addColumn<double>("a");
  QTest::addColumn<double>("b");
  QTest::addColumn<ErrorKind>("kind");
  const auto fault = ErrorKind::ArithmeticFault;
  QTest::newRow("ET, HP 0") << Estimate::Et << 3000.0 << 0.0 << fault;
  QTest::newRow("ET, HP and weight 0") << Estimate::Et << 0.0 << 0.0 << fault;
  QTest::newRow("trap, weight 0") << Estimate::TrapSpeed << 300.0 << 0.0 << fault;
  QTest::newRow("ET, negative HP") << Estimate::Et << 3000.0 << -300.0 << ErrorKind::PowerError;
  QTest::newRow("ET, negative weight") << Estimate::Et << -3000.0 << 300.0 << ErrorKind::PowerError;
  QTest::newRow("trap, negative HP") << Estimate::TrapSpeed << -300.0 << 3000.0 << ErrorKind::PowerError;
  QTest::newRow("ET, ratio overflows") << Estimate::Et << 1e300 << 1e-300 << fault;
  QTest::newRow("HP, cube overflows") << Estimate::Hp << 1.0 << 1e200 << fault;
  QTest::newRow("HP, product overflows") << Estimate::Hp << 1e307 << 1e3 << fault;
  QTest::newRow("KPH beyond the double range") << Estimate::ToKph << 1.2e308 << 0.0 << fault;
}

void TestEstimates::faults() {
  QFETCH(Estimate, estimate);
  QFETCH(double, a);
  QFETCH(double, b);
  QFETCH(ErrorKind, kind);
  try {
    const double result = figure(estimate, a, b);
    QFAIL(qPrintable(QString("no error; the result was %1").arg(result)));
  } catch (const torvane::RuntimeError& error) {
    QCOMPARE(error.kind(), kind);
  }
}

QTEST_APPLESS_MAIN(TestEstimates)
#include "test_estimates.moc"
