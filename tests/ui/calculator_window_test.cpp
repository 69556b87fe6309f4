// The main window as it opens, its part list, and getting about it with the
// keyboard and the amplifier-type radios.
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QIcon>
#include <QImage>
#include <QLabel>
#include <QRadioButton>
#include <QSvgRenderer>

#include "modal_driver.h"
#include "ui_test_support.h"

namespace tervane::uitest {
namespace {

const QByteArray kThreeParts = "DemoAmpB 1n 1p 5\nDemoAmpA 2.9n 1.6p 9\nQuietOne 1.1n 2p 3\n";

const QStringList kDefaultTexts{QStringLiteral("0"),  QStringLiteral("1k"), QStringLiteral("1k"),
                                QStringLiteral("80"), QStringLiteral("20"), QStringLiteral("20k"),
                                QStringLiteral("1"),  QStringLiteral("3n"), QStringLiteral("400f"),
                                QStringLiteral("0"),  QStringLiteral("0")};

// The Tab order from the temperature field round the whole window.
const QStringList kTabOrder{QStringLiteral("temperatureEdit"),
                            QStringLiteral("noiseVoltageEdit"),
                            QStringLiteral("noiseCurrentEdit"),
                            QStringLiteral("lowerFreqEdit"),
                            QStringLiteral("upperFreqEdit"),
                            QStringLiteral("refVoltageEdit"),
                            QStringLiteral("sourceResistorEdit"),
                            QStringLiteral("r1Edit"),
                            QStringLiteral("r2Edit"),
                            QStringLiteral("calculateButton"),
                            QStringLiteral("exitButton"),
                            QStringLiteral("helpButton"),
                            QStringLiteral("cornerFreqEdit"),
                            QStringLiteral("riaaButton"),
                            QStringLiteral("calcCornerButton"),
                            QStringLiteral("partList"),
                            QStringLiteral("applyCornerCheck"),
                            QStringLiteral("carryEdit"),
                            QStringLiteral("calcWithCarryButton")};

QSize PictureSize(const CalculatorUnderTest& calc) {
  return calc.Child<QLabel>("circuitPicture")->pixmap().deviceIndependentSize().toSize();
}

QString CheckedRadio(const CalculatorUnderTest& calc) {
  for (const char* name : {"bufferRadio", "nonInvertingRadio", "invertingRadio"})
    if (calc.Child<QRadioButton>(name)->isChecked()) return QString::fromLatin1(name);
  return {};
}

}  // namespace

class CalculatorWindowTest : public QObject {
  Q_OBJECT

  std::unique_ptr<CalculatorUnderTest> m_calc;

 private slots:
  void init() { m_calc = std::make_unique<CalculatorUnderTest>(); }
  void cleanup() { m_calc.reset(); }

  void opensWithDefaultsWithoutPartFile() {
    QVERIFY(m_calc->Open(std::nullopt));
    QCOMPARE(m_calc->Texts(), kDefaultTexts);
    QCOMPARE(CheckedRadio(*m_calc), QStringLiteral("nonInvertingRadio"));
    QVERIFY(m_calc->Child<QCheckBox>("applyCornerCheck")->isChecked());
    QVERIFY(m_calc->Child<QLineEdit>("r1Edit")->isEnabled());
    QCOMPARE(m_calc->Child<QComboBox>("partList")->count(), 0);
    QCOMPARE(PictureSize(*m_calc), QSize(201, 191));
    QCOMPARE(m_calc->FocusName(), QStringLiteral("temperatureEdit"));
  }

  void partFileFillsList_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("items");
    QTest::addColumn<int>("selected");
    QTest::addColumn<QStringList>("noise");  // voltage, current, corner

    QTest::newRow("sorted by name") << kThreeParts << QStringList{"DemoAmpA", "DemoAmpB", "QuietOne"} << 0
                                    << QStringList{"2.9n", "1.6p", "9"};
    QTest::newRow("case ignored") << QByteArray("zeta 1n 1p 1\nAlpha 2n 2p 2\nbeta 3n 3p 3\n")
                                  << QStringList{"Alpha", "beta", "zeta"} << 0
                                  << QStringList{"2n", "2p", "2"};
    // Each byte is its Windows-1252 character, the undefined ones the
    // control character of their number; the order is the bytes'.
    QTest::newRow("Windows-1252 names") << QByteArray("\xB5" "A741 2n 2p 2\nZ\x81\xFF 3n 3p 3\n\x80uro 1n 1p 1\n")
                                        << QStringList{QStringLiteral("Z\u0081\u00FF"), QStringLiteral("\u20ACuro"),
                                                       QStringLiteral("\u00B5A741")}
                                        << 0 << QStringList{"3n", "3p", "3"};
    QTest::newRow("comments only") << QByteArray("/ no parts yet\n/ NE5532 5n 700f 47\n") << QStringList{}
                                   << -1 << QStringList{"3n", "400f", "0"};
  }

