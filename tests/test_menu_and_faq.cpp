#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QtTest>

#include "gui_support.h"
#include "windows/faq_window.h"
#include "windows/main_window.h"

class TestMenuAndFaq : public QObject {
  Q_OBJECT

private slots:
  void init();
  void cleanup();

  void menuTreeIsAsDesigned();
  void menuItemsCarryNoState();
  void keyboardReachesEveryMenu_data();
  void keyboardReachesEveryMenu();
  void speedConversions_data();
  void speedConversions();
  void conversionStopsAtTheFieldThatIsNotANumber_data();
  void conversionStopsAtTheFieldThatIsNotANumber();
  void faqShowsOneWindowWithItsTexts();
  void faqKeepsItsPlaceAndSizeWhenShownAgain();
  void faqIsNotModalAndEscapeDoesNothing();
  void faqResizingMovesNothing();

private:
  template <class T = QWidget>
  T* find(QObject* root, const QString& name) const {
    return support::child<T>(root, name);
  }
  QAction* item(const QString& name) const { return find<QAction>(window_, name); }
  QLineEdit* field(const QString& name) const { return find<QLineEdit>(window_, name); }
  void setFields(const QStringList& namesAndTexts) const {
    for (qsizetype i = 0; i < namesAndTexts.size(); i += 2) field(namesAndTexts[i])->setText(namesAndTexts[i + 1]);
  }
  QStringList speeds() const { return {field("txt4trap")->text(), field("txt8thTrap")->text()}; }
  void activate(QWidget* window) const {
    window->show();
    QApplication::setActiveWindow(window);
    QVERIFY(QTest::qWaitForWindowActive(window));
  }

  std::unique_ptr<support::RecordingProgram> run_;
  torvane::MainWindow* window_ = nullptr;
};

void TestMenuAndFaq::init() {
  run_ = std::make_unique<support::RecordingProgram>();
  window_ = &run_->program.mainWindow();
  activate(window_);
}

void TestMenuAndFaq::cleanup() { run_.reset(); }

namespace {
// "level name caption" for every item, depth first, as the user meets them.
void describe(const QList<QAction*>& actions, int level, QStringList& out) {
  for (QAction* action : actions) {
    if (action->isSeparator()) {
      out << "separator";
      continue;
    }
    QMenu* menu = action->menu();
    out << QString("%1 %2 %3").arg(level).arg(menu ? menu->objectName() : action->objectName(), action->text());
    if (menu) describe(menu->actions(), level + 1, out);
  }
}
}  // namespace

void TestMenuAndFaq::menuTreeIsAsDesigned() {
  QStringList tree;
  describe(window_->menuBar()->actions(), 0, tree);
  QCOMPARE(tree, (QStringList{
                     "0 mnuFile &File",
                     "1 Action &Action",
                     "2 ET HP From MPH/Weight",
                     "2 mnuET ET From HP/Weight",
                     "1 mnuExit Exit",
                     "0 mnuHelp &Help",
                     "1 mnuFAQ &FAQ",
                     "0 mnuOptions &Options",
                     "1 mnuAppear &Appearance",
                     "2 mnuMPH Speed Appear In MPH (Default)",
                     "2 mnuKPH Speed To Appear In KPH",
                 }));
}

// No check marks, no shortcut keys, and nothing changes when a command runs.
void TestMenuAndFaq::menuItemsCarryNoState() {
  const auto snapshot = [this] {
    QStringList state;
    for (QAction* action : window_->menuBar()->findChildren<QAction*>())
      state << QString("%1 %2 %3 %4 %5")
                   .arg(action->text())
                   .arg(action->isCheckable())
                   .arg(action->isChecked())
                   .arg(action->isEnabled())
                   .arg(action->shortcut().toString());
    return state;
  };
  const QStringList before = snapshot();
  for (const QString& shortcut : before) QVERIFY2(shortcut.endsWith(" 0 0 1 "), qPrintable(shortcut));
  setFields({"txtHP1", "300", "txtWeight1", "3000"});
  window_->figureEt();
  item("mnuKPH")->trigger();
  item("ET")->trigger();
  QCOMPARE(snapshot(), before);
}

