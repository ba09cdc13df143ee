#include <QAccessible>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QtTest>

#include "core/runtime_error.h"
#include "gui_support.h"
#include "windows/faq_window.h"
#include "windows/forms.h"
#include "windows/main_window.h"
#include "windows/splash_window.h"
#include "windows/text_box.h"

using torvane::forms::Scale;

class TestForms : public QObject {
  Q_OBJECT

private slots:
  void everyFormNamesItsFieldsAndHidesNothing_data();
  void everyFormNamesItsFieldsAndHidesNothing();
  void enterPressesOnlyAFocusedButton_data();
  void enterPressesOnlyAFocusedButton();
  void designPixelsScale_data();
  void designPixelsScale();
  void formsFollowFontAndDirection_data();
  void formsFollowFontAndDirection();
  void centredWhereTheTitleBarCanBeReached_data();
  void centredWhereTheTitleBarCanBeReached();
  void tooLongATextIsRefused_data();
  void tooLongATextIsRefused();
};

namespace {
// A window's form: the window, or the calculator's client area, in the mode named.
QWidget* formOf(support::RecordingProgram& run, const QString& window) {
  if (window == "frmBegin") return &run.program.splash();
  if (window == "frmFAQ") return &run.program.faq();
  if (window.endsWith("HP")) run.program.mainWindow().enterHpMode();
  return run.program.mainWindow().centralWidget();
}
}  // namespace

void TestForms::everyFormNamesItsFieldsAndHidesNothing_data() {
  QTest::addColumn<QString>("window");
  QTest::newRow("splash") << "frmBegin";
  QTest::newRow("calculator") << "frmMain";
  QTest::newRow("FAQ") << "frmFAQ";
}

// Every text box says what it holds and every picture what it shows, for
// screen readers; a label tied to a field ties itself to a text box, without
// an "&" that would give the field a keyboard shortcut; and no label lies
// over a control it overlaps: a later control of a form stacks above an
// earlier one.
void TestForms::everyFormNamesItsFieldsAndHidesNothing() {
  QFETCH(QString, window);
  support::RecordingProgram run;
  const QWidget* form = formOf(run, window);
  QCOMPARE(form->window()->objectName(), window.section(' ', 0, 0));
  const QWidgetList controls = form->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
  for (qsizetype later = 0; later < controls.size(); ++later) {
    const QWidget* control = controls[later];
    const auto* label = qobject_cast<const QLabel*>(control);
    const QString name = control->objectName();
    if (qobject_cast<const QLineEdit*>(control)) QVERIFY2(!control->accessibleName().isEmpty(), qPrintable(name));
    if (label && label->text().isEmpty()) QVERIFY2(!control->accessibleDescription().isEmpty(), qPrintable(name));
    if (label && label->buddy())
      QVERIFY2(qobject_cast<const QLineEdit*>(label->buddy()) && !label->text().contains('&'), qPrintable(name));
    for (qsizetype earlier = 0; label && earlier < later; ++earlier)
      QVERIFY2(qobject_cast<const QLabel*>(controls[earlier]) ||
                   !controls[earlier]->geometry().intersects(control->geometry()),
               qPrintable(name + " lies over " + controls[earlier]->objectName()));
  }
}

void TestForms::enterPressesOnlyAFocusedButton_data() {
  everyFormNamesItsFieldsAndHidesNothing_data();
  QTest::newRow("calculator, HP mode") << "frmMain HP";
}

// Enter presses a button that has the focus, as Space does; in a text box it
// presses no button.
void TestForms::enterPressesOnlyAFocusedButton() {
  QFETCH(QString, window);
  support::RecordingProgram run;
  QWidget* form = formOf(run, window);
  form->window()->show();
  const QList<QPushButton*> buttons = form->findChildren<QPushButton*>();
  for (QWidget* control : form->findChildren<QWidget*>()) {
    if (!control->isVisible() || !(control->focusPolicy() & Qt::TabFocus)) continue;
    std::vector<std::unique_ptr<QSignalSpy>> pressed;
    for (QPushButton* button : buttons) pressed.push_back(std::make_unique<QSignalSpy>(button, &QPushButton::clicked));
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) QTest::keyClick(control, key);
    for (qsizetype i = 0; i < buttons.size(); ++i)
      QVERIFY2(pressed[std::size_t(i)]->count() == (buttons[i] == control ? 2 : 0),
               qPrintable(control->objectName() + " pressed " + buttons[i]->objectName()));
  }
}

