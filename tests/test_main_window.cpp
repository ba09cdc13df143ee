#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>
#include <algorithm>

#include "gui_support.h"
#include "windows/main_window.h"

using torvane::ErrorKind;

Q_DECLARE_METATYPE(ErrorKind)

class TestMainWindow : public QObject {
  Q_OBJECT

private slots:
  void init();
  void cleanup();

  void opensWithItsTitleAndThePromptSelected();
  void eachHpControlTakesThePlaceOfAnEtControl_data();
  void eachHpControlTakesThePlaceOfAnEtControl();
  void visibleControlsDoNotOverlap();
  void windowHasAFixedClientArea();
  void screenReadersReadInOrder_data();
  void screenReadersReadInOrder();
  void tabVisitsTheControlsInOrder_data();
  void tabVisitsTheControlsInOrder();
  void figureEt_data();
  void figureEt();
  void errorsStopTheCommandAndTheProgramGoesOn_data();
  void errorsStopTheCommandAndTheProgramGoesOn();
  void usesTheLocaleDecimalSeparator_data();
  void usesTheLocaleDecimalSeparator();
  void errorReportIsAModalMessage();

private:
  template <class T = QWidget>
  T* control(const QString& name) const {
    return support::child<T>(window_, name);
  }
  // Types over a field's text; a text too long to type, or beyond printable
  // ASCII, is pasted, as a person would.
  void type(const QString& field, const QString& text) const {
    auto* box = control<QLineEdit>(field);
    box->selectAll();
    const bool typable = std::ranges::all_of(text, [](QChar c) { return c >= ' ' && c <= '~'; });
    if (text.isEmpty()) {
      QTest::keyClick(box, Qt::Key_Delete);
    } else if (text.size() > 100 || !typable) {
      QGuiApplication::clipboard()->setText(text);
      QTest::keySequence(box, QKeySequence::keyBindings(QKeySequence::Paste).first());
    } else {
      QTest::keyClicks(box, text);
    }
  }
  QString text(const QString& field) const { return control<QLineEdit>(field)->text(); }
  // What a shown notification of the calculator tells a screen reader.
  QString told() const {
    QAccessibleInterface* area = QAccessible::queryAccessibleInterface(window_->centralWidget());
    for (int i = 0; i < area->childCount(); ++i)
      if (area->child(i)->role() == QAccessible::Notification && !area->child(i)->state().invisible)
        return area->child(i)->child(0)->text(QAccessible::Name);
    return {};
  }
  void click(const QString& button) const { QTest::mouseClick(control<QPushButton>(button), Qt::LeftButton); }
  QString focused() const {
    return QApplication::focusWidget() ? QApplication::focusWidget()->objectName() : QString();
  }

  std::unique_ptr<support::RecordingProgram> run_;
  torvane::MainWindow* window_ = nullptr;
};

void TestMainWindow::init() {
  run_ = std::make_unique<support::RecordingProgram>();
  window_ = &run_->program.mainWindow();
  window_->show();
  QVERIFY(QTest::qWaitForWindowExposed(window_));
}

void TestMainWindow::cleanup() { run_.reset(); }

// Which controls show and what every field holds, on opening and after each
// switch, the random walk compares with its model.
void TestMainWindow::opensWithItsTitleAndThePromptSelected() {
  QCOMPARE(window_->windowTitle(), QString("Torvane V 1.0"));
  QCOMPARE(window_->objectName(), QString("frmMain"));
  // the first field's prompt is selected backwards, so that its start stays in view
  QCOMPARE(control<QLineEdit>("txtHP1")->selectedText(), QString("Enter HP"));
  QCOMPARE(control<QLineEdit>("txtHP1")->cursorPosition(), 0);
}

