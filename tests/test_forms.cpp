#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QtTest>

#include "core/runtime_error.h"
#include "windows/forms.h"

using torvane::forms::Control;
using torvane::forms::Controls;
using torvane::forms::Fill;
using torvane::forms::Kind;

namespace {
enum Id { label, first, button, second, windowLabel };

// Deliberately out of tab order, with a label that overlaps a box above it.
constexpr Control kTable[] = {
  {second, "second", Kind::TextBox, "two", 120, 600, 1500, 375, 3},
  {label, "label", Kind::Label, "a caption that wraps at word boundaries", 120, 120, 1500, 495, 9},
  {button, "button", Kind::Button, "Go", 1800, 120, 900, 375, 0},
  {first, "first", Kind::TextBox, "one", 120, 480, 1500, 375, 1},
  {windowLabel, "windowLabel", Kind::Label, "x", 1800, 600, 900, 255, 2, Fill::Window},
};
static_assert(torvane::forms::idsNumberTheRows(kTable));

constexpr Control kRepeated[] = {{0, "a", Kind::Label, "", 0, 0, 0, 0, 0}, {0, "b", Kind::Label, "", 0, 0, 0, 0, 1}};
static_assert(!torvane::forms::idsNumberTheRows(kRepeated));
constexpr Control kGap[] = {{0, "a", Kind::Label, "", 0, 0, 0, 0, 0}, {2, "b", Kind::Label, "", 0, 0, 0, 0, 1}};
static_assert(!torvane::forms::idsNumberTheRows(kGap));
}  // namespace

Q_DECLARE_METATYPE(std::function<void(const Controls&)>)

class TestForms : public QObject {
  Q_OBJECT

private slots:
  void init() {
    surface_ = std::make_unique<QWidget>();
    surface_->resize(300, 200);
    controls_ = std::make_unique<Controls>(surface_.get(), kTable);
  }
  void cleanup() {
    controls_.reset();
    surface_.reset();
  }

  void twipsBecomePixels_data() {
    QTest::addColumn<int>("twips");
    QTest::addColumn<double>("scale");
    QTest::addColumn<int>("pixels");
    QTest::newRow("one pixel") << 15 << 1.0 << 1;
    QTest::newRow("a left margin") << 120 << 1.0 << 8;
    QTest::newRow("the calculator's width") << 6915 << 1.0 << 461;
    QTest::newRow("half a pixel and less") << 7 << 1.0 << 0;
    QTest::newRow("more than half a pixel") << 8 << 1.0 << 1;
    QTest::newRow("the calculator's width at 20 pt") << 6915 << 20.0 / 9 << 1024;
    QTest::newRow("its height at 20 pt") << 4320 << 20.0 / 9 << 640;
    QTest::newRow("its width at 8 pt") << 6915 << 8.0 / 9 << 410;
  }
  void twipsBecomePixels() {
    QFETCH(int, twips);
    QFETCH(double, scale);
    QFETCH(int, pixels);
    QCOMPARE(torvane::forms::Scale(scale).pixels(twips), pixels);
  }

  void buildsEveryRowAtItsPlace() {
    QCOMPARE(controls_->widget(label)->geometry(), QRect(8, 8, 100, 33));
    QCOMPARE(controls_->widget(second)->geometry(), QRect(8, 40, 100, 25));
    QCOMPARE(controls_->widget(button)->objectName(), QString("button"));
    QCOMPARE(qobject_cast<QPushButton*>(controls_->widget(button))->text(), QString("Go"));
    QVERIFY(qobject_cast<QLabel*>(controls_->widget(label))->wordWrap());
    QCOMPARE(controls_->widget(windowLabel)->backgroundRole(), QPalette::Window);
    QCOMPARE(controls_->widget(label)->backgroundRole(), QPalette::Button);
    // labels lie below the other controls whatever their row
    const QObjectList& stack = surface_->children();
    QVERIFY(stack.indexOf(controls_->widget(label)) < stack.indexOf(controls_->widget(second)));
  }

  void tabFollowsTabIndexAndSkipsLabels() {
    QList<QString> order;
    QWidget* at = controls_->widget(button);
    for (int i = 0; i < 3; ++i, at = at->nextInFocusChain()) {
      while (at->focusPolicy() == Qt::NoFocus) at = at->nextInFocusChain();
      order << at->objectName();
    }
    QCOMPARE(order, (QList<QString>{"button", "first", "second"}));
    QCOMPARE(controls_->widget(label)->focusPolicy(), Qt::NoFocus);
  }

  void hiddenTextBoxesKeepTheirText() {
    controls_->setVisible(first, false);
    controls_->setText(first, "12.55");
    QCOMPARE(controls_->text(first), QString("12.55"));
    QVERIFY(controls_->widget(first)->isHidden());
  }