void TestForms::designPixelsScale_data() {
  QTest::addColumn<QRect>("design");
  QTest::addColumn<double>("scale");
  QTest::addColumn<QRect>("scaled");
  QTest::newRow("the design font") << QRect(8, 64, 353, 25) << 1.0 << QRect(8, 64, 353, 25);
  QTest::newRow("20 pt: the calculator's width") << QRect(0, 0, 461, 288) << 20.0 / 9 << QRect(0, 0, 1024, 640);
  // each edge is rounded, not the size: boxes that meet at the design font still meet
  QTest::newRow("edges rounded") << QRect(1, 0, 1, 1) << 1.5 << QRect(2, 0, 1, 2);
}

void TestForms::designPixelsScale() {
  QFETCH(QRect, design);
  QFETCH(double, scale);
  QFETCH(QRect, scaled);
  QCOMPARE(Scale(scale).rect(design), scaled);
}

void TestForms::formsFollowFontAndDirection_data() {
  QTest::addColumn<int>("pointSize");  // the desktop's font
  QTest::addColumn<Qt::LayoutDirection>("direction");
  QTest::addColumn<QRect>("place");  // of the FAQ's button
  QTest::newRow("10 pt, the smallest size between half points") << 10 << Qt::LeftToRight << QRect(142, 231, 64, 28);
  QTest::newRow("12 pt, right to left: from the right edge") << 12 << Qt::RightToLeft << QRect(160, 277, 76, 34);
}

// The FAQ window, which the user can widen: each control keeps its distance
// from the edge it is measured from. A caption and a text box read as in a
// left-to-right form, a full stop included.
void TestForms::formsFollowFontAndDirection() {
  QFETCH(int, pointSize);
  QFETCH(Qt::LayoutDirection, direction);
  QFETCH(QRect, place);
  const QFont standard = QApplication::font();
  QApplication::setFont(QFont(standard.family(), pointSize));
  const auto restore = qScopeGuard([&] {
    QApplication::setFont(standard);
    QApplication::setLayoutDirection(Qt::LeftToRight);
  });
  const auto drawn = [] {
    support::RecordingProgram run;
    run.program.mainWindow().enterHpMode();
    QMap<QString, QImage> images;
    for (QWidget* window :
         {static_cast<QWidget*>(&run.program.mainWindow()), static_cast<QWidget*>(&run.program.faq())})
      for (QWidget* control : window->findChildren<QWidget*>())
        if (qobject_cast<QPushButton*>(control) || qobject_cast<QLineEdit*>(control))
          images[control->objectName()] = control->grab().toImage();
    return images;
  };
  const QMap<QString, QImage> leftToRight = drawn();
  QApplication::setLayoutDirection(direction);
  const QMap<QString, QImage> asDrawn = drawn();
  for (const QString& name : leftToRight.keys()) QVERIFY2(asDrawn[name] == leftToRight[name], qPrintable(name));

  support::RecordingProgram run;
  QWidget& faq = run.program.faq();
  auto* button = support::child<QPushButton>(&faq, "cmdOK");
  QCOMPARE(button->geometry(), place);
  faq.resize(faq.size() + QSize(100, 0));
  faq.show();
  QCOMPARE(button->x(), place.x() + (direction == Qt::RightToLeft ? 100 : 0));
}