// clang-format off
void TestMainWindow::eachHpControlTakesThePlaceOfAnEtControl_data() {
  QTest::addColumn<QString>("et");
  QTest::addColumn<QString>("hp");
  QTest::addColumn<bool>("sameSize");
  QTest::newRow("prompt") << "lbl2" << "lbl1" << false;
  QTest::newRow("first input") << "txtHP1" << "txtWeight" << true;
  QTest::newRow("second input") << "txtWeight1" << "txtTrapspeed" << true;
  QTest::newRow("Figure button") << "cmdFigureEt" << "cmdFigurehp" << true;
  QTest::newRow("first result") << "txt8th" << "txtHP" << true;
}
// clang-format on

void TestMainWindow::eachHpControlTakesThePlaceOfAnEtControl() {
  QFETCH(QString, et);
  QFETCH(QString, hp);
  QFETCH(bool, sameSize);
  QCOMPARE(control(hp)->pos(), control(et)->pos());
  QCOMPARE(control(hp)->size() == control(et)->size(), sameSize);
}

// The only overlap allowed is the bottom pixel of the prompt under the first input.
void TestMainWindow::visibleControlsDoNotOverlap() {
  for (const QStringList& set : {support::kEtSet, support::kHpSet}) {
    for (int i = 0; i < set.size(); ++i)
      for (int j = i + 1; j < set.size(); ++j) {
        const QRect overlap = control(set[i])->geometry() & control(set[j])->geometry();
        if (overlap.isEmpty()) continue;
        const QSet<QString> pair = {set[i], set[j]};
        QVERIFY2(pair == QSet<QString>({"lbl2", "txtHP1"}) && overlap.height() == 1,
                 qPrintable(set[i] + " overlaps " + set[j]));
      }
  }
}

void TestMainWindow::windowHasAFixedClientArea() {
  QCOMPARE(window_->minimumSize(), window_->maximumSize());
  const QWidget* results[] = {control("txt8th"), control("txt8thTrap"), control("txtET"), control("txt4trap")};
  const int tops[] = {160, 192, 224, 256};  // at the design font: eighth-mile above quarter
  for (int i = 0; i < 4; ++i) QCOMPARE(results[i]->y(), support::desktopScale().pixels(tops[i]));
}

// clang-format off
void TestMainWindow::screenReadersReadInOrder_data() {
  QTest::addColumn<bool>("hpMode");
  QTest::addColumn<QStringList>("read");
  QTest::newRow("ET mode") << false << QStringList{
      "StaticText Enter the following information to figure your car's estimated elapsed time.",
      "EditableText Horsepower: Enter the following information to figure your car's estimated elapsed time.",
      "EditableText Car weight", "Button Figure",
      "StaticText 1/8 Mile ET, for Eighth-mile ET", "EditableText Eighth-mile ET",
      "StaticText 1/8 Mile Trap Speed, for Eighth-mile trap speed", "EditableText Eighth-mile trap speed",
      "StaticText 1/4 Mile ET, for Quarter-mile ET", "EditableText Quarter-mile ET",
      "StaticText 1/4 Mile Trap Speed, for Quarter-mile trap speed", "EditableText Quarter-mile trap speed"};
  QTest::newRow("HP mode") << true << QStringList{
      "StaticText Enter the following information to figure your car's rear wheel HP.",
      "EditableText Car weight: Enter the following information to figure your car's rear wheel HP.",
      "EditableText Trap speed", "Button Figure H.P.", "EditableText Rear-wheel horsepower"};
}
// clang-format on

void TestMainWindow::screenReadersReadInOrder() {
  QFETCH(bool, hpMode);
  QFETCH(QStringList, read);
  if (hpMode) window_->enterHpMode();
  QCOMPARE(support::readAloud(window_->centralWidget()), read);
}

