#pragma once

#include <QDialog>

#include <memory>

namespace Ui {
class AboutDialog;
}

namespace tervane::ui {

// "About Tervane": name, version and a link button to the maker's site,
// which opens the site and leaves the box open.
class CAboutDlg : public QDialog {
 public:
  explicit CAboutDlg(QWidget* owner);
  ~CAboutDlg() override;

 private:
  void OnWebsiteLink();

  std::unique_ptr<Ui::AboutDialog> m_ui;
};

}  // namespace tervane::ui
