#pragma once

#include <QString>
#include <QWidget>

#include <functional>

#include "ui_test_support.h"

namespace tervane::uitest {

// Clicks `button` of the main window and hands the results window to `look`
// while it is up; closes it with Escape unless `look` closed it. False, with
// `problems` saying why, when the window did not come up or stayed up.
bool LookAtResults(const CalculatorUnderTest& calc, const char* button,
                   const std::function<void(QWidget* results)>& look, QString& problems);

// Brings the tab of that page's object name to the front, as a click on it
// would, and returns the page; null when there is none.
QWidget* ShowTab(QWidget* results, const char* page);

}  // namespace tervane::uitest