// After opening and after a switch that hides the focused control, the focus
// is in the mode's first field, its prompt selected so that typing replaces
// it. Steps: H and E switch modes, T presses Tab.
// clang-format off
void TestMainWindow::tabVisitsTheControlsInOrder_data() {
  QTest::addColumn<QString>("steps");
  QTest::addColumn<QStringList>("stops");
  const QStringList etMode = {"txtHP1",     "txtWeight1", "cmdFigureEt", "txtET",
                              "txt8thTrap", "txt4trap",   "txt8th",      "txtHP1"};
  const QStringList hpMode = {"cmdFigurehp", "txtWeight", "txtTrapspeed", "txtHP", "cmdFigurehp"};
  QTest::newRow("ET mode on opening") << "" << etMode;
  QTest::newRow("HP mode: the weight first, then from the button") << "H" << hpMode.mid(1) + hpMode.mid(1, 1);
  QTest::newRow("back in ET mode") << "HE" << etMode;
  QTest::newRow("ET chosen in ET mode leaves the focus") << "TE" << etMode.mid(1);
}
// clang-format on

void TestMainWindow::tabVisitsTheControlsInOrder() {
  QFETCH(QString, steps);
  QFETCH(QStringList, stops);
  QApplication::setActiveWindow(window_);
  QVERIFY(QTest::qWaitForWindowActive(window_));
  QSignalSpy moves(qApp, &QApplication::focusChanged);
  for (const QChar step : steps) {
    moves.clear();
    if (step == 'T') QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    else step == 'H' ? window_->enterHpMode() : window_->enterEtMode();
  }
  QCOMPARE(focused(), stops.first());
  QVERIFY(moves.count() <= 1);  // straight there, which a screen reader follows
  if (auto* field = qobject_cast<QLineEdit*>(QApplication::focusWidget())) {
    const QString prompt = field->text();
    QTest::keyClicks(field, "300");
    QCOMPARE(field->text(), QString("300"));
    field->setText(prompt);
  }
  for (qsizetype i = 1; i < stops.size(); ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    QCOMPARE(focused(), stops[i]);
  }
}

