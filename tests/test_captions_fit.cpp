#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QtTest>

#include "core/runtime_error.h"
#include "gui_support.h"
#include "windows/faq_window.h"
#include "windows/main_window.h"
#include "windows/program.h"
#include "windows/splash_window.h"

// Every window's layout scales with the desktop's font size, as far as the
// screen lets it grow; every caption shows whole inside its box, and every
// window shows what the user types at one size, at whatever size the user has
// chosen.
class TestCaptionsFit : public QObject {
  Q_OBJECT

private slots:
  void everyTextFitsItsBox_data();
  void everyTextFitsItsBox();
};

namespace {

// The three windows, made while the desktop font has a size (0: as it is),
// and a theme may give buttons a size of their own.
struct Windows {
  Windows(qreal pointSize, qreal buttonPointSize) {
    const QFont standard = QApplication::font();
    QFont chosen = standard;
    if (pointSize > 0) chosen.setPointSizeF(pointSize);
    QApplication::setFont(chosen);
    if (buttonPointSize > 0) {
      chosen.setPointSizeF(buttonPointSize);
      QApplication::setFont(chosen, "QPushButton");
    }
    list = {&program.splash(), &program.mainWindow(), &program.faq()};
    QApplication::setFont(standard);
  }

  torvane::Program program{[](QWidget*, const torvane::RuntimeError&) {}};
  QList<QWidget*> list;
};

}  // namespace

void TestCaptionsFit::everyTextFitsItsBox_data() {
  QTest::addColumn<qreal>("pointSize");
  QTest::addColumn<QSize>("calculator");  // client area
  QTest::addColumn<QSize>("faq");
  QTest::addColumn<QSize>("splash");
  QTest::addColumn<qreal>("buttonPointSize");  // 0: the desktop's
  QTest::newRow("desktop default, 9 pt") << 0.0 << QSize(461, 288) << QSize(305, 244) << QSize(312, 211) << 0.0;
  QTest::newRow("small, 8 pt") << 8.0 << QSize(410, 256) << QSize(271, 217) << QSize(277, 188) << 0.0;
  QTest::newRow("10 pt") << 10.0 << QSize(512, 320) << QSize(339, 271) << QSize(347, 234) << 0.0;
  QTest::newRow("12 pt") << 12.0 << QSize(615, 384) << QSize(407, 325) << QSize(416, 281) << 0.0;
  QTest::newRow("large, 14 pt") << 14.0 << QSize(717, 448) << QSize(474, 380) << QSize(485, 328) << 0.0;
  // The offscreen screen is 800 x 800: the calculator and the FAQ stop growing
  // at a frame of 798 px, and the splash window, which has none, at 800.
  QTest::newRow("very large, 20 pt") << 20.0 << QSize(798, 499) << QSize(678, 542) << QSize(693, 469) << 0.0;
  QTest::newRow("very large, 24 pt") << 24.0 << QSize(798, 499) << QSize(798, 638) << QSize(800, 541) << 0.0;
  QTest::newRow("9 pt, buttons 14 pt") << 9.0 << QSize(461, 288) << QSize(305, 244) << QSize(312, 211) << 14.0;
}

