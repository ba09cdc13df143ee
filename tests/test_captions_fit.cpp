#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "core/runtime_error.h"
#include "gui_support.h"
#include "windows/faq_window.h"
#include "windows/main_window.h"
#include "windows/program.h"
#include "windows/splash_window.h"

// Every window's layout scales with the desktop's font size, and every caption
// and initial text shows whole inside its box at whatever size the user has
// chosen.
class TestCaptionsFit : public QObject {
  Q_OBJECT

private slots:
  void everyTextFitsItsBox_data();
  void everyTextFitsItsBox();
};

namespace {

// The three windows, made while the desktop font has a size (0: as it is).
struct Windows {
  explicit Windows(qreal pointSize) {
    const QFont standard = QApplication::font();
    QFont chosen = standard;
    if (pointSize > 0) chosen.setPointSizeF(pointSize);
    QApplication::setFont(chosen);
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
  QTest::newRow("desktop default, 9 pt") << 0.0 << QSize(461, 288) << QSize(305, 244) << QSize(312, 211);
  QTest::newRow("small, 8 pt") << 8.0 << QSize(410, 256) << QSize(271, 217) << QSize(277, 188);
  QTest::newRow("10 pt") << 10.0 << QSize(512, 320) << QSize(339, 271) << QSize(347, 234);
  QTest::newRow("large, 14 pt") << 14.0 << QSize(717, 448) << QSize(474, 380) << QSize(485, 328);
  QTest::newRow("very large, 20 pt") << 20.0 << QSize(1024, 640) << QSize(678, 542) << QSize(693, 469);
  QTest::newRow("very large, 24 pt") << 24.0 << QSize(1229, 768) << QSize(813, 651) << QSize(832, 563);
}

void TestCaptionsFit::everyTextFitsItsBox() {
  QFETCH(qreal, pointSize);
  QFETCH(QSize, calculator);
  QFETCH(QSize, faq);
  QFETCH(QSize, splash);
  Windows windows(pointSize);

  for (QWidget* window : windows.list) {
    for (const QLabel* label : window->findChildren<QLabel*>()) {
      if (label->text().isEmpty()) {  // a picture fills its scaled box
        QCOMPARE(label->pixmap().size(), label->size());
        continue;
      }
      const QRect needed =
          label->fontMetrics().boundingRect(label->contentsRect(), Qt::TextWordWrap, label->text());
      QVERIFY2(label->contentsRect().contains(needed), qPrintable(label->objectName()));
    }
    for (const QPushButton* button : window->findChildren<QPushButton*>())
      QVERIFY2(button->fontMetrics().horizontalAdvance(button->text()) < button->width() - 4,
               qPrintable(button->objectName()));
    for (const QLineEdit* box : window->findChildren<QLineEdit*>())
      QVERIFY2(box->fontMetrics().horizontalAdvance(box->text()) < box->width() - 4 &&
                   box->fontMetrics().height() < box->height(),
               qPrintable(box->objectName()));
  }
  // The boxes grow with the font...
  QCOMPARE(windows.program.mainWindow().centralWidget()->size(), calculator);
  QCOMPARE(windows.program.faq().size(), faq);
  QCOMPARE(windows.program.splash().size(), splash);

  // ...and so does the text in them: by at least nine tenths of the font's
  // growth over the design size, so at 20 pt to at least twice the height.
  // (Below the design size the frames, which keep their size, take a larger
  // share of each box, and a text may shrink further.)
  const qreal growth = (pointSize > 0 ? pointSize : QApplication::font().pointSizeF()) / 9;
  if (growth <= 1) return;
  Windows designed(9);
  for (const QWidget* control : windows.program.mainWindow().centralWidget()->findChildren<QWidget*>()) {
    const QString name = control->objectName();
    const int height = control->fontMetrics().height();
    const int atDesign = support::child(&designed.program.mainWindow(), name)->fontMetrics().height();
    QVERIFY2(height >= 0.9 * growth * atDesign,
             qPrintable(QString("%1: %2 px against %3 px at 9 pt").arg(name).arg(height).arg(atDesign)));
  }
}

QTEST_MAIN(TestCaptionsFit)
#include "test_captions_fit.moc"