void TestMenuAndFaq::keyboardReachesEveryMenu_data() {
  QTest::addColumn<int>("menuKey");
  QTest::addColumn<int>("itemKey");
  QTest::addColumn<QString>("opens");   // the sub-menu left open, or "frmFAQ" for the FAQ window
  QTest::addColumn<bool>("faqBehind");  // the FAQ window is open already, behind the calculator
  QTest::newRow("Alt+F, A: Action") << int(Qt::Key_F) << int(Qt::Key_A) << "Action" << false;
  QTest::newRow("Alt+O, A: Appearance") << int(Qt::Key_O) << int(Qt::Key_A) << "mnuAppear" << false;
  QTest::newRow("Alt+H, F: FAQ") << int(Qt::Key_H) << int(Qt::Key_F) << "frmFAQ" << false;
  QTest::newRow("Alt+H, F: the FAQ from behind") << int(Qt::Key_H) << int(Qt::Key_F) << "frmFAQ" << true;
}

void TestMenuAndFaq::keyboardReachesEveryMenu() {
  QFETCH(int, menuKey);
  QFETCH(int, itemKey);
  QFETCH(QString, opens);
  QFETCH(bool, faqBehind);
  if (faqBehind) {
    item("mnuFAQ")->trigger();
    activate(window_);
  }
  QTest::keyClick(window_, Qt::Key(menuKey), Qt::AltModifier);
  QTRY_VERIFY(QApplication::activePopupWidget());
  QTest::keyClick(QApplication::activePopupWidget(), Qt::Key(itemKey));
  if (opens == "frmFAQ") {
    QTRY_VERIFY(run_->program.hasFaq() && run_->program.faq().isVisible());
    QTRY_COMPARE(QApplication::activeWindow(), &run_->program.faq());  // and the keyboard with it
  } else {
    QTRY_COMPARE(QApplication::activePopupWidget()->objectName(), opens);
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
    QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
  }
}

// clang-format off
void TestMenuAndFaq::speedConversions_data() {
  QTest::addColumn<QStringList>("start");  // txt4trap, txt8thTrap
  QTest::addColumn<QString>("commands");   // K for KPH, M for MPH
  QTest::addColumn<QStringList>("end");
  QTest::newRow("KPH twice multiplies twice") << QStringList{"90.2", "72.7"} << "KK" << QStringList{"233.7", "188.3"};
  QTest::newRow("MPH first, then KPH: rounded on the way")
      << QStringList{"90.2", "72.7"} << "MK" << QStringList{"90.1", "72.8"};
  QTest::newRow("typed numbers count as results") << QStringList{"100", "-10"} << "K" << QStringList{"161.0", "-16.1"};
  QTest::newRow("in HP mode, on the hidden fields") << QStringList{"90.2", "72.7"} << "HK"
                                                    << QStringList{"145.2", "117.0"};
}
// clang-format on

void TestMenuAndFaq::speedConversions() {
  QFETCH(QStringList, start);
  QFETCH(QString, commands);
  QFETCH(QStringList, end);
  setFields({"txt4trap", start[0], "txt8thTrap", start[1]});
  for (const QChar command : commands) item(command == 'K' ? "mnuKPH" : command == 'M' ? "mnuMPH" : "ET")->trigger();
  QVERIFY(run_->errors.empty());
  QCOMPARE(speeds(), end);
}

// Before any figure, or where the eighth-mile speed is no number: the
// quarter-mile field is converted and kept up to the field that fails.
// clang-format off
void TestMenuAndFaq::conversionStopsAtTheFieldThatIsNotANumber_data() {
  QTest::addColumn<QStringList>("start");  // txt4trap, txt8thTrap
  QTest::addColumn<bool>("hpMode");
  QTest::addColumn<QString>("detail");
  QTest::addColumn<QStringList>("end");
  const QStringList prompts = {"Text2", "1/8 Mile Trap"};
  const QString quarterMile = "In the quarter-mile trap speed field, \"\u2068Text2\u2069\" is not a number.";
  QTest::newRow("before any figure, ET mode") << prompts << false << quarterMile << prompts;
  QTest::newRow("before any figure, HP mode") << prompts << true << quarterMile << prompts;
  QTest::newRow("the eighth-mile speed is no number")
      << QStringList{"90.2", "fast"} << false
      << "In the eighth-mile trap speed field, \"\u2068fast\u2069\" is not a number." << QStringList{"145.2", "fast"};
}
// clang-format on

void TestMenuAndFaq::conversionStopsAtTheFieldThatIsNotANumber() {
  QFETCH(QStringList, start);
  QFETCH(bool, hpMode);
  QFETCH(QString, detail);
  QFETCH(QStringList, end);
  setFields({"txt4trap", start[0], "txt8thTrap", start[1]});
  if (hpMode) item("ET")->trigger();
  item("mnuKPH")->trigger();
  QCOMPARE(run_->errors.size(), std::size_t(1));
  QCOMPARE(run_->errors[0].kind(), torvane::kTypeMismatch);
  QCOMPARE(QString::fromStdString(run_->errors[0].detail()), detail);
  QCOMPARE(speeds(), end);
}