void TestCaptionsFit::everyTextFitsItsBox() {
  QFETCH(qreal, pointSize);
  QFETCH(QSize, calculator);
  QFETCH(QSize, faq);
  QFETCH(QSize, splash);
  QFETCH(qreal, buttonPointSize);
  Windows windows(pointSize, buttonPointSize);

  // A window held to the screen is laid out for a smaller font than its own.
  const qreal growth = (pointSize > 0 ? pointSize : QApplication::font().pointSizeF()) / 9;
  const QWidget* clientAreas[] = {windows.list[0], windows.program.mainWindow().centralWidget(), windows.list[2]};
  const int designWidths[] = {312, 461, 305};
  for (int i = 0; i < 3; ++i) {
    QWidget* window = windows.list[i];
    const QFont font = window->font();
    const qreal held = std::min(1.0, clientAreas[i]->width() / (designWidths[i] * growth));
    QSet<qreal> sizes = {font.pointSizeF()};
    for (const QLabel* label : window->findChildren<QLabel*>()) {
      if (label->property("picture").isValid()) {  // a picture fills its scaled box
        QCOMPARE(label->pixmap().size(), label->size());
        continue;
      }
      if (label->text().isEmpty()) continue;  // told to a screen reader alone
      const QRect needed = label->fontMetrics().boundingRect(label->contentsRect(), Qt::TextWordWrap, label->text());
      QVERIFY2(label->contentsRect().contains(needed), qPrintable(label->objectName()));
      sizes << label->font().pointSizeF();
    }
    for (const QPushButton* button : window->findChildren<QPushButton*>()) {
      QVERIFY2(button->fontMetrics().horizontalAdvance(button->text()) < button->width() - 4,
               qPrintable(button->objectName()));
      sizes << button->font().pointSizeF();
    }
    // What is typed and written reads at one size in every field: the window's.
    // A prompt longer than its box shows its beginning.
    for (const QLineEdit* box : window->findChildren<QLineEdit*>()) {
      QVERIFY2(box->font().pointSizeF() == font.pointSizeF() && box->font().stretch() == font.stretch() &&
                   box->fontMetrics().height() < box->height(),
               qPrintable(box->objectName()));
    }
    // One smaller size at most, for the captions that need it, and not much smaller.
    QVERIFY2(sizes.size() <= 2, qPrintable(window->objectName()));
    QVERIFY2(std::ranges::min(sizes) >= font.pointSizeF() * held * 7 / 9, qPrintable(window->objectName()));
  }
  // Captions seen together in one role share one look, and take a smaller
  // size only where condensing them at the window's size is not enough.
  const QStringList groups[] = {
      {"lbl1", "lbl2"}, {"lbl3", "lbl4", "lbl5", "lbl6"}, {"lblFAQ1", "lblFAQ3"}, {"lblFAQ2", "lblFAQ4"}};
  for (const QStringList& group : groups) {
    QWidget* window = group.first().startsWith("lblFAQ") ? windows.list[2] : windows.list[1];
    const QFont first = support::child(window, group.first())->font();
    QFont condensed = window->font();
    condensed.setStretch(QFont::Condensed);
    bool condensedFits = true;
    for (const QString& name : group) {
      const auto* label = support::child<QLabel>(window, name);
      QVERIFY2(label->font() == first, qPrintable(name));
      condensedFits &= label->contentsRect().contains(
          QFontMetrics(condensed, label).boundingRect(label->contentsRect(), Qt::TextWordWrap, label->text()));
    }
    QVERIFY2(first.pointSizeF() == window->font().pointSizeF() || !condensedFits, qPrintable(group.first()));
  }
  // So do buttons, whatever size a theme gives them.
  for (const QWidget* window : windows.list) {
    QFont condensed = window->font();
    condensed.setStretch(QFont::Condensed);
    for (const QPushButton* button : window->findChildren<QPushButton*>()) {
      const QFontMetrics metrics(condensed, button);
      const bool condensedFits =
          metrics.horizontalAdvance(button->text()) + 8 <= button->width() && metrics.height() + 4 <= button->height();
      QVERIFY2(button->font().pointSizeF() >= window->font().pointSizeF() || !condensedFits,
               qPrintable(button->objectName()));
    }
  }
  // The boxes grow with the font, but no window grows past the screen.
  QCOMPARE(windows.program.mainWindow().centralWidget()->size(), calculator);
  QCOMPARE(windows.program.faq().size(), faq);
  QCOMPARE(windows.program.splash().size(), splash);
}

QTEST_MAIN(TestCaptionsFit)
#include "test_captions_fit.moc"
