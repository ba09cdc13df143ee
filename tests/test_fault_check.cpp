#include <QtTest>
#include <cfloat>
#include <cmath>

#include "core/fault_check.h"
#include "core/runtime_error.h"

using torvane::ErrorKind;
using torvane::Guard;

Q_DECLARE_METATYPE(ErrorKind)

// The steps of a calculation, as the estimates run them, under the same
// optimisation the program ships with.
class TestFaultCheck : public QObject {
  Q_OBJECT

private slots:
  void catchesFaults_data();
  void catchesFaults();
  void passesSoundSteps_data();
  void passesSoundSteps();
  void aFaultLeftByThePowerIsCaughtByTheNextCheck();
  void aNewCalculationStartsWithClearFlags();
  void theMessageNamesTheCalculation();
};

namespace {
enum class Step { Divide, Multiply, PowerThenMultiply };
}
Q_DECLARE_METATYPE(Step)

namespace {
double run(Step step, double a, double b) {
  const Guard guard("testing");
  switch (step) {
  case Step::Divide: return guard.divide(a, b);
  case Step::Multiply: return guard.multiply(a, b);
  case Step::PowerThenMultiply: return guard.multiply(guard.power(a, b), 1.0);
  }
  return 0.0;
}
}  // namespace

void TestFaultCheck::catchesFaults_data() {
  QTest::addColumn<Step>("step");
  QTest::addColumn<double>("a");
  QTest::addColumn<double>("b");
  QTest::addColumn<ErrorKind>("kind");
  const auto fault = ErrorKind::ArithmeticFault;
  QTest::newRow("1 / 0") << Step::Divide << 1.0 << 0.0 << fault;
  QTest::newRow("-1 / 0") << Step::Divide << -1.0 << 0.0 << fault;
  QTest::newRow("1 / -0") << Step::Divide << 1.0 << -0.0 << fault;
  QTest::newRow("0 / 0") << Step::Divide << 0.0 << 0.0 << fault;
  QTest::newRow("DBL_MAX / 0.5") << Step::Divide << DBL_MAX << 0.5 << fault;
  QTest::newRow("DBL_MAX * 10") << Step::Multiply << DBL_MAX << 10.0 << fault;
  QTest::newRow("-DBL_MAX * 10") << Step::Multiply << -DBL_MAX << 10.0 << fault;
  QTest::newRow("infinite operand, no flag") << Step::Multiply << double(INFINITY) << 1.0 << fault;
  QTest::newRow("NaN operand, no flag") << Step::Divide << double(NAN) << 1.0 << fault;
  QTest::newRow("pow(10, 400)") << Step::PowerThenMultiply << 10.0 << 400.0 << fault;
  QTest::newRow("pow(0, -1)") << Step::PowerThenMultiply << 0.0 << -1.0 << fault;
  QTest::newRow("pow(-8, 1/3)") << Step::PowerThenMultiply << -8.0 << 1.0 / 3.0 << ErrorKind::PowerError;
  QTest::newRow("pow(-1, 0.333)") << Step::PowerThenMultiply << -1.0 << 0.333 << ErrorKind::PowerError;
}

void TestFaultCheck::catchesFaults() {
  QFETCH(Step, step);
  QFETCH(double, a);
  QFETCH(double, b);
  QFETCH(ErrorKind, kind);
  try {
    const double result = run(step, a, b);
    QFAIL(qPrintable(QString("no error; the result was %1").arg(result)));
  } catch (const torvane::RuntimeError& error) {
    QCOMPARE(error.kind(), kind);
  }
}

void TestFaultCheck::passesSoundSteps_data() {
  QTest::addColumn<Step>("step");
  QTest::addColumn<double>("a");
  QTest::addColumn<double>("b");
  QTest::addColumn<double>("expected");
  QTest::newRow("1 / 3, inexact") << Step::Divide << 1.0 << 3.0 << 1.0 / 3.0;
  QTest::newRow("0 / 5") << Step::Divide << 0.0 << 5.0 << 0.0;
  QTest::newRow("underflow to zero") << Step::Multiply << 1e-300 << 1e-300 << 0.0;
  QTest::newRow("underflow to a subnormal") << Step::Divide << DBL_MIN << 4.0 << DBL_MIN / 4;
  QTest::newRow("DBL_MAX * 1") << Step::Multiply << DBL_MAX << 1.0 << DBL_MAX;
  QTest::newRow("cube of a negative") << Step::PowerThenMultiply << -2.0 << 3.0 << -8.0;
  QTest::newRow("cube root of zero") << Step::PowerThenMultiply << 0.0 << 1.0 / 3.0 << 0.0;
  QTest::newRow("root of a tiny positive") << Step::PowerThenMultiply << 1e-300 << 0.333
                                           << std::pow(1e-300, 0.333);
}

void TestFaultCheck::passesSoundSteps() {
  QFETCH(Step, step);
  QFETCH(double, a);
  QFETCH(double, b);
  QFETCH(double, expected);
  QCOMPARE(run(step, a, b), expected);
}

// The power step has no check of its own; the multiplication after it must
// still see the overflow it left.
void TestFaultCheck::aFaultLeftByThePowerIsCaughtByTheNextCheck() {
  const Guard guard("testing");
  const double huge = guard.power(10.0, 400.0);  // no error yet
  QVERIFY(std::isinf(huge));
  QVERIFY_THROWS_EXCEPTION(torvane::RuntimeError, guard.multiply(1.0, 2.0));
}

void TestFaultCheck::aNewCalculationStartsWithClearFlags() {
  { const Guard left("testing"); left.power(10.0, 400.0); }
  const Guard next("testing");
  QCOMPARE(next.divide(6.0, 3.0), 2.0);
}

void TestFaultCheck::theMessageNamesTheCalculation() {
  try {
    Guard("figuring the 1/4 mile ET").divide(1.0, 0.0);
    QFAIL("no error raised");
  } catch (const torvane::RuntimeError& error) {
    QCOMPARE(error.detail(), std::string("Division by zero while figuring the 1/4 mile ET."));
    QCOMPARE(std::string(error.what()),
             std::string("Arithmetic fault: Division by zero while figuring the 1/4 mile ET."));
  }
}

QTEST_APPLESS_MAIN(TestFaultCheck)
#include "test_fault_check.moc"
