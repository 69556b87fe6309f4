#pragma once

class QWidget;

namespace tervane::ui {

// Every address the program hands to the desktop: the help page lies on the
// maker's site under /audio/tervane.htm, the two mail links start a new
// message to the maker.
inline constexpr const char* kHelpPageLink = "https://www.tervane.org/audio/tervane.htm";
inline constexpr const char* kWebsiteLink = "https://www.tervane.org/";
inline constexpr const char* kBugReportLink = "mailto:bugs@tervane.org";
inline constexpr const char* kContactLink = "mailto:contact@tervane.org";

// Hands the target to the desktop's browser or mail program. Where none
// can open it, a message box over `parent` says so and shows the address,
// so that the user can copy it and open it another way.
void OpenLink(QWidget* parent, const char* target);

}  // namespace tervane::ui
