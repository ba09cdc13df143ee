#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

#include "core/runtime_error.h"
#include "windows/faq_window.h"
#include "windows/main_window.h"
#include "windows/program.h"
#include "windows/splash_window.h"

// Every caption and initial text must show whole inside its fixed box, with
// the desktop's font at whatever size the user has chosen.
class TestCaptionsFit : public QObject {
  Q_OBJECT

private slots:
  void everyTextFitsItsBox_data();
  void everyTextFitsItsBox();
};

void TestCaptionsFit::everyTextFitsItsBox_data() {
  QTest::addColumn<qreal>("pointSize");
  QTest::newRow("desktop default") << 0.0;
  QTest::newRow("small, 8 pt") << 8.0;
  QTest::newRow("large, 14 pt") << 14.0;
  QTest::newRow("very large, 24 pt") << 24.0;
}

void TestCaptionsFit::everyTextFitsItsBox() {
  QFETCH(qreal, pointSize);
  const QFont standard = QApplication::font();
  QFont chosen = standard;
  if (pointSize > 0) chosen.setPointSizeF(pointSize);
  QApplication::setFont(chosen);
  torvane::Program program([](QWidget*, const torvane::RuntimeError&) {});
  const QList<QWidget*> windows = {&program.splash(), &program.mainWindow(), &program.faq()};
  QApplication::setFont(standard);

  for (QWidget* window : windows) {
    for (const QLabel* label : window->findChildren<QLabel*>()) {
      if (label->text().isEmpty()) continue;  // a picture
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
  // Nothing grows: the font gives way, not the box.
  QCOMPARE(program.mainWindow().centralWidget()->size(), QSize(461, 288));
}

QTEST_MAIN(TestCaptionsFit)
#include "test_captions_fit.moc"