// clang-format off
void TestMainWindow::figureEt_data() {
  QTest::addColumn<QString>("hp");
  QTest::addColumn<QString>("weight");
  QTest::addColumn<QStringList>("results");  // txtET, txt4trap, txt8th, txt8thTrap
  QTest::newRow("weight and HP equal") << "500" << "500" << QStringList{"5.83", "234.0", "3.76", "188.7"};
  QTest::newRow("300 HP, 3000, with spaces, a plus sign and an exponent")
      << " +300 " << "3e3" << QStringList{"12.55", "108.7", "8.10", "87.7"};
  // the eighth-mile figures from the quarter-mile ones as shown: unrounded, 9.76 and 72.8
  QTest::newRow("100 HP, 1750") << "100" << "1750" << QStringList{"15.12", "90.2", "9.75", "72.7"};
  // cut at 32,767 characters it would read 0, a division by zero
  QTest::newRow("40,000 zeros and 300, pasted") << QString(40'000, '0') + "300" << "3000"
                                                << QStringList{"12.55", "108.7", "8.10", "87.7"};
}
// clang-format on

void TestMainWindow::figureEt() {
  QFETCH(QString, hp);
  QFETCH(QString, weight);
  QFETCH(QStringList, results);
  type("txtET", "99");  // a typed result is replaced
  type("txtHP1", hp);
  type("txtWeight1", weight);
  click("cmdFigureEt");
  QVERIFY(run_->errors.empty());
  QCOMPARE((QStringList{text("txtET"), text("txt4trap"), text("txt8th"), text("txt8thTrap")}), results);
  QCOMPARE(text("txtHP1"), hp);
  // and tells a screen reader, the focus staying on the button
  QCOMPARE(told(),
           QString("Quarter-mile ET %1, quarter-mile trap speed %2, eighth-mile ET %3, eighth-mile trap speed %4.")
               .arg(results[0], results[1], results[2], results[3]));
}

// clang-format off
void TestMainWindow::errorsStopTheCommandAndTheProgramGoesOn_data() {
  QTest::addColumn<QString>("button");
  QTest::addColumn<QStringList>("inputs");  // field, text, field, text...
  QTest::addColumn<ErrorKind>("kind");
  QTest::addColumn<QString>("detail");
  QTest::addColumn<QStringList>("afterwards");  // field, text...: what the fields show after the error
  const QStringList untouched = {"txtET", "Your ET", "txt4trap", "Text2", "txt8th", "1/8 Mile ET",
                                 "txt8thTrap", "1/8 Mile Trap"};
  const QStringList hpUntouched = {"txtHP", "H.P."};
  QTest::newRow("HP still holds its hint")
      << "cmdFigureEt" << QStringList{"txtWeight1", "3000"} << torvane::kTypeMismatch
      << "In the horsepower field, \"\u2068Enter HP\u2069\" is not a number." << untouched;
  QTest::newRow("weight empty, read before HP")
      << "cmdFigureEt" << QStringList{"txtWeight1", ""} << torvane::kTypeMismatch
      << "In the car weight field, \"\u2068\u2069\" is not a number." << untouched;
  QTest::newRow("weight holds a right-to-left override")
      << "cmdFigureEt" << QStringList{"txtWeight1", "\u202E300 number."} << torvane::kTypeMismatch
      << "In the car weight field, \"\u2068<U+202E>300 number.\u2069\" is not a number." << untouched;
  QTest::newRow("HP 0")
      << "cmdFigureEt" << QStringList{"txtHP1", "0", "txtWeight1", "3000"} << torvane::kArithmeticFault
      << "Division by zero while figuring the 1/4 mile ET." << untouched;
  QTest::newRow("weight 0: the ET is written, the trap speed fails")
      << "cmdFigureEt" << QStringList{"txtHP1", "300", "txtWeight1", "0"} << torvane::kArithmeticFault
      << "Division by zero while figuring the 1/4 mile trap speed."
      << QStringList{"txtET", ".00", "txt4trap", "Text2", "txt8th", "1/8 Mile ET", "txt8thTrap", "1/8 Mile Trap"};
  QTest::newRow("both negative: the weight, read first, is refused")
      << "cmdFigureEt" << QStringList{"txtHP1", "-300", "txtWeight1", "-3000"} << torvane::kOutOfRange
      << "In the car weight field, \"\u2068-3000\u2069\" is negative; a negative car weight is refused." << untouched;
  QTest::newRow("HP mode: trap speed read before weight")
      << "cmdFigurehp" << QStringList{"txtWeight", "x", "txtTrapspeed", "y"} << torvane::kTypeMismatch
      << "In the trap speed field, \"\u2068y\u2069\" is not a number." << hpUntouched;
  QTest::newRow("HP mode: both negative, the trap speed read first")
      << "cmdFigurehp" << QStringList{"txtWeight", "-3000", "txtTrapspeed", "-117"} << torvane::kOutOfRange
      << "In the trap speed field, \"\u2068-117\u2069\" is negative; a negative trap speed is refused." << hpUntouched;
  QTest::newRow("HP mode: result beyond the double range")
      << "cmdFigurehp" << QStringList{"txtWeight", "1e300", "txtTrapspeed", "1e200"}
      << torvane::kArithmeticFault << "A result too large to hold while figuring the rear wheel HP." << hpUntouched;
}
// clang-format on

void TestMainWindow::errorsStopTheCommandAndTheProgramGoesOn() {
  QFETCH(QString, button);
  QFETCH(QStringList, inputs);
  QFETCH(ErrorKind, kind);
  QFETCH(QString, detail);
  QFETCH(QStringList, afterwards);
  if (button == "cmdFigurehp") window_->enterHpMode();
  for (qsizetype i = 0; i < inputs.size(); i += 2) type(inputs[i], inputs[i + 1]);
  click(button);
  QCOMPARE(run_->errors.size(), std::size_t(1));
  QCOMPARE(run_->errors[0].kind(), kind);
  QCOMPARE(QString::fromStdString(run_->errors[0].detail()), detail);
  for (qsizetype i = 0; i < afterwards.size(); i += 2) QCOMPARE(text(afterwards[i]), afterwards[i + 1]);
  QCOMPARE(told(), QString());

  // and the program goes on: the next command works
  window_->enterEtMode();
  type("txtHP1", "300");
  type("txtWeight1", "3000");
  click("cmdFigureEt");
  QCOMPARE(run_->errors.size(), std::size_t(1));
  QCOMPARE(text("txt8thTrap"), QString("87.7"));
}

// Written with the mark of the digits 0 to 9; another mark is read where it can mean nothing else.
void TestMainWindow::usesTheLocaleDecimalSeparator_data() {
  QTest::addColumn<QLocale>("locale");
  QTest::addColumn<QChar>("mark");
  QTest::addColumn<QChar>("other");
  QTest::addColumn<bool>("otherRead");
  QTest::newRow("German: a comma, no point") << QLocale("de_DE") << QChar(',') << QChar('.') << false;
  QTest::newRow("Arabic, Egypt: a point, its own mark too") << QLocale("ar_EG") << QChar('.') << QChar(0x066B) << true;
  QTest::newRow("Persian, Iran: a point, its own mark too") << QLocale("fa_IR") << QChar('.') << QChar(0x066B) << true;
}

void TestMainWindow::usesTheLocaleDecimalSeparator() {
  QFETCH(QLocale, locale);
  QFETCH(QChar, mark);
  QFETCH(QChar, other);
  QFETCH(bool, otherRead);
  const auto restore = qScopeGuard([previous = QLocale()] { QLocale::setDefault(previous); });
  QLocale::setDefault(locale);
  type("txtHP1", "300");
  type("txtWeight1", "3000" + QString(other) + "0");
  click("cmdFigureEt");
  QCOMPARE(run_->errors.size(), std::size_t(!otherRead));
  type("txtWeight1", "3000");
  click("cmdFigureEt");
  const QStringList shown = {text("txtET"), text("txt4trap"), text("txt8th"), text("txt8thTrap")};
  QCOMPARE(shown, QStringList({"12.55", "108.7", "8.10", "87.7"}).replaceInStrings(".", QString(mark)));
}

// The message quotes what the user typed: text that looks like HTML shows as
// typed, and its link is not one.
void TestMainWindow::errorReportIsAModalMessage() {
  const QString quote =
      "In the horsepower field, \"\u2068<a href=\"https://example.org\">300</a>\u2069\" is not a number.";
  QString title;
  QString detail;
  QStringList read;
  bool shownAsTyped = false;
  QTimer::singleShot(0, this, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    QVERIFY(box);
    title = box->text();
    detail = box->informativeText();
    read = support::readAloud(box).filter(QRegularExpression("^StaticText"));
    // Wide enough for the message up to the end of its quote, so that the
    // quote stays on one line, and no wider than the whole message.
    shownAsTyped = std::ranges::any_of(box->findChildren<QLabel*>(), [&](const QLabel* label) {
      const QFontMetrics metrics = label->fontMetrics();
      return label->text() == quote && label->textFormat() == Qt::PlainText &&
             label->width() >= metrics.horizontalAdvance(quote.left(quote.indexOf(u'\u2069') + 2)) &&
             label->width() < metrics.horizontalAdvance(quote);
    });
    box->accept();
  });
  torvane::reportInMessageBox(window_, torvane::RuntimeError(torvane::kTypeMismatch, quote.toStdString()));
  QCOMPARE(title, QString("Type mismatch"));
  QCOMPARE(detail, quote);
  QVERIFY(shownAsTyped);
  // read as two sentences, the quote without its isolates
  QCOMPARE(read, QStringList({"StaticText Type mismatch.",
                              "StaticText " + QString(quote).remove(u'\u2068').remove(u'\u2069')}));
}

QTEST_MAIN(TestMainWindow)
#include "test_main_window.moc"
