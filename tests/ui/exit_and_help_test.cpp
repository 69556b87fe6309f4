// Leaving the program, the Help menu with its links, and the About box.
#include <QContextMenuEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

#include "modal_driver.h"
#include "ui/links.h"
#include "ui_test_support.h"

namespace tervane::uitest {
namespace {

const QStringList kHelpItems{QStringLiteral("Help"), QStringLiteral("Website"), QStringLiteral("Bug Report"),
                             QStringLiteral("Contact"), QStringLiteral("About")};

enum class ExitWay { ExitButton, CloseBox, Escape, EnterInField };

// Every way a user has of ending the program.
void Leave(const CalculatorUnderTest& calc, ExitWay way) {
  switch (way) {
    case ExitWay::ExitButton:
      calc.Click("exitButton");
      break;
    case ExitWay::CloseBox:
      calc.Dialog().close();
      break;
    case ExitWay::Escape:
      PressKey(&calc.Dialog(), Qt::Key_Escape);
      break;
    case ExitWay::EnterInField:
      PressKey(&calc.Dialog(), Qt::Key_Return);
      break;
  }
}

// The exit question as the user sees it.
struct QuestionView {
  QMessageBox::StandardButtons buttons;
  bool okIsDefault = false;
  QMessageBox::Icon icon = QMessageBox::Warning;
};

ModalDriver::Handler Answer(QuestionView& view, QMessageBox::StandardButton answer) {
  return [&view, answer](QWidget* window) {
    if (auto* box = qobject_cast<QMessageBox*>(window)) {
      view = {box->standardButtons(), box->defaultButton() == box->button(QMessageBox::Ok), box->icon()};
      ClickButton(box, answer);
    }
  };
}

// The About box as the user sees it.
struct AboutView {
  QString labels;
  bool openAfterLink = false;
};

ModalDriver::Handler LookAtAbout(AboutView& view) {
  return [&view](QWidget* about) {
    QStringList labels;
    for (const QLabel* label : about->findChildren<QLabel*>()) labels << label->text();
    view.labels = labels.join(QLatin1Char('\n'));
    ClickButton(about, "websiteButton");
    view.openAfterLink = about->isVisible();
    ClickButton(about, "okButton");
  };
}

// A right click on a label of the main window.
void RightClickLabel(const CalculatorUnderTest& calc) {
  QLabel* label = calc.Child<QLabel>("temperatureLabel");
  const QPoint at = label->rect().center();
  QContextMenuEvent event(QContextMenuEvent::Mouse, at, label->mapToGlobal(at));
  QApplication::sendEvent(label, &event);
}

}  // namespace

class ExitAndHelpTest : public QObject {
  Q_OBJECT

  std::unique_ptr<CalculatorUnderTest> m_calc;
  std::unique_ptr<LinkCatcher> m_links;

 private slots:
  void init() {
    m_links = std::make_unique<LinkCatcher>();
    m_calc = std::make_unique<CalculatorUnderTest>();
    QVERIFY(m_calc->Open(std::nullopt));
  }
  void cleanup() {
    m_calc.reset();
    m_links.reset();
  }

  void exitAsksFirst_data() {
    QTest::addColumn<int>("way");
    QTest::addColumn<bool>("confirm");
    QTest::addColumn<int>("result");

    for (const auto& [name, way, result] : {std::tuple{"Exit button", ExitWay::ExitButton, QDialog::Accepted},
                                            {"close box", ExitWay::CloseBox, QDialog::Rejected},
                                            {"Escape", ExitWay::Escape, QDialog::Rejected},
                                            {"Enter in a field", ExitWay::EnterInField, QDialog::Accepted}}) {
      QTest::addRow("%s, OK", name) << int(way) << true << int(result);
      QTest::addRow("%s, Cancel", name) << int(way) << false << int(result);
    }
  }

  void exitAsksFirst() {
    QFETCH(int, way);
    QFETCH(bool, confirm);
    QFETCH(int, result);

    m_calc->Type("temperatureEdit", QStringLiteral("55"));
    m_calc->Child<QLineEdit>("temperatureEdit")->setFocus();
    ModalDriver driver;
    QuestionView view;
    QVERIFY2(driver.Run([&] { Leave(*m_calc, static_cast<ExitWay>(way)); },
                        {Answer(view, confirm ? QMessageBox::Ok : QMessageBox::Cancel)}),
             qPrintable(driver.Problems()));

    QCOMPARE(driver.Windows().size(), 1);
    QCOMPARE(driver.Windows().front().kind, QStringLiteral("QMessageBox"));
    QCOMPARE(driver.Windows().front().title, QCoreApplication::applicationName());
    QCOMPARE(driver.Windows().front().text, QStringLiteral("Are you certain that you want to exit?"));
    QCOMPARE(view.buttons, QMessageBox::Ok | QMessageBox::Cancel);
    QVERIFY(view.okIsDefault);
    QCOMPARE(view.icon, QMessageBox::NoIcon);

    QCOMPARE(m_calc->Dialog().isVisible(), !confirm);
    if (confirm) QCOMPARE(m_calc->Dialog().result(), result);
    QCOMPARE(m_calc->Text("temperatureEdit"), QStringLiteral("55"));
  }

  void enterClicksFocusedButton_data() {
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("opens");  // the kind of window it brings up, if any
    QTest::addColumn<QString>("upperBound");

    QTest::newRow("RIAA NBW") << "riaaButton" << QString() << "108.0903";
    QTest::newRow("Calculate") << "calculateButton"
                               << "QDialog"
                               << "20k";
    QTest::newRow("Help") << "helpButton"
                          << "QMenu"
                          << "20k";
  }

