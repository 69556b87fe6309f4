// Renders every window of the calculator into PNG files, driving the real
// dialogs as a user would: tervane_screenshots <output folder> [suffix],
// the suffix (such as "@2x") appended to every file name. Run it in the
// folder that holds the part library.
#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDir>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <utility>

#include "ui/calculator_dialog.h"

namespace {

QDir g_outputDir;
QString g_suffix;

void Save(QWidget* window, const QString& name) {
  QApplication::processEvents();
  window->grab().save(g_outputDir.filePath(name + g_suffix + QStringLiteral(".png")));
}

QWidget* TopWindow() {
  if (QWidget* popup = QApplication::activePopupWidget()) return popup;
  return QApplication::activeModalWidget();
}

// After `delayMs`, acts on the popup or modal window that is up by then.
void Later(int delayMs, const std::function<void(QWidget*)>& act) {
  QTimer::singleShot(delayMs, [act] {
    if (QWidget* window = TopWindow()) act(window);
  });
}

void SaveAndClose(QWidget* window, const QString& name) {
  Save(window, name);
  window->close();
}

QAbstractButton* Button(QWidget* parent, const char* name) {
  return parent->findChild<QAbstractButton*>(QString::fromLatin1(name));
}

// The results window's views, each tab in turn.
void SaveViews(QWidget* results) {
  auto* tabs = results->findChild<QTabWidget*>(QStringLiteral("viewTabs"));
  for (const char* name : {"breakdown", "spectrum", "comparison", "figures"}) {
    tabs->setCurrentWidget(tabs->findChild<QWidget*>(QString::fromLatin1(name) + QStringLiteral("Tab")));
    Save(results, QStringLiteral("noise-results-") + QString::fromLatin1(name));
  }
  // The readout, the cursor over the upper end of the band.
  tabs->setCurrentWidget(tabs->findChild<QWidget*>(QStringLiteral("spectrumTab")));
  auto* plot = results->findChild<QWidget*>(QStringLiteral("spectrumPlot"));
  const QPointF at(plot->width() * 0.6, plot->height() / 2.0);
  QMouseEvent move(QEvent::MouseMove, at, plot->mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(plot, &move);
  Save(results, QStringLiteral("noise-results-spectrum-readout"));
}

// The breakdown table's context menu, as a right-click opens it.
void SaveContextMenu(QWidget* results) {
  auto* tabs = results->findChild<QTabWidget*>(QStringLiteral("viewTabs"));
  tabs->setCurrentWidget(tabs->findChild<QWidget*>(QStringLiteral("breakdownTab")));
  auto* table = results->findChild<QAbstractItemView*>(QStringLiteral("breakdownTable"));
  Later(300, [](QWidget* menu) { SaveAndClose(menu, QStringLiteral("breakdown-context-menu")); });
  const QPoint at(40, 10);
  QContextMenuEvent click(QContextMenuEvent::Mouse, at, table->viewport()->mapToGlobal(at));
  QApplication::sendEvent(table->viewport(), &click);
}

// The one-page PDF, written through the file dialog as a user would; the
// screenshot script renders it.
void SavePdf(QWidget* results, const QString& name) {
  Later(300, [name](QWidget* dialog) {
    dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))
        ->setText(g_outputDir.filePath(name + g_suffix + QStringLiteral(".pdf")));
    QTest::keyClick(dialog->focusWidget(), Qt::Key_Return);
  });
  Button(results, "savePdfButton")->click();
}

// In a file dialog, `path` taken as the file.
void ChooseFile(QWidget* dialog, const QString& path) {
  dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(path);
  QTest::keyClick(dialog->focusWidget(), Qt::Key_Return);
}

