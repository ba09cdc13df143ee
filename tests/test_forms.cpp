#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
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

// Out of tab order, with a label that overlaps a box below it and one whose
// caption fits its box at no size.
// clang-format off
constexpr Control kTable[] = {
  {.id = label, .name = "label", .kind = Kind::Label, .text = "a caption that wraps at word boundaries",
   .box = {120, 120, 1500, 495}, .labelFor = second},
  {.id = second, .name = "second", .kind = Kind::TextBox, .text = "two",
   .box = {120, 600, 1500, 375}, .tabIndex = 3, .what = "Second number"},
  {.id = button, .name = "button", .kind = Kind::Button, .text = "Go", .box = {1800, 120, 900, 375}, .tabIndex = 0},
  {.id = first, .name = "first", .kind = Kind::TextBox, .text = "one",
   .box = {120, 480, 1500, 375}, .tabIndex = 1, .what = "First number"},
  {.id = windowLabel, .name = "windowLabel", .kind = Kind::Label, .text = "far too long for its box",
   .box = {1800, 600, 900, 255}, .fill = Fill::Window},
};
// clang-format on
static_assert(torvane::forms::idsNumberTheRows(kTable) && torvane::forms::everyFieldIsNamed(kTable) &&
              torvane::forms::labelsLieBelow(kTable));
constexpr Control kLabelOverAnEarlierBox[] = {{0, "a", Kind::TextBox, "", {0, 0, 90, 30}, 0, "A"},
                                              {1, "b", Kind::Label, "A", {75, 15, 90, 30}}};
static_assert(!torvane::forms::labelsLieBelow(kLabelOverAnEarlierBox));

constexpr Control kRepeated[] = {{0, "a", Kind::Label, "", {}}, {0, "b", Kind::Label, "", {}}};
static_assert(!torvane::forms::idsNumberTheRows(kRepeated));
constexpr Control kGap[] = {{0, "a", Kind::Label, "", {}}, {2, "b", Kind::Label, "", {}}};
static_assert(!torvane::forms::idsNumberTheRows(kGap));
constexpr Control kUnnamedField[] = {{0, "a", Kind::TextBox, "prompt", {}}};
static_assert(!torvane::forms::everyFieldIsNamed(kUnnamedField));
constexpr Control kLabelNamingAButton[] = {{0, "a", Kind::Label, "Go", {}, -1, nullptr, 1},
                                           {1, "b", Kind::Button, "Go", {}}};
static_assert(!torvane::forms::everyFieldIsNamed(kLabelNamingAButton));
constexpr Control kLabelWithAShortcut[] = {{0, "a", Kind::Label, "&Weight", {}, -1, nullptr, 1},
                                           {1, "b", Kind::TextBox, "", {}, 0, "Weight"}};
static_assert(!torvane::forms::everyFieldIsNamed(kLabelWithAShortcut));
constexpr Control kLabelNamingNothing[] = {{0, "a", Kind::Label, "Weight", {}, -1, nullptr, 7}};
static_assert(!torvane::forms::everyFieldIsNamed(kLabelNamingNothing));
}  // namespace

Q_DECLARE_METATYPE(std::function<void(const Controls&)>)

class TestForms : public QObject {
  Q_OBJECT

private slots:
  void init() {
    surface_ = std::make_unique<QWidget>();
    surface_->resize(300, 200);
    errors_.clear();
    controls_ =
        std::make_unique<Controls>(surface_.get(), QSize(4500, 3000), kTable, std::span<const torvane::forms::Group>{},
                                   [this](const torvane::RuntimeError& error) { errors_.push_back(error); });
  }
  void cleanup() {
    controls_.reset();
    surface_.reset();
  }

  void twipsBecomePixels_data() {
    QTest::addColumn<int>("twips");
    QTest::addColumn<double>("scale");
    QTest::addColumn<int>("pixels");
    QTest::newRow("the calculator's width") << 6915 << 1.0 << 461;
    QTest::newRow("half a pixel and less") << 7 << 1.0 << 0;
    QTest::newRow("more than half a pixel") << 8 << 1.0 << 1;
    QTest::newRow("a left margin at 20 pt") << 120 << 20.0 / 9 << 18;
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
    QCOMPARE(qobject_cast<QPushButton*>(controls_->widget(button))->text(), QString("Go"));
    QVERIFY(qobject_cast<QLabel*>(controls_->widget(label))->wordWrap());
    QCOMPARE(controls_->widget(windowLabel)->backgroundRole(), QPalette::Window);
    QCOMPARE(controls_->widget(label)->backgroundRole(), QPalette::Button);
    // a caption is made smaller to fit, but never below 7 pt at 9 pt
    QCOMPARE(controls_->widget(windowLabel)->font().pointSizeF(), surface_->font().pointSizeF() * 7 / 9);
    // each edge is rounded, not the size: boxes that meet in twips meet in pixels
    QCOMPARE(torvane::forms::Scale().rect(7, 0, 7, 15), QRect(0, 0, 1, 1));
  }

