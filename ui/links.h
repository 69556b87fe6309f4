#pragma once

namespace tervane::ui {

// Every address the program hands to the desktop: the help page lies on the
// maker's site under /audio/tervane.htm, the two mail links start a new
// message to the maker.
inline constexpr const char* kHelpPageLink = "https://www.tervane.org/audio/tervane.htm";
inline constexpr const char* kWebsiteLink = "https://www.tervane.org/";
inline constexpr const char* kBugReportLink = "mailto:bugs@tervane.org";
inline constexpr const char* kContactLink = "mailto:contact@tervane.org";

// Hands the target to the desktop's browser or mail program. A desktop that
// cannot open it is not reported: there is nothing the user could do here.
void OpenLink(const char* target);

}  // namespace tervane::ui