// The example stage with the measurement its file keeps: the spectrum
// with the residual strip, the measurement added again through its
// preview (in nV/rtHz, as the file says), and a fit of it with the
// example's second measurement, at Rs = 100k, which separates en from in.
void SaveMeasurement(QWidget* results) {
  auto* tabs = results->findChild<QTabWidget*>(QStringLiteral("viewTabs"));
  tabs->setCurrentWidget(tabs->findChild<QWidget*>(QStringLiteral("spectrumTab")));
  Button(results, "residualCheck")->click();
  Save(results, QStringLiteral("noise-results-measured"));
  Later(300, [](QWidget* dialog) {
    Later(300, [](QWidget* preview) {
      preview->findChild<QComboBox*>(QStringLiteral("measurementUnitCombo"))->setCurrentIndex(1);
      Save(preview, QStringLiteral("measurement-dialog"));
      QTest::keyClick(preview, Qt::Key_Return);
    });
    ChooseFile(dialog, QDir(QStringLiteral("../docs/examples")).absoluteFilePath(QStringLiteral("measured-rs100.txt")));
  });
  Button(results, "addMeasurementButton")->click();
  Later(300, [](QWidget* fit) {
    Later(300, [](QWidget* dialog) {
      Later(300, [](QWidget* preview) {
        preview->findChild<QComboBox*>(QStringLiteral("measurementUnitCombo"))->setCurrentIndex(1);
        preview->findChild<QLineEdit*>(QStringLiteral("measurementRsEdit"))->setText(QStringLiteral("100k"));
        QTest::keyClick(preview, Qt::Key_Return);
      });
      ChooseFile(dialog, QDir(QStringLiteral("../docs/examples")).absoluteFilePath(QStringLiteral("measured-rs100k.txt")));
    });
    Button(fit, "addFitMeasurementButton")->click();
    Button(fit, "fitInCheck")->click();
    Button(fit, "runFitButton")->click();
    SaveAndClose(fit, QStringLiteral("fit-dialog"));
  });
  Button(results, "fitButton")->click();
  results->close();
}

// The example chain measured: its spectrum with the measurement, the
// residual strip and the band's totals.
void SaveChainMeasurement(QWidget* results) {
  Later(300, [](QWidget* dialog) {
    Later(300, [](QWidget* preview) {
      preview->findChild<QComboBox*>(QStringLiteral("measurementUnitCombo"))->setCurrentIndex(1);
      QTest::keyClick(preview, Qt::Key_Return);
    });
    ChooseFile(dialog, QDir(QStringLiteral("../docs/examples")).absoluteFilePath(QStringLiteral("measured-chain.txt")));
  });
  Button(results, "addMeasurementButton")->click();
  Button(results, "residualCheck")->click();
  Save(results, QStringLiteral("chain-results-measured"));
  results->close();
}