  // clang-format off
  void centredWhereTheTitleBarCanBeReached_data() {
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
  void centredWhereTheTitleBarCanBeReached() {
    QFETCH(QSize, client);
    QFETCH(QMargins, frame);
    QFETCH(QRect, available);
    QFETCH(QPoint, place);
    QCOMPARE(torvane::forms::centredPlace(client, frame, available), place);
  }

  // clang-format off
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
  // clang-format on
  void wrongAccessIsAControlAccessError() {
    QFETCH(std::function<void(const Controls&)>, access);
    QFETCH(QString, detail);
    try {
      access(*controls_);
      QFAIL("no error raised");
    } catch (const torvane::RuntimeError& error) {
      QCOMPARE(error.kind(), torvane::forms::kControlAccess);
      QCOMPARE(QString::fromStdString(error.detail()), detail);
    }
  }

  void pastingKeepsEveryCharacter_data() {
    QTest::addColumn<int>("anchor");  // the selection before the paste runs from the anchor to the cursor
    QTest::addColumn<int>("cursor");
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<bool>("fromMenu");  // or with the keys
    QTest::addColumn<QString>("after");
    const QString n(40'000, '7');
    QTest::newRow("long, over all") << 0 << 8 << n << false << n;
    QTest::newRow("long, over a part selected backwards") << 8 << 6 << n << false << "Enter " + n;
    QTest::newRow("long, at the cursor") << 5 << 5 << n << false << "Enter" + n + " HP";
    QTest::newRow("short, from the menu") << 0 << 8 << "300" << true << "300";
    QTest::newRow("long, from the menu") << 6 << 8 << n << true << "Enter " + n;
  }
  // A paste over "Enter HP" keeps all it pastes, leaves the cursor after it,
  // and undoes and redoes in one step, the selection before it restored.
  void pastingKeepsEveryCharacter() {
    const QString before = "Enter HP";
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
    const auto edit = [&](QKeySequence::StandardKey key, const char* action) { editBy(field, key, action, fromMenu); };
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
    QTest::keyClick(field, Qt::Key_X);
    QTest::keyClick(field, Qt::Key_Backspace);
    edit(QKeySequence::Undo, "edit-undo");  // takes back the erasing, not the paste
    QCOMPARE(field->text(), QString(after).insert(end, 'x'));
  }

  void tooLongATextIsRefused_data() {
    QTest::addColumn<QString>("way");
    QTest::addColumn<int>("length");     // of the field's text, the cursor at its end
    QTest::addColumn<bool>("selected");  // all of it, to be replaced
    QTest::addColumn<int>("entering");   // characters typed, pasted or dropped
    QTest::addColumn<bool>("refused");
    const int most = int(torvane::forms::kMostCharacters);
    QTest::newRow("typed into a full field") << "type" << most << false << 1 << true;
    QTest::newRow("typed into a field one short of full") << "type" << most - 1 << false << 1 << false;
    QTest::newRow("typed through an input method") << "input method" << most << false << 1 << true;
    QTest::newRow("pasted with the keys, one too many") << "keys" << 8 << false << most - 7 << true;
    QTest::newRow("pasted with the keys over the whole text") << "keys" << most << true << most << false;
    QTest::newRow("pasted from the menu") << "menu" << 0 << false << most + 1 << true;
    QTest::newRow("dropped, one too many") << "drop" << 8 << false << most - 7 << true;
    QTest::newRow("dropped, filling the field") << "drop" << 8 << false << most - 8 << false;
  }
  // The field keeps its text and the report names it and the limit.
  void tooLongATextIsRefused() {
    QFETCH(QString, way);
    QFETCH(int, length);
    QFETCH(bool, selected);
    QFETCH(int, entering);
    QFETCH(bool, refused);
    surface_->show();
    auto* field = qobject_cast<QLineEdit*>(controls_->widget(first));
    const QString before(length, '1');
    field->setText(before);
    if (selected) field->selectAll();
    const QString text(entering, '7');
    QGuiApplication::clipboard()->setText(text);
    if (way == "type") {
      QTest::keyClick(field, Qt::Key_7);
    } else if (way == "input method") {
      QInputMethodEvent event;
      event.setCommitString(text);
      static_cast<QObject*>(field)->event(&event);  // notify gives it only to the focus
    } else if (way == "drop") {
      QMimeData data;
      data.setText(text);
      QDropEvent drop(QPointF(field->width() - 2, 4), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
      static_cast<QObject*>(field)->event(&drop);  // as a drag ends over it; notify wants a drag in progress
    } else {
      editBy(field, QKeySequence::Paste, "edit-paste", way == "menu");
    }
    const qsizetype wouldBe = (selected ? 0 : length) + entering;
    QCOMPARE(field->text().size(), refused ? length : wouldBe);
    QCOMPARE(errors_.size(), std::size_t(refused));
    if (!refused) return;
    QCOMPARE(errors_[0].kind(), torvane::forms::kTooLong);
    QCOMPARE(QString::fromStdString(errors_[0].detail()),
             QString("In the first number field, the text would be %1 characters long, and a field holds at "
                     "most 65536. The field is left as it was.")
                 .arg(wouldBe));
  }

private:
  // Pastes, undoes or redoes in a field with the keys or from its menu.
  static void editBy(QLineEdit* field, QKeySequence::StandardKey key, const char* action, bool fromMenu) {
    if (!fromMenu) return QTest::keySequence(field, QKeySequence::keyBindings(key).first());
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(4, 4), field->mapToGlobal(QPoint(4, 4)));
    QApplication::sendEvent(field, &event);
    auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    QVERIFY(menu && menu->findChild<QAction*>(action) && menu->findChild<QAction*>(action)->isEnabled());
    menu->findChild<QAction*>(action)->trigger();
    menu->close();
  }

  std::vector<torvane::RuntimeError> errors_;  // what the text boxes refused
  std::unique_ptr<QWidget> surface_;
  std::unique_ptr<Controls> controls_;
};

QTEST_MAIN(TestForms)
#include "test_forms.moc"