  void wrongAccessIsAControlAccessError_data() {
    QTest::addColumn<std::function<void(const Controls&)>>("access");
    QTest::addColumn<QString>("detail");
    QTest::newRow("text of a label") << std::function<void(const Controls&)>([](const Controls& c) { c.text(label); })
                                     << "label is not a text box and has no text.";
    QTest::newRow("text of a button") << std::function<void(const Controls&)>([](const Controls& c) { c.setText(button, "x"); })
                                      << "button is not a text box and has no text.";
    QTest::newRow("no such control") << std::function<void(const Controls&)>([](const Controls& c) { c.setVisible(17, true); })
                                     << "the window has no control number 17.";
    QTest::newRow("negative id") << std::function<void(const Controls&)>([](const Controls& c) { c.text(-1); })
                                 << "the window has no control number -1.";
    QTest::newRow("clicking a text box") << std::function<void(const Controls&)>([](const Controls& c) { c.onClick(first, [] {}); })
                                         << "first is not a button.";
  }
  void wrongAccessIsAControlAccessError() {
    QFETCH(std::function<void(const Controls&)>, access);
    QFETCH(QString, detail);
    try {
      access(*controls_);
      QFAIL("no error raised");
    } catch (const torvane::RuntimeError& error) {
      QCOMPARE(error.kind(), torvane::ErrorKind::ControlAccess);
      QCOMPARE(QString::fromStdString(error.detail()), detail);
    }
  }

  void pastingKeepsEveryCharacter_data() {
    QTest::addColumn<QString>("before");
    QTest::addColumn<int>("anchor");  // the selection before the paste runs from the anchor to the cursor
    QTest::addColumn<int>("cursor");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<bool>("fromMenu");  // or with the keys
    QTest::addColumn<QString>("after");
    const QString n(40'000, '7');
    QTest::newRow("short, over all") << "Enter HP" << 0 << 8 << "300" << false << "300";
    QTest::newRow("long, over all") << "Enter HP" << 0 << 8 << n << false << n;
    QTest::newRow("long, over a part selected backwards") << "Enter HP" << 8 << 6 << n << false << "Enter " + n;
    QTest::newRow("long, at the cursor") << "Enter HP" << 5 << 5 << n << false << "Enter" + n + " HP";
    QTest::newRow("short, from the menu") << "Enter HP" << 0 << 8 << "300" << true << "300";
    QTest::newRow("long, from the menu") << "Enter HP" << 6 << 8 << n << true << "Enter " + n;
  }
  // A paste keeps all it pastes, leaves the cursor after it, and undoes and
  // redoes in one step, the selection before it restored.
  void pastingKeepsEveryCharacter() {
    QFETCH(QString, before);
    QFETCH(int, anchor);
    QFETCH(int, cursor);
    QFETCH(QString, pasted);
    QFETCH(bool, fromMenu);
    QFETCH(QString, after);
    surface_->show();
    auto* field = qobject_cast<QLineEdit*>(controls_->widget(first));
    field->setText(before);
    field->setSelection(anchor, cursor - anchor);
    QGuiApplication::clipboard()->setText(pasted);
    const auto edit = [&](QKeySequence::StandardKey key, const char* action) {
      if (!fromMenu) return QTest::keySequence(field, QKeySequence::keyBindings(key).first());
      QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(4, 4), field->mapToGlobal(QPoint(4, 4)));
      QApplication::sendEvent(field, &event);
      auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
      QVERIFY(menu && menu->findChild<QAction*>(action) && menu->findChild<QAction*>(action)->isEnabled());
      menu->findChild<QAction*>(action)->trigger();
      menu->close();
    };
    const auto shows = [&](const QString& text, int start, int end) {
      return field->text() == text && field->cursorPosition() == end &&
             field->selectedText().size() == std::abs(end - start);
    };

    const int end = std::min(anchor, cursor) + static_cast<int>(pasted.size());  // the cursor after the paste

    edit(QKeySequence::Paste, "edit-paste");
    QCOMPARE(field->text().size(), after.size());
    QVERIFY(shows(after, end, end));
    edit(QKeySequence::Undo, "edit-undo");
    QVERIFY(shows(before, anchor, cursor));
    edit(QKeySequence::Redo, "edit-redo");
    QVERIFY(shows(after, end, end));
  }

  void clickRunsTheBoundHandler() {
    int clicks = 0;
    controls_->onClick(button, [&] { ++clicks; });
    surface_->show();
    QTest::mouseClick(controls_->widget(button), Qt::LeftButton);
    QCOMPARE(clicks, 1);
  }

private:
  std::unique_ptr<QWidget> surface_;
  std::unique_ptr<Controls> controls_;
};

QTEST_MAIN(TestForms)
#include "test_forms.moc"
