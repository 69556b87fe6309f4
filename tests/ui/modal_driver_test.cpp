// The driver the window tests rely on, on plain Qt windows: if it missed a
// window or let one hang, every other test of the windows would mislead.
#include "modal_driver.h"

#include <QAction>
#include <QDialog>
#include <QMenu>
#include <QMessageBox>

#include "ui_test_support.h"

namespace tervane::uitest {
namespace {

// A window short of a handler stays open until the deadline; the tests of
// the deadline need not wait the usual time for it.
constexpr std::chrono::milliseconds kShortDeadline(300);

QStringList Titles(const ModalDriver& driver) {
  QStringList titles;
  for (const ModalDriver::Window& window : driver.Windows()) titles << window.title;
  return titles;
}

// Opens a message box over `owner` and waits for it to close.
int AskInside(QWidget* owner) {
  QMessageBox inner(QMessageBox::NoIcon, QStringLiteral("Inner"), QStringLiteral("Nested?"), QMessageBox::Ok,
                    owner);
  return inner.exec();
}

}  // namespace

class ModalDriverTest : public QObject {
  Q_OBJECT

 private slots:
  void servesNestedWindowsInOrder() {
    QDialog outer;
    outer.setWindowTitle(QStringLiteral("Outer"));
    int outerResult = -1;
    int innerResult = -1;

    ModalDriver driver;
    const bool ok =
        driver.Run([&] { outerResult = outer.exec(); }, {[&](QWidget* window) {
                                                           innerResult = AskInside(window);
                                                           qobject_cast<QDialog*>(window)->accept();
                                                         },
                                                         ClickHandler(QMessageBox::Ok)});
    QVERIFY2(ok, qPrintable(driver.Problems()));
    QCOMPARE(Titles(driver), (QStringList{"Outer", "Inner"}));
    QCOMPARE(driver.Windows().back().text, QStringLiteral("Nested?"));
    QCOMPARE(innerResult, int(QMessageBox::Ok));
    QCOMPARE(outerResult, int(QDialog::Accepted));
  }

  void choosesPopupMenuItem() {
    QMenu menu;
    menu.addAction(QStringLiteral("One"));
    QAction* two = menu.addAction(QStringLiteral("Two"));
    QAction* chosen = nullptr;

    ModalDriver driver;
    QVERIFY2(
        driver.Run([&] { chosen = menu.exec(QPoint(10, 10)); }, {MenuItemHandler(QStringLiteral("Two"))}),
        qPrintable(driver.Problems()));
    QCOMPARE(driver.Windows().front().text, QStringLiteral("One\nTwo"));
    QCOMPARE(chosen, two);
  }

  void closesAndReportsUnexpectedWindow() {
    QMessageBox surprise(QMessageBox::NoIcon, QStringLiteral("Surprise"), QStringLiteral("Boo"),
                         QMessageBox::Ok);
    ModalDriver driver;
    QVERIFY(!driver.Run([&] { surprise.exec(); }, {}));
    QVERIFY2(driver.Problems().contains(QStringLiteral("unexpected modal window \"Surprise\"")),
             qPrintable(driver.Problems()));
    QCOMPARE(Titles(driver), QStringList{"Surprise"});
    QVERIFY(!surprise.isVisible());
  }

  void reportsHandlerWithoutWindow() {
    ModalDriver driver;
    QVERIFY(!driver.Run([] {}, {PressKeyHandler(Qt::Key_Escape)}));
    QVERIFY2(driver.Problems().contains(QStringLiteral("1 handler(s) got no window")),
             qPrintable(driver.Problems()));
  }

  // One handler for all: a window inside another, and a window that comes
  // up a second time, each meet it.
  void servesEveryWindowWithOneHandler() {
    QDialog outer;
    outer.setWindowTitle(QStringLiteral("Outer"));
    QMessageBox again(QMessageBox::NoIcon, QStringLiteral("Again"), QStringLiteral("Twice"), QMessageBox::Ok);
    int served = 0;
    const auto answer = [&](QWidget* window) {
      ++served;
      if (window == &outer) AskInside(window);
      if (auto* dialog = qobject_cast<QDialog*>(window)) dialog->accept();
    };

    ModalDriver driver(std::chrono::seconds(5), std::chrono::milliseconds(0));
    const bool ok = driver.RunServingEvery(
        [&] {
          outer.exec();
          again.exec();
          again.exec();
        },
        answer);
    QVERIFY2(ok, qPrintable(driver.Problems()));
    QCOMPARE(Titles(driver), (QStringList{"Outer", "Inner", "Again", "Again"}));
    QCOMPARE(served, 4);
  }

  void deadlineHoldsWhenServingEvery() {
    QDialog stubborn;
    stubborn.setWindowTitle(QStringLiteral("Stubborn"));
    ModalDriver driver(kShortDeadline, std::chrono::milliseconds(0));
    QVERIFY(!driver.RunServingEvery([&] { stubborn.exec(); }, [](QWidget*) {}));
    QCOMPARE(driver.Problems(), QStringLiteral("deadline reached, closed \"Stubborn\""));
    QVERIFY(!stubborn.isVisible());
  }

  // Handlers that leave their windows open, one inside the other: the
  // deadline closes both, innermost first, and the trigger returns.
  void deadlineClosesEverythingLeftOpen() {
    QDialog outer;
    outer.setWindowTitle(QStringLiteral("Outer"));
    ModalDriver driver(kShortDeadline);
    QVERIFY(
        !driver.Run([&] { outer.exec(); }, {[](QWidget* window) { AskInside(window); }, [](QWidget*) {}}));
    QCOMPARE(driver.Problems(),
             QStringLiteral("deadline reached, closed \"Inner\"; deadline reached, closed \"Outer\""));
    QVERIFY(!outer.isVisible());
  }
};

}  // namespace tervane::uitest

TERVANE_UI_TEST_MAIN(tervane::uitest::ModalDriverTest)
#include "modal_driver_test.moc"