  void partFileFillsList() {
    QFETCH(QByteArray, file);
    QFETCH(QStringList, items);
    QFETCH(int, selected);
    QFETCH(QStringList, noise);

    QVERIFY(m_calc->Open(file));
    auto* list = m_calc->Child<QComboBox>("partList");
    QStringList shown;
    for (int i = 0; i < list->count(); ++i) shown << list->itemText(i);
    QCOMPARE(shown, items);
    QCOMPARE(list->currentIndex(), selected);
    QCOMPARE((QStringList{m_calc->Text("noiseVoltageEdit"), m_calc->Text("noiseCurrentEdit"),
                          m_calc->Text("cornerFreqEdit")}),
             noise);
    QCOMPARE(m_calc->Text("temperatureEdit"), QStringLiteral("80"));
  }

  void windowIcon_data() {
    QTest::addColumn<int>("asked");
    QTest::addColumn<int>("shown");

    QTest::newRow("smallest") << 16 << 16;
    QTest::newRow("drawn size") << 48 << 48;
    QTest::newRow("between sizes, from the next larger") << 40 << 40;
    QTest::newRow("larger than any, the largest") << 512 << 256;
  }

  void windowIcon() {
    QFETCH(int, asked);
    QFETCH(int, shown);

    QVERIFY(m_calc->Open(std::nullopt));
    const QIcon icon = m_calc->Dialog().windowIcon();
    QList<QSize> drawn;
    for (int size : {16, 22, 24, 32, 48, 64, 128, 256}) drawn << QSize(size, size);
    QCOMPARE(icon.availableSizes(), drawn);
    const QImage image = icon.pixmap(QSize(asked, asked)).toImage();
    QCOMPARE(image.size(), QSize(shown, shown));
    // The middle of the icon is drawn, not left transparent.
    QCOMPARE(qAlpha(image.pixel(shown / 2, shown / 2)), 255);
  }

  void defaultConstructorReadsCurrentFolder() {
    const QString current = QDir::currentPath();
    QVERIFY(m_calc->Open(QByteArray("FromHere 7n 8f 9\n"), PartFileLookup::CurrentFolder));
    QCOMPARE(QDir::currentPath(), current);
    auto* list = m_calc->Child<QComboBox>("partList");
    QCOMPARE(list->count(), 1);
    QCOMPARE(list->currentText(), QStringLiteral("FromHere"));
    QCOMPARE(m_calc->Text("noiseVoltageEdit"), QStringLiteral("7n"));
  }

  void keyboardPartChoiceReplacesNoiseFigures() {
    QVERIFY(m_calc->Open(kThreeParts));
    m_calc->Type("noiseVoltageEdit", QStringLiteral("7n"));
    m_calc->Type("noiseCurrentEdit", QStringLiteral("9p"));
    m_calc->Type("cornerFreqEdit", QStringLiteral("99"));
    m_calc->Type("temperatureEdit", QStringLiteral("50"));

    auto* list = m_calc->Child<QComboBox>("partList");
    list->setFocus();
    PressKey(&m_calc->Dialog(), Qt::Key_Down);

    QCOMPARE(list->currentText(), QStringLiteral("DemoAmpB"));
    QCOMPARE(m_calc->Text("noiseVoltageEdit"), QStringLiteral("1n"));
    QCOMPARE(m_calc->Text("noiseCurrentEdit"), QStringLiteral("1p"));
    QCOMPARE(m_calc->Text("cornerFreqEdit"), QStringLiteral("5"));
    QCOMPARE(m_calc->Text("temperatureEdit"), QStringLiteral("50"));
  }

  void tabVisitsControlsInOrder_data() {
    QTest::addColumn<QString>("radio");
    QTest::addColumn<QStringList>("order");

    QStringList withoutR1 = kTabOrder;
    withoutR1.removeOne(QStringLiteral("r1Edit"));
    QTest::newRow("non-inverting") << "nonInvertingRadio" << kTabOrder;
    QTest::newRow("inverting") << "invertingRadio" << kTabOrder;
    QTest::newRow("buffer skips R1") << "bufferRadio" << withoutR1;
  }