// clang-format off
void TestForms::centredWhereTheTitleBarCanBeReached_data() {
  QTest::addColumn<QSize>("client");
  QTest::addColumn<QMargins>("frame");
  QTest::addColumn<QRect>("available");
  QTest::addColumn<QPoint>("place");
  const QMargins frame(1, 22, 1, 1);
  QTest::newRow("fits: centred") << QSize(461, 310) << frame << QRect(0, 0, 1024, 768) << QPoint(282, 229);
  QTest::newRow("640x480 at scale 2: the title bar at the top-left")
      << QSize(461, 310) << frame << QRect(0, 0, 320, 240) << QPoint(1, 22);
  QTest::newRow("a panel along the top")
      << QSize(461, 310) << frame << QRect(0, 30, 1024, 738) << QPoint(282, 244);
  QTest::newRow("too tall only: moved down alone")
      << QSize(200, 760) << frame << QRect(0, 0, 1024, 768) << QPoint(412, 22);
}
// clang-format on

void TestForms::centredWhereTheTitleBarCanBeReached() {
  QFETCH(QSize, client);
  QFETCH(QMargins, frame);
  QFETCH(QRect, available);
  QFETCH(QPoint, place);
  QCOMPARE(torvane::forms::centredPlace(client, frame, available), place);
}

void TestForms::tooLongATextIsRefused_data() {
  QTest::addColumn<QString>("way");
  QTest::addColumn<int>("length");     // of the field's text, the cursor at its end
  QTest::addColumn<bool>("selected");  // all of it, to be replaced
  QTest::addColumn<int>("entering");   // characters typed, pasted or dropped
  QTest::addColumn<bool>("refused");
  const int most = int(torvane::kMostCharacters);
  QTest::newRow("typed into a full field") << "type" << most << false << 1 << true;
  QTest::newRow("typed into a field one short of full") << "type" << most - 1 << false << 1 << false;
  QTest::newRow("typed through an input method") << "input method" << most << false << 1 << true;
  QTest::newRow("an input method replacing the last one") << "input method, replacing" << most << false << 1 << false;
  QTest::newRow("pasted with the keys twice, one too many") << "keys" << 8 << false << most - 7 << true;
  QTest::newRow("pasted with the keys over the whole text") << "keys" << most << true << most << false;
  QTest::newRow("pasted, with no text to paste, over the whole text") << "keys" << 3 << true << 0 << true;
  QTest::newRow("pasted by the context menu, one too many") << "menu" << 8 << false << most - 7 << true;
  QTest::newRow("pasted by the context menu over the whole text") << "menu" << most << true << most << false;
  // where the desktop has a selection, as X11 has
  QTest::newRow("pasted by a middle click, which replaces nothing") << "middle click" << 8 << true << most - 7 << true;
  QTest::newRow("pasted from the selection with Ctrl+Shift+Insert")
      << "Ctrl+Shift+Insert" << 8 << false << most - 7 << true;
  QTest::newRow("dropped, one too many") << "drop" << 8 << false << most - 7 << true;
  QTest::newRow("dropped, filling the field") << "drop" << 8 << false << most - 8 << false;
  QTest::newRow("dragged from a source that offers only a move") << "drop, a move" << 8 << false << most - 7 << true;
  QTest::newRow("a screen reader's insert into a full field") << "screen reader" << most << false << 1 << true;
  QTest::newRow("a screen reader's setting of the whole text") << "screen reader's set" << most << false << 1 << true;
}

