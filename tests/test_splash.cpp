#include <QAction>
#include <QImageReader>
#include <QLabel>
#include <QLineEdit>
#include <QLoggingCategory>
#include <QPushButton>
#include <QtTest>

#include "assets/pictures.h"
#include "gui_support.h"
#include "windows/faq_window.h"
#include "windows/main_window.h"
#include "windows/program.h"
#include "windows/splash_window.h"

namespace {
// What Qt's plugin loader says while the tests run: which plugin folders it
// looks through and which plugins it loads.
QStringList pluginLoaderMessages;
QtMessageHandler otherMessages = nullptr;
void collectPluginLoaderMessages(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (qstrcmp(context.category, "qt.core.plugin.factoryloader") == 0) pluginLoaderMessages.append(text);
  else otherMessages(type, context, text);
}

// Centred to the pixel; halving an odd size may round either way.
bool isCentred(const QWidget* window) {
  const QPoint off = window->geometry().center() - window->screen()->availableGeometry().center();
  return std::abs(off.x()) <= 1 && std::abs(off.y()) <= 1;
}
}  // namespace

class TestSplash : public QObject {
  Q_OBJECT

private slots:
  void initTestCase();
  void init();
  void cleanup();

  void startsOnTheSplashAlone();
  void boardIsFramelessAndCentred();
  void picturesAreShownUnscaled_data();
  void picturesAreShownUnscaled();
  void theButtonIsTheOnlyFocus();
  void beginShowsTheCalculatorBeforeHidingTheBoard();
  void theStartLightStandsStill();
  void endingTheProgram_data();
  void endingTheProgram();
  void boardIsBlackInADarkColourScheme();

private:
  template <class T = QWidget>
  T* find(QWidget* root, const QString& name) const {
    return support::child<T>(root, name);
  }

  std::unique_ptr<torvane::Program> program_;
  torvane::SplashWindow* splash_ = nullptr;
};

void TestSplash::initTestCase() {
  QLoggingCategory::setFilterRules(QStringLiteral("qt.core.plugin.factoryloader.debug=true"));
  otherMessages = qInstallMessageHandler(collectPluginLoaderMessages);
  QVERIFY(QLoggingCategory("qt.core.plugin.factoryloader").isDebugEnabled());
}

void TestSplash::init() {
  program_ =
      std::make_unique<torvane::Program>([](QWidget*, const torvane::RuntimeError& error) { QFAIL(error.what()); });
  program_->start();
  splash_ = &program_->splash();
  QVERIFY(QTest::qWaitForWindowExposed(splash_));
}

void TestSplash::cleanup() {
  program_.reset();
  QApplication::setLayoutDirection(Qt::LeftToRight);
}

void TestSplash::startsOnTheSplashAlone() {
  QVERIFY(splash_->isVisible());
  QVERIFY(!program_->hasMainWindow());
  QVERIFY(!program_->hasFaq());
  QTRY_VERIFY(!QApplication::windowIcon().isNull());
  QCOMPARE(QApplication::windowIcon().availableSizes(), (QList<QSize>{{16, 16}, {32, 32}, {48, 48}}));
  // The pictures and the icon are compiled in as pixels: starting looks for
  // no image plugin, let alone loads one.
  QVERIFY2(!pluginLoaderMessages.join(QLatin1Char('\n')).contains(QLatin1String("imageformats")),
           qPrintable(pluginLoaderMessages.filter(QLatin1String("imageformats")).join(QLatin1Char('\n'))));
}

void TestSplash::boardIsFramelessAndCentred() {
  QVERIFY(splash_->windowFlags() & Qt::FramelessWindowHint);
  QCOMPARE(splash_->windowTitle(), QString("Torvane"));  // how task bars and screen readers name it
  QCOMPARE(splash_->size(), QSize(312, 211));
  QCOMPARE(splash_->minimumSize(), splash_->maximumSize());
  QVERIFY(isCentred(splash_));
  QCOMPARE(QAccessible::queryAccessibleInterface(splash_)->role(), QAccessible::Window);
  // read, and stacked, in this order: each title above the one it covers
  QCOMPARE(support::readAloud(splash_), (QStringList{"Graphic A drag-strip starting-light tower, its lamps unlit",
                                                     "Graphic \"TOR\", the first part of the name Torvane",
                                                     "Graphic \"VA\", the second part of the name Torvane",
                                                     "Graphic \"NE\", the third part of the name Torvane",
                                                     "Button Click Here To Begin", "Graphic Credit: by Torvane team"}));
}

void TestSplash::picturesAreShownUnscaled_data() {
  QTest::addColumn<QString>("name");
  QTest::addColumn<QRect>("place");  // pixels; the box is the picture's own size
  QTest::newRow("start light") << "Image1" << QRect(8, 24, 50, 138);
  QTest::newRow("first title") << "Image2" << QRect(72, 24, 198, 45);
  QTest::newRow("second title") << "Image3" << QRect(88, 56, 199, 41);
  QTest::newRow("third title") << "Image4" << QRect(112, 88, 160, 42);
  QTest::newRow("credit, cut by the bottom edge") << "Image5" << QRect(0, 192, 104, 22);
}

