#include <QAccessible>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
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
  }
  void twipsBecomePixels() {
    QFETCH(int, twips);
    QFETCH(double, scale);
    QFETCH(int, pixels);
    QCOMPARE(torvane::forms::Scale(scale).pixels(twips), pixels);
  }

  void buildsEveryRowAtItsPlace_data() {
    QTest::addColumn<int>("pointSize");  // the window's font
    QTest::addColumn<Qt::LayoutDirection>("direction");
    QTest::addColumn<QRect>("place");  // of the first label
    QTest::newRow("9 pt") << 9 << Qt::LeftToRight << QRect(8, 8, 100, 33);
    QTest::newRow("10 pt, the smallest size between half points") << 10 << Qt::LeftToRight << QRect(9, 9, 111, 37);
    QTest::newRow("12 pt, right to left: from the right edge") << 12 << Qt::RightToLeft << QRect(256, 11, 133, 44);
  }
  void buildsEveryRowAtItsPlace() {
    QFETCH(int, pointSize);
    QFETCH(Qt::LayoutDirection, direction);
    QFETCH(QRect, place);
    surface_ = std::make_unique<QWidget>();
    surface_->setFont(QFont(QFont().family(), pointSize));
    surface_->setLayoutDirection(direction);
    controls_ = std::make_unique<Controls>(surface_.get(), QSize(4500, 3000), kTable);
    QCOMPARE(controls_->widget(label)->geometry(), place);
    QCOMPARE(qobject_cast<QPushButton*>(controls_->widget(button))->text(), QString("Go"));
    QVERIFY(qobject_cast<QLabel*>(controls_->widget(label))->wordWrap());
    QCOMPARE(controls_->widget(windowLabel)->backgroundRole(), QPalette::Window);
    QCOMPARE(controls_->widget(label)->backgroundRole(), QPalette::Button);
    // a caption is made smaller to fit, down to 7/9 of the window's size: 7 pt at 9 pt
    QCOMPARE(controls_->widget(windowLabel)->font().pointSizeF(), pointSize * 7.0 / 9);
    // in a wider window each control keeps its distance from the edge it is measured from
    surface_->resize(controls_->clientSize() + QSize(100, 0));
    surface_->show();
    QCOMPARE(controls_->widget(label)->x(), place.x() + (direction == Qt::RightToLeft ? 100 : 0));
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
    QTest::newRow("an input method replacing the last one") << "input method, replacing" << most << false << 1 << false;
    QTest::newRow("pasted with the keys twice, one too many") << "keys" << 8 << false << most - 7 << true;
    QTest::newRow("pasted with the keys over the whole text") << "keys" << most << true << most << false;
    QTest::newRow("pasted, with no text to paste, over the whole text") << "keys" << 3 << true << 0 << true;
    QTest::newRow("dropped, one too many") << "drop" << 8 << false << most - 7 << true;
    QTest::newRow("dropped, filling the field") << "drop" << 8 << false << most - 8 << false;
    QTest::newRow("a screen reader's insert into a full field") << "screen reader" << most << false << 1 << true;
    QTest::newRow("a screen reader's setting of the whole text") << "screen reader's set" << most << false << 1 << true;
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
    const int replaced = way.endsWith("replacing") ? 1 : 0;  // by an input method's commit
    if (way == "type") {
      QTest::keyClick(field, Qt::Key_7);
    } else if (way.startsWith("input method")) {
      QInputMethodEvent composing("abc", {}), event, none;  // a composition under way, then the commit
      event.setCommitString(text, -replaced, replaced);
      static_cast<QObject*>(field)->event(&composing);
      static_cast<QObject*>(field)->event(&event);  // notify gives it only to the focus
      const QImage drawn = field->grab().toImage();
      static_cast<QObject*>(field)->event(&none);
      QCOMPARE(field->grab().toImage(), drawn);  // no composition left drawn
    } else if (way.startsWith("screen reader")) {
      QAccessibleInterface* reader = QAccessible::queryAccessibleInterface(field);
      way == "screen reader" ? reader->editableTextInterface()->insertText(0, text)
                             : reader->setText(QAccessible::Value, before + text);
    } else if (way == "drop") {
      QMimeData data;
      data.setText(text);
      QDragEnterEvent enter(QPoint(field->width() - 2, 4), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
                            Qt::ShiftModifier);  // a move, which under X11 the source takes from the drag's answer
      QDropEvent drop(enter.position(), enter.possibleActions(), &data, Qt::LeftButton, Qt::ShiftModifier);
      static_cast<QObject*>(field)->event(&enter);
      static_cast<QObject*>(field)->event(&drop);  // as a drag ends over it; notify wants a drag in progress
      QCOMPARE((enter.isAccepted() && enter.dropAction() == Qt::MoveAction) || drop.isAccepted(), !refused);
    } else {
      for (int i = 0; i <= int(refused); ++i)  // a refusal pasted again before its report is reported once
        QTest::keySequence(field, QKeySequence::keyBindings(QKeySequence::Paste).first());
    }
    QVERIFY(errors_.empty());
    QCoreApplication::processEvents();
    const qsizetype wouldBe = (selected ? 0 : length) - replaced + entering;
    QCOMPARE(field->text().size(), refused ? length : wouldBe);
    if (refused) QCOMPARE(field->text(), before);
    QCOMPARE(errors_.size(), std::size_t(refused && entering > 0));
    if (errors_.empty()) return;
    QCOMPARE(errors_[0].kind(), torvane::forms::kTooLong);
    QCOMPARE(QString::fromStdString(errors_[0].detail()),
             QString("In the first number field, the text would be %1 characters long, and a field holds at "
                     "most 65536. The field is left as it was.")
                 .arg(wouldBe));
  }

private:
  std::vector<torvane::RuntimeError> errors_;  // what the text boxes refused
  std::unique_ptr<QWidget> surface_;
  std::unique_ptr<Controls> controls_;
};

QTEST_MAIN(TestForms)
#include "test_forms.moc"