void TestMenuAndFaq::faqShowsOneWindowWithItsTexts() {
  QVERIFY(!run_->program.hasFaq());
  item("mnuFAQ")->trigger();
  item("mnuFAQ")->trigger();
  const QWidgetList windows = QApplication::topLevelWidgets();
  QCOMPARE(std::ranges::count_if(windows, [](QWidget* w) { return w->objectName() == "frmFAQ"; }), 1);
  torvane::FaqWindow& faq = run_->program.faq();
  QVERIFY(faq.isVisible());
  QCOMPARE(faq.windowTitle(), QString("FAQ"));
  QCOMPARE(QAccessible::queryAccessibleInterface(&faq)->role(), QAccessible::Dialog);  // read in full as it opens
  QCOMPARE(faq.size(), support::desktopScale().rect({0, 0, 305, 244}).size());
  const QList<int> lengths = {95, 263, 76, 187};
  for (int i = 0; i < 4; ++i) {
    const QString text = find<QLabel>(&faq, QString("lblFAQ%1").arg(i + 1))->text();
    QCOMPARE(text.size(), lengths[i]);
    QCOMPARE(text.startsWith("    A - "), i % 2 == 1);
  }
  QVERIFY(find<QLabel>(&faq, "lblFAQ1")->text().contains("does is seem"));
  QVERIFY(find<QLabel>(&faq, "lblFAQ2")->text().endsWith("are.  "));
  QCOMPARE(find<QPushButton>(&faq, "cmdOK")->geometry(), support::desktopScale().rect({128, 208, 57, 25}));
  // Labels and window show one colour, also where the scheme's button face and window differ.
  QPalette scheme = faq.palette();
  scheme.setColor(QPalette::Window, QColor(0x22, 0x20, 0x20));
  scheme.setColor(QPalette::Button, QColor(0x42, 0x42, 0x45));
  faq.setPalette(scheme);
  const QImage shot = faq.grab().toImage();
  QCOMPARE(shot.pixelColor(303, 44), shot.pixelColor(303, 10));  // between the first two labels; in the first
}

void TestMenuAndFaq::faqKeepsItsPlaceAndSizeWhenShownAgain() {
  item("mnuFAQ")->trigger();
  torvane::FaqWindow* faq = &run_->program.faq();
  faq->setGeometry(QRect(QPoint(40, 50), QSize(400, 300)));
  QTest::mouseClick(find<QPushButton>(faq, "cmdOK"), Qt::LeftButton);
  QVERIFY(!faq->isVisible());
  const QRect left = faq->geometry();
  item("mnuFAQ")->trigger();
  QCOMPARE(&run_->program.faq(), faq);
  QVERIFY(faq->isVisible());
  QCOMPARE(faq->geometry(), left);
  faq->close();  // through its frame: hidden like OK, and shown again the same way
  QVERIFY(!faq->isVisible());
  item("mnuFAQ")->trigger();
  QCOMPARE(&run_->program.faq(), faq);
  QCOMPARE(faq->geometry(), left);
}

void TestMenuAndFaq::faqIsNotModalAndEscapeDoesNothing() {
  item("mnuFAQ")->trigger();
  torvane::FaqWindow& faq = run_->program.faq();
  QVERIFY(!faq.parentWidget());
  QCOMPARE(faq.windowModality(), Qt::NonModal);
  activate(&faq);
  QTest::keyClick(&faq, Qt::Key_Escape);
  QTest::keyClick(find<QPushButton>(&faq, "cmdOK"), Qt::Key_Escape);
  QVERIFY(faq.isVisible());
  // the calculator goes on working behind it
  setFields({"txtHP1", "300", "txtWeight1", "3000"});
  QTest::mouseClick(find<QPushButton>(window_, "cmdFigureEt"), Qt::LeftButton);
  QCOMPARE(field("txtET")->text(), QString("12.55"));
}

void TestMenuAndFaq::faqResizingMovesNothing() {
  item("mnuFAQ")->trigger();
  torvane::FaqWindow& faq = run_->program.faq();
  const auto places = [&faq] {
    QList<QRect> places;
    for (const QWidget* child : faq.findChildren<QWidget*>()) places << child->geometry();
    return places;
  };
  const QList<QRect> before = places();
  for (const QSize size : {QSize(600, 500), QSize(120, 90)}) {
    faq.resize(size);
    QCOMPARE(places(), before);
  }
}

QTEST_MAIN(TestMenuAndFaq)
#include "test_menu_and_faq.moc"
