// What start-up costs any Qt Widgets program: one frameless window of the
// splash window's size, 312 x 211 pixels, with one push button. bench/startup.sh
// measures torvane against it.
#include <QApplication>
#include <QPushButton>
#include <QWidget>

int main(int argc, char* argv[]) {
  QApplication app(argc, argv);
  QWidget window(nullptr, Qt::Window | Qt::FramelessWindowHint);
  window.setFixedSize(312, 211);
  QPushButton button(QStringLiteral("Click Here To Begin"), &window);
  button.setGeometry(64, 144, 185, 25);
  window.show();
  return QApplication::exec();
}
