#include "ui/about_dialog.h"

#include "ui/app_icon.h"
#include "ui/dialog_units.h"
#include "ui/links.h"
#include "ui_about_dialog.h"

namespace tervane::ui {

CAboutDlg::CAboutDlg(QWidget* owner) : QDialog(owner), m_ui(std::make_unique<Ui::AboutDialog>()) {
  m_ui->setupUi(this);
  ConvertDialogUnits(this);
  setWindowFlag(Qt::WindowContextHelpButtonHint, false);

  constexpr int kIconSize = 32;
  m_ui->iconLabel->setPixmap(AppIcon().pixmap(kIconSize, kIconSize));
  m_ui->versionLabel->setText(QStringLiteral("Version " TERVANE_SHOWN_VERSION));
  m_ui->websiteButton->setText(QString::fromLatin1(kWebsiteLink));
  connect(m_ui->websiteButton, &QPushButton::clicked, this, &CAboutDlg::OnWebsiteLink);
  connect(m_ui->okButton, &QPushButton::clicked, this, &CAboutDlg::accept);
  m_ui->okButton->setFocus();
}

CAboutDlg::~CAboutDlg() = default;

void CAboutDlg::OnWebsiteLink() { OpenLink(this, kWebsiteLink); }

}  // namespace tervane::ui