// The field keeps its text and the report names it and the limit.
void TestForms::tooLongATextIsRefused() {
  QFETCH(QString, way);
  QFETCH(int, length);
  QFETCH(bool, selected);
  QFETCH(int, entering);
  QFETCH(bool, refused);
  std::vector<torvane::RuntimeError> errors;
  torvane::TextBox field;
  field.setAccessibleName("First number");
  field.setReport([&](const torvane::RuntimeError& error) { errors.push_back(error); });
  field.show();
  const QString before(length, '1');
  field.setText(before);
  if (selected) field.selectAll();
  const QString text(entering, '7');
  const bool fromSelection = way == "middle click" || way == "Ctrl+Shift+Insert";
  if (fromSelection && !QGuiApplication::clipboard()->supportsSelection()) QSKIP("this desktop has no selection");
  const QKeySequence selectionKey(Qt::CTRL | Qt::SHIFT | Qt::Key_Insert);
  if (way == "Ctrl+Shift+Insert" && !QKeySequence::keyBindings(QKeySequence::Paste).contains(selectionKey))
    QSKIP("Ctrl+Shift+Insert pastes nothing with this desktop's keys");
  QGuiApplication::clipboard()->setText(fromSelection ? "7" : text);
  if (fromSelection) QGuiApplication::clipboard()->setText(text, QClipboard::Selection);
  // A paste is checked before QLineEdit inserts it, which a refusal would make it take back slowly.
  QSignalSpy takenBack(&field, &QLineEdit::inputRejected);
  const int replaced = way.endsWith("replacing") ? 1 : 0;  // by an input method's commit
  if (way == "type") {
    QTest::keyClick(&field, Qt::Key_7);
  } else if (way.startsWith("input method")) {
    QInputMethodEvent composing("abc", {}), event, none;  // a composition under way, then the commit
    event.setCommitString(text, -replaced, replaced);
    static_cast<QObject&>(field).event(&composing);
    static_cast<QObject&>(field).event(&event);  // notify gives it only to the focus
    const QImage drawn = field.grab().toImage();
    static_cast<QObject&>(field).event(&none);
    QCOMPARE(field.grab().toImage(), drawn);  // no composition left drawn
  } else if (way.startsWith("screen reader")) {
    QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(&field);
    way == "screen reader" ? reader->editableTextInterface()->insertText(0, text)
                           : reader->setText(QAccessible::Value, before + text);
  } else if (way.startsWith("drop")) {
    QMimeData data;
    data.setText(text);
    const Qt::DropActions offered = way == "drop" ? Qt::CopyAction | Qt::MoveAction : Qt::MoveAction;
    QDragEnterEvent enter(QPoint(field.width() - 2, 4), offered, &data, Qt::LeftButton,
                          Qt::ShiftModifier);  // a move, which under X11 the source takes from the drag's answer
    QDropEvent drop(enter.position(), enter.possibleActions(), &data, Qt::LeftButton, Qt::ShiftModifier);
    QDragLeaveEvent leave;  // what a field that did not take the drag meets instead of the drop
    static_cast<QObject&>(field).event(&enter);
    // as a drag ends over it; notify wants a drag in progress
    static_cast<QObject&>(field).event(enter.isAccepted() ? static_cast<QEvent*>(&drop) : &leave);
    QCOMPARE((enter.isAccepted() && enter.dropAction() == Qt::MoveAction) || drop.isAccepted(), !refused);
  } else if (way == "menu") {
    QContextMenuEvent menuEvent(QContextMenuEvent::Keyboard, QPoint(4, 4), field.mapToGlobal(QPoint(4, 4)));
    static_cast<QObject&>(field).event(&menuEvent);
    QTest::keyClick(field.findChild<QMenu*>(), Qt::Key_P);
  } else if (way == "middle click") {
    QTest::mouseClick(&field, Qt::MiddleButton, {}, QPoint(4, 4));
  } else {
    const QKeySequence keys = way == "keys" ? QKeySequence::keyBindings(QKeySequence::Paste).first() : selectionKey;
    for (int i = 0; i <= int(refused); ++i)  // a refusal pasted again before its report is reported once
      QTest::keySequence(&field, keys);
  }
  if (way == "keys" || way == "menu" || fromSelection) QCOMPARE(takenBack.count(), 0);
  QVERIFY(errors.empty());
  QCoreApplication::processEvents();
  const qsizetype wouldBe = (selected && way != "middle click" ? 0 : length) - replaced + entering;
  QCOMPARE(field.text().size(), refused ? length : wouldBe);
  if (refused) QCOMPARE(field.text(), before);
  QCOMPARE(errors.size(), std::size_t(refused && entering > 0));
  if (errors.empty()) return;
  QCOMPARE(errors[0].kind(), torvane::kTooLong);
  QCOMPARE(QString::fromStdString(errors[0].detail()),
           QString("In the first number field, the text would be %1 characters long, and a field holds at "
                   "most 65536. The field is left as it was.")
               .arg(wouldBe));
}

QTEST_MAIN(TestForms)
#include "test_forms.moc"