void ChooseMenuItem(QWidget* popup, const QString& text) {
  auto* menu = qobject_cast<QMenu*>(popup);
  for (QAction* action : menu->actions())
    if (action->text() == text) QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
}

}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  if (argc < 2) return 2;
  g_outputDir = QDir(QString::fromLocal8Bit(argv[1]));
  g_outputDir.mkpath(QStringLiteral("."));
  if (argc > 2) g_suffix = QString::fromLocal8Bit(argv[2]);

  tervane::ui::CCalculatorDlg calculator;
  calculator.show();
  QTest::qWait(200);
  Save(&calculator, QStringLiteral("main-window"));

  Later(300, [](QWidget* w) {
    Save(w, QStringLiteral("noise-results"));
    SaveViews(w);
    SaveContextMenu(w);
    SavePdf(w, QStringLiteral("calculation-page"));
    w->close();
  });
  Button(&calculator, "calculateButton")->click();
  Later(300, [](QWidget* w) { SaveAndClose(w, QStringLiteral("noise-results-carry")); });
  Button(&calculator, "calcWithCarryButton")->click();

  Button(&calculator, "bufferRadio")->click();
  Save(&calculator, QStringLiteral("main-window-buffer"));
  Button(&calculator, "invertingRadio")->click();
  Save(&calculator, QStringLiteral("main-window-inverting"));
  Button(&calculator, "nonInvertingRadio")->click();
  // Fields whose text is read only in part say what they will be read as.
  calculator.findChild<QLineEdit*>(QStringLiteral("r1Edit"))->setText(QStringLiteral("4k7"));
  calculator.findChild<QLineEdit*>(QStringLiteral("r2Edit"))->setText(QStringLiteral("10 k"));
  Save(&calculator, QStringLiteral("main-window-readings"));

  // A moving-magnet cartridge into a stage of gain 11: its inductance and
  // load typed into "Source & Bandwidth", the drawing following them; the
  // main window then says the circuit as built in a line.
  for (const auto& [name, text] :
       {std::pair{"sourceResistorEdit", "1k"}, std::pair{"r1Edit", "1k"}, std::pair{"r2Edit", "10k"}})
    calculator.findChild<QLineEdit*>(QString::fromLatin1(name))->setText(QString::fromLatin1(text));
  Later(300, [](QWidget* w) {
    for (const auto& [name, text] : {std::pair{"sourceInductanceEdit", "500m"}, std::pair{"loadResistorEdit", "47k"},
                                     std::pair{"loadCapacitorEdit", "200p"}})
      QTest::keyClicks(w->findChild<QLineEdit*>(QString::fromLatin1(name)), QString::fromLatin1(text));
    Save(w, QStringLiteral("source-bandwidth"));
    Button(w, "okButton")->click();
  });
  Button(&calculator, "builtCircuitButton")->click();
  Save(&calculator, QStringLiteral("main-window-built"));

  // An inverting gain of 10 with its bias resistor at the cancelling value,
  // the inputs' current noise correlated and R1's excess noise: the dialog,
  // then the breakdown with its negative row and the spectrum's curves.
  Button(&calculator, "invertingRadio")->click();
  for (const auto& [name, text] : {std::pair{"sourceResistorEdit", "0"}, std::pair{"r1Edit", "10k"},
                                   std::pair{"r2Edit", "100k"}, std::pair{"noiseCurrentEdit", "1p"}})
    calculator.findChild<QLineEdit*>(QString::fromLatin1(name))->setText(QString::fromLatin1(text));
  Later(300, [](QWidget* w) {
    for (const char* name : {"sourceInductanceEdit", "loadResistorEdit", "loadCapacitorEdit"})
      w->findChild<QLineEdit*>(QString::fromLatin1(name))->clear();
    Button(w, "cancelBiasButton")->click();
    for (const auto& [name, text] : {std::pair{"inCorrelationEdit", "0.86"}, std::pair{"noiseIndexR1Edit", "-15"},
                                     std::pair{"dcVoltsR1Edit", "10"}})
      QTest::keyClicks(w->findChild<QLineEdit*>(QString::fromLatin1(name)), QString::fromLatin1(text));
    Save(w, QStringLiteral("source-bandwidth-bias"));
    Button(w, "okButton")->click();
  });
  Button(&calculator, "builtCircuitButton")->click();
  Later(300, [](QWidget* w) {
    auto* tabs = w->findChild<QTabWidget*>(QStringLiteral("viewTabs"));
    for (const char* name : {"breakdown", "spectrum"}) {
      tabs->setCurrentWidget(tabs->findChild<QWidget*>(QString::fromLatin1(name) + QStringLiteral("Tab")));
      Save(w, QStringLiteral("noise-results-bias-") + QString::fromLatin1(name));
    }
    w->close();
  });
  Button(&calculator, "calculateButton")->click();

  // Fields read in part say so, and OK is refused with the reason: Cb
  // without the Rb it lies across, drawn grey. Cancel keeps the form.
  Later(300, [](QWidget* w) {
    const auto retype = [w](const char* name, const char* text) {
      auto* edit = w->findChild<QLineEdit*>(QString::fromLatin1(name));
      edit->selectAll();
      QTest::keyClick(edit, Qt::Key_Delete);
      QTest::keyClicks(edit, QString::fromLatin1(text));
    };
    retype("biasResistorEdit", "");
    retype("biasCapacitorEdit", "10u");
    retype("inCorrelationEdit", "0,86");
    retype("gainBandwidthEdit", "20 M");
    Button(w, "okButton")->click();
    Save(w, QStringLiteral("source-bandwidth-refused"));
    Button(w, "cancelButton")->click();
  });
  Button(&calculator, "builtCircuitButton")->click();

  Later(300, [](QWidget* w) { SaveAndClose(w, QStringLiteral("corner-dialog")); });
  Button(&calculator, "calcCornerButton")->click();
  Later(300, [](QWidget* w) {
    Button(w, "throughRangeRadio")->click();
    SaveAndClose(w, QStringLiteral("corner-dialog-range"));
  });
  Button(&calculator, "calcCornerButton")->click();

  Later(300, [](QWidget* w) { SaveAndClose(w, QStringLiteral("help-menu")); });
  Button(&calculator, "helpButton")->click();
  Later(300, [](QWidget* w) { ChooseMenuItem(w, QStringLiteral("About")); });
  Later(700, [](QWidget* w) { SaveAndClose(w, QStringLiteral("about-box")); });
  Button(&calculator, "helpButton")->click();

  // A photodiode's transimpedance amplifier, the OPA858 reference design:
  // 10k, a 2 pF diode and the op amp's own capacitances, Cf set for
  // Q = 0.707; what it does not read greyed; its report and its spectrum,
  // en rising with the input's capacitance until the loop rolls it off.
  Button(&calculator, "transimpedanceRadio")->click();
  for (const auto& [name, text] :
       {std::pair{"r2Edit", "10k"}, std::pair{"lowerFreqEdit", "1"}, std::pair{"upperFreqEdit", "260M"},
        std::pair{"noiseVoltageEdit", "2.5n"}, std::pair{"noiseCurrentEdit", "1f"}})
    calculator.findChild<QLineEdit*>(QString::fromLatin1(name))->setText(QString::fromLatin1(text));
  Later(300, [](QWidget* w) {
    for (auto* edit : w->findChildren<QLineEdit*>()) edit->clear();
    for (const auto& [name, text] :
         {std::pair{"gainBandwidthEdit", "5.5G"}, std::pair{"diodeCapacitanceEdit", "2p"},
          std::pair{"darkCurrentEdit", "1n"}, std::pair{"photocurrentEdit", "10u"},
          std::pair{"responsivityEdit", "0.5"}, std::pair{"commonModeCapacitanceEdit", "0.8p"},
          std::pair{"differentialCapacitanceEdit", "0.2p"}})
      QTest::keyClicks(w->findChild<QLineEdit*>(QString::fromLatin1(name)), QString::fromLatin1(text));
    Button(w, "cfForQButton")->click();
    Save(w, QStringLiteral("source-bandwidth-transimpedance"));
    Button(w, "okButton")->click();
  });
  Button(&calculator, "builtCircuitButton")->click();
  Save(&calculator, QStringLiteral("main-window-transimpedance"));
  Later(300, [](QWidget* w) {
    Save(w, QStringLiteral("noise-results-transimpedance"));
    auto* tabs = w->findChild<QTabWidget*>(QStringLiteral("viewTabs"));
    tabs->setCurrentWidget(tabs->findChild<QWidget*>(QStringLiteral("spectrumTab")));
    Save(w, QStringLiteral("noise-results-transimpedance-spectrum"));
    w->close();
  });
  Button(&calculator, "calculateButton")->click();

  calculator.OpenCircuit(QStringLiteral("../docs/examples/measured-stage.tervane"));
  Later(300, SaveMeasurement);
  Button(&calculator, "calculateButton")->click();

  // The example chain, a phono preamp into a line stage, opened as
  // `tervane FILE` opens it: its window beside the main one, then its results.
  calculator.OpenCircuit(QStringLiteral("../docs/examples/phono-preamp.tervane"));
  QWidget* chain = calculator.findChild<QWidget*>(QStringLiteral("ChainDialog"));
  QTest::qWait(200);
  Save(chain, QStringLiteral("chain-window"));
  Later(300, [](QWidget* w) {
    auto* tabs = w->findChild<QTabWidget*>(QStringLiteral("viewTabs"));
    for (const char* name : {"breakdown", "spectrum"}) {
      tabs->setCurrentWidget(tabs->findChild<QWidget*>(QString::fromLatin1(name) + QStringLiteral("Tab")));
      Save(w, QStringLiteral("chain-results-") + QString::fromLatin1(name));
    }
    SavePdf(w, QStringLiteral("chain-page"));
    SaveChainMeasurement(w);
  });
  Button(chain, "calculateChainButton")->click();
  return 0;
}