  // The radios never take the focus from Tab: they are absent from the
  // order however often it wraps.
  void tabVisitsControlsInOrder() {
    QFETCH(QString, radio);
    QFETCH(QStringList, order);

    QVERIFY(m_calc->Open(std::nullopt));
    m_calc->Child<QRadioButton>(qPrintable(radio))->click();
    m_calc->Child<QLineEdit>("temperatureEdit")->setFocus();

    QStringList visited{m_calc->FocusName()};
    for (qsizetype i = 0; i < order.size(); ++i) {
      PressKey(&m_calc->Dialog(), Qt::Key_Tab);
      visited << m_calc->FocusName();
    }
    QCOMPARE(visited, order + QStringList{order.front()});
  }

  void altKeysChooseAmplifierType_data() {
    QTest::addColumn<QString>("start");
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<bool>("r1Enabled");

    QTest::newRow("Alt+B") << "nonInvertingRadio" << int(Qt::Key_B) << "bufferRadio" << false;
    QTest::newRow("Alt+N") << "bufferRadio" << int(Qt::Key_N) << "nonInvertingRadio" << true;
    QTest::newRow("Alt+I") << "bufferRadio" << int(Qt::Key_I) << "invertingRadio" << true;
  }

  void altKeysChooseAmplifierType() {
    QFETCH(QString, start);
    QFETCH(int, key);
    QFETCH(QString, chosen);
    QFETCH(bool, r1Enabled);

    QVERIFY(m_calc->Open(std::nullopt));
    m_calc->Child<QRadioButton>(qPrintable(start))->click();
    PressKey(&m_calc->Dialog(), key, Qt::AltModifier);
    // A mnemonic presses its button at once and releases it a moment later.
    QTRY_COMPARE(CheckedRadio(*m_calc), chosen);
    QCOMPARE(m_calc->Child<QLineEdit>("r1Edit")->isEnabled(), r1Enabled);
  }

  void amplifierTypeSetsR1AndDrawing_data() {
    QTest::addColumn<QString>("radio");
    QTest::addColumn<bool>("r1Enabled");
    QTest::addColumn<QSize>("picture");

    QTest::newRow("buffer") << "bufferRadio" << false << QSize(201, 131);
    QTest::newRow("non-inverting") << "nonInvertingRadio" << true << QSize(201, 191);
    QTest::newRow("inverting") << "invertingRadio" << true << QSize(221, 141);
  }

  // R1 keeps whatever it holds while the buffer greys it out, readable or not.
  void amplifierTypeSetsR1AndDrawing() {
    QFETCH(QString, radio);
    QFETCH(bool, r1Enabled);
    QFETCH(QSize, picture);

    QVERIFY(m_calc->Open(std::nullopt));
    m_calc->Type("r1Edit", QStringLiteral("abc"));
    m_calc->Child<QRadioButton>("bufferRadio")->click();
    QVERIFY(!m_calc->Child<QLineEdit>("r1Edit")->isEnabled());

    m_calc->Child<QRadioButton>(qPrintable(radio))->click();
    QCOMPARE(m_calc->Child<QLineEdit>("r1Edit")->isEnabled(), r1Enabled);
    QCOMPARE(m_calc->Text("r1Edit"), QStringLiteral("abc"));
    QCOMPARE(PictureSize(*m_calc), picture);
  }

  void prerenderedDrawingsFitTheirSvg_data() {
    QTest::addColumn<QString>("name");
    for (const char* name : {"circuit_buffer", "circuit_noninverting", "circuit_inverting"})
      QTest::newRow(name) << name;
  }

  // The PNGs are rendered from the SVGs by hand; one left behind by an edit
  // of its drawing would show another size at 100 % or 200 %.
  void prerenderedDrawingsFitTheirSvg() {
    QFETCH(QString, name);
    const QString stem = QStringLiteral(":/circuits/") + name;
    const QSvgRenderer drawing(stem + QStringLiteral(".svg"));
    QVERIFY(drawing.isValid());
    QCOMPARE(QImage(stem + QStringLiteral(".png")).size(), drawing.defaultSize());
    QCOMPARE(QImage(stem + QStringLiteral("@2x.png")).size(), drawing.defaultSize() * 2);
  }
};

}  // namespace tervane::uitest

TERVANE_UI_TEST_MAIN(tervane::uitest::CalculatorWindowTest)
#include "calculator_window_test.moc"
