#include "windows/reading_order.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QRect>
#include <QWidget>
#include <algorithm>
#include <numeric>

namespace torvane::forms {
namespace {

// Set on a container once its controls are gone.
constexpr char kControlsGone[] = "torvaneControlsGone";

}  // namespace

std::vector<std::size_t> readingOrder(std::span<const QRect> boxes) {
  std::vector<std::size_t> order(boxes.size());
  std::iota(order.begin(), order.end(), std::size_t{0});
  const auto byTop = [&](std::size_t a, std::size_t b) {
    return std::pair(boxes[a].top(), boxes[a].left()) < std::pair(boxes[b].top(), boxes[b].left());
  };
  const auto byLeft = [&](std::size_t a, std::size_t b) { return boxes[a].left() < boxes[b].left(); };
  const auto within = [](int y, const QRect& box) { return box.top() <= y && y <= box.bottom(); };
  std::ranges::stable_sort(order, byTop);
  for (auto line = order.begin(); line != order.end();) {
    const QRect& first = boxes[*line];
    const auto end = std::find_if(line + 1, order.end(), [&](std::size_t i) {
      return !within(boxes[i].center().y(), first) || !within(first.center().y(), boxes[i]);
    });
    std::stable_sort(line, end, byLeft);
    line = end;
  }
  return order;
}

namespace {

// A plain container, as Qt's own would be, but with its children in reading
// order. Qt lists them in stacking order, which puts the labels, kept below
// everything else, first and in reverse.
class ReadingOrderContainer : public QAccessibleWidget {
public:
  using QAccessibleWidget::QAccessibleWidget;

  QAccessibleInterface* child(int index) const override {
    const std::vector<QAccessibleInterface*> children = inReadingOrder();
    return index >= 0 && std::size_t(index) < children.size() ? children[std::size_t(index)] : nullptr;
  }
  int indexOfChild(const QAccessibleInterface* child) const override {
    const std::vector<QAccessibleInterface*> children = inReadingOrder();
    const auto found = std::ranges::find(children, child);
    return found == children.end() ? -1 : int(found - children.begin());
  }

private:
  // Hidden controls stay in the list, as Qt keeps them, marked invisible.
  std::vector<QAccessibleInterface*> inReadingOrder() const {
    std::vector<QAccessibleInterface*> stacked;
    std::vector<QRect> boxes;
    for (int i = 0; i < QAccessibleWidget::childCount(); ++i) {
      QAccessibleInterface* child = QAccessibleWidget::child(i);
      QObject* object = child ? child->object() : nullptr;
      stacked.push_back(child);
      boxes.push_back(object && object->isWidgetType() ? static_cast<QWidget*>(object)->geometry() : QRect());
    }
    std::vector<QAccessibleInterface*> children;
    for (const std::size_t i : readingOrder(boxes)) children.push_back(stacked[i]);
    return children;
  }
};

// Asked for each class of a widget from the most derived up, newest factory
// first: "QWidget" is reached only by widgets that no class of Qt's describes.
// Qt would call a plain top-level window a client area too; a screen reader
// announces a window by its role. A client area whose controls are gone is
// being destroyed: Qt's own factory knows to describe no such widget, lest
// its description outlive it.
QAccessibleInterface* plainContainer(const QString& className, QObject* object) {
  if (className != QLatin1String("QWidget") || !object || !object->isWidgetType()) return nullptr;
  if (object->property(kControlsGone).toBool()) return nullptr;
  auto* widget = static_cast<QWidget*>(object);
  return new ReadingOrderContainer(widget, widget->isWindow() ? QAccessible::Window : QAccessible::Client);
}

}  // namespace

void readControlsInReadingOrder() {
  static bool installed = false;
  if (installed || !qobject_cast<QApplication*>(QCoreApplication::instance())) return;
  QAccessible::installFactory(plainContainer);
  installed = true;
}

void controlsAreGone(QWidget* container) { container->setProperty(kControlsGone, true); }

}  // namespace torvane::forms
