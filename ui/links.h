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
// The help page's copy installed with the program (docs/audio in the sources).
inline constexpr const char* kHelpPageFile = "tervane.htm";

// Hands the target to the desktop's browser or mail program. Where none
// can open it, the help page's installed copy is shown in a window of the
// program's own; for any other target, or without that copy, a message box
// over `parent` says so and shows the address, so that the user can copy it
// and open it another way.
void OpenLink(QWidget* parent, const char* target);

}  // namespace tervane::ui