void TestSplash::picturesAreShownUnscaled() {
  QFETCH(QString, name);
  QFETCH(QRect, place);
  QApplication::setLayoutDirection(Qt::RightToLeft);  // the board is artwork: not mirrored
  auto* picture = find<QLabel>(splash_, name);
  QCOMPARE(picture->geometry(), place);
  QCOMPARE(picture->pixmap().size(), place.size());
  QVERIFY(!picture->hasScaledContents());
}

void TestSplash::theButtonIsTheOnlyFocus() {
  auto* button = find<QPushButton>(splash_, "cmdBegin");
  QCOMPARE(button->text(), QString("Click Here To Begin"));
  QCOMPARE(button->geometry(), QRect(64, 144, 185, 25));
  for (QWidget* child : splash_->findChildren<QWidget*>())
    QCOMPARE(child->focusPolicy() != Qt::NoFocus, child == button);
}

void TestSplash::beginShowsTheCalculatorBeforeHidingTheBoard() {
  bool calculatorShownWhenBoardHid = false;
  struct HideWatch : QObject {
    std::function<void()> onHide;
    bool eventFilter(QObject*, QEvent* event) override {
      if (event->type() == QEvent::Hide) onHide();
      return false;
    }
  } watch;
  watch.onHide = [&] { calculatorShownWhenBoardHid = program_->hasMainWindow() && program_->mainWindow().isVisible(); };
  splash_->installEventFilter(&watch);
  QTest::mouseClick(find<QPushButton>(splash_, "cmdBegin"), Qt::LeftButton);
  splash_->removeEventFilter(&watch);

  QVERIFY(calculatorShownWhenBoardHid);
  QVERIFY(!splash_->isVisible());
  torvane::MainWindow& calculator = program_->mainWindow();
  QVERIFY(calculator.isVisible());
  QVERIFY(find(&calculator, "cmdFigureEt")->isVisible());
  QVERIFY(!find(&calculator, "cmdFigurehp")->isVisible());
  QCOMPARE(find<QLineEdit>(&calculator, "txtHP1")->text(), QString("Enter HP"));
  QCOMPARE(find<QLineEdit>(&calculator, "txt4trap")->text(), QString("Text2"));
  QVERIFY(isCentred(&calculator));
}

// Only the first frame of the animated picture is shown, and no movie plays it.
void TestSplash::theStartLightStandsStill() {
  auto* light = find<QLabel>(splash_, "Image1");
  QVERIFY(!light->movie());
  QImageReader animation(QStringLiteral(TORVANE_ASSETS_DIR "/") + torvane::pictures::kStartLight);
  const QImage first = animation.read().convertToFormat(QImage::Format_ARGB32);
  QCOMPARE(light->pixmap().toImage().convertToFormat(QImage::Format_ARGB32), first);
}

void TestSplash::endingTheProgram_data() {
  QTest::addColumn<QString>("how");
  QTest::newRow("closing the calculator through its frame") << "close";
  QTest::newRow("Exit from the menu with the FAQ window open") << "exit";
}

// The event loop must stop with status 0 and leave no window, not even the
// hidden board, behind.
void TestSplash::endingTheProgram() {
  QFETCH(QString, how);
  splash_->begin();
  torvane::MainWindow& calculator = program_->mainWindow();
  QTimer::singleShot(0, &calculator, [&] {
    if (how == "close") {
      calculator.close();
    } else {
      calculator.showFaq();
      support::child<QAction>(&calculator, "mnuExit")->trigger();
    }
  });
  QTimer::singleShot(5000, [] { QCoreApplication::exit(1); });  // it did not end
  QCOMPARE(QApplication::exec(), 0);
  QVERIFY(!splash_->isVisible());
  QVERIFY(!calculator.isVisible());
  QVERIFY(!program_->hasFaq() || !program_->faq().isVisible());
}

// The artwork is drawn for black, so the board stays black whatever the
// scheme, also through the start light's transparent pixels; the button keeps
// the scheme's colours.
void TestSplash::boardIsBlackInADarkColourScheme() {
  const QColor window(0x2a, 0x2a, 0x2a);
  const QColor text(Qt::white);
  program_.reset();
  const QPalette standard = QApplication::palette();
  QPalette scheme = standard;
  scheme.setColor(QPalette::Window, window);
  scheme.setColor(QPalette::WindowText, text);
  QApplication::setPalette(scheme);
  program_ = std::make_unique<torvane::Program>([](QWidget*, const torvane::RuntimeError&) {});
  program_->start();
  torvane::SplashWindow& board = program_->splash();
  QVERIFY(QTest::qWaitForWindowExposed(&board));
  const QImage shot = board.grab().toImage();
  const QPalette button = find(&board, "cmdBegin")->palette();
  QApplication::setPalette(standard);
  QCOMPARE(shot.pixelColor(300, 5), QColor(Qt::black));  // bare board
  QCOMPARE(shot.pixelColor(8, 24), QColor(Qt::black));   // the start light's transparent corner
  QCOMPARE(button.color(QPalette::Window), window);
  QCOMPARE(button.color(QPalette::WindowText), text);
}

QTEST_MAIN(TestSplash)
#include "test_splash.moc"