  // Enter on a focused button is that button's click, not a way out.
  void enterClicksFocusedButton() {
    QFETCH(QString, button);
    QFETCH(QString, opens);
    QFETCH(QString, upperBound);

    m_calc->Type("noiseVoltageEdit", QStringLiteral("5n"));
    m_calc->Child<QPushButton>(qPrintable(button))->setFocus();
    std::vector<ModalDriver::Handler> handlers;
    if (!opens.isNull()) handlers.push_back(PressKeyHandler(Qt::Key_Escape));
    ModalDriver driver;
    QVERIFY2(driver.Run([&] { PressKey(&m_calc->Dialog(), Qt::Key_Return); }, handlers),
             qPrintable(driver.Problems()));

    if (!opens.isNull()) QCOMPARE(driver.Windows().front().kind, opens);
    QVERIFY(m_calc->Dialog().isVisible());
    QCOMPARE(m_calc->Text("upperFreqEdit"), upperBound);
    QCOMPARE(m_calc->Text("noiseVoltageEdit"), QStringLiteral("5n"));
  }

  void helpMenuOpensOverButton() {
    const QStringList before = m_calc->Texts();
    QPoint menuAt;
    ModalDriver driver;
    QVERIFY2(driver.Run([&] { m_calc->Click("helpButton"); }, {[&](QWidget* menu) {
                          menuAt = menu->mapToGlobal(QPoint(0, 0));
                          PressKey(menu, Qt::Key_Escape);
                        }}),
             qPrintable(driver.Problems()));

    QCOMPARE(driver.Windows().size(), 1);
    QCOMPARE(driver.Windows().front().kind, QStringLiteral("QMenu"));
    QCOMPARE(driver.Windows().front().text.split(QLatin1Char('\n')), kHelpItems);
    QCOMPARE(menuAt, m_calc->Child<QPushButton>("helpButton")->mapToGlobal(QPoint(0, 0)));
    QVERIFY(m_links->opened.isEmpty());
    QCOMPARE(m_calc->Texts(), before);
    QVERIFY(m_calc->Dialog().isVisible());
  }

  void helpMenuOpensLinks_data() {
    QTest::addColumn<QString>("item");
    QTest::addColumn<QUrl>("target");

    QTest::newRow("Help") << "Help" << QUrl(QStringLiteral("https://www.tervane.org/audio/tervane.htm"));
    QTest::newRow("Website") << "Website" << QUrl(QStringLiteral("https://www.tervane.org/"));
    QTest::newRow("Bug Report") << "Bug Report" << QUrl(QStringLiteral("mailto:bugs@tervane.org"));
    QTest::newRow("Contact") << "Contact" << QUrl(QStringLiteral("mailto:contact@tervane.org"));
  }

  void helpMenuOpensLinks() {
    QFETCH(QString, item);
    QFETCH(QUrl, target);

    const QStringList before = m_calc->Texts();
    ModalDriver driver;
    QVERIFY2(driver.Run([&] { m_calc->Click("helpButton"); }, {MenuItemHandler(item)}),
             qPrintable(driver.Problems()));
    QCOMPARE(m_links->opened, QList<QUrl>{target});
    QCOMPARE(m_calc->Texts(), before);
  }

  // The help page lives on the maker's site, wherever that moves.
  void helpPageIsOnWebsite() {
    const QUrl help(QString::fromLatin1(ui::kHelpPageLink));
    const QUrl site(QString::fromLatin1(ui::kWebsiteLink));
    QCOMPARE(help.scheme(), site.scheme());
    QCOMPARE(help.host(), site.host());
    QCOMPARE(help.path(), QStringLiteral("/audio/tervane.htm"));
  }

  void aboutBox_data() {
    QTest::addColumn<bool>("fromHelpMenu");
    QTest::addColumn<QString>("item");

    QTest::newRow("Help menu") << true << "About";
    QTest::newRow("context menu") << false << "&About Tervane...";
  }

  void aboutBox() {
    QFETCH(bool, fromHelpMenu);
    QFETCH(QString, item);

    m_calc->Type("temperatureEdit", QStringLiteral("25C"));
    const QStringList before = m_calc->Texts();
    ModalDriver driver;
    AboutView about;
    const auto open = [&] {
      if (fromHelpMenu)
        m_calc->Click("helpButton");
      else
        RightClickLabel(*m_calc);
    };
    QVERIFY2(driver.Run(open, {MenuItemHandler(item), LookAtAbout(about)}), qPrintable(driver.Problems()));

    QCOMPARE(driver.Windows().size(), 2);
    QVERIFY(driver.Windows().front().text.split(QLatin1Char('\n')).contains(item));
    QCOMPARE(driver.Windows().back().title, QStringLiteral("About Tervane"));
    QVERIFY2(about.labels.contains(QStringLiteral("Version 3.0")), qPrintable(about.labels));
    QVERIFY(about.openAfterLink);
    QCOMPARE(m_links->opened, QList<QUrl>{QUrl(QStringLiteral("https://www.tervane.org/"))});
    QCOMPARE(m_calc->Texts(), before);
    QVERIFY(m_calc->Dialog().isVisible());
  }
};

}  // namespace tervane::uitest

TERVANE_UI_TEST_MAIN(tervane::uitest::ExitAndHelpTest)
#include "exit_and_help_test.moc"
