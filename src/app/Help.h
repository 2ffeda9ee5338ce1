// The help page Tinctor.html, opened in the desktop's browser by F1.
#pragma once

#include <string>

namespace tinctor {

inline constexpr const char* HelpFileName = "Tinctor.html";

// The help page in the data folder (beside the executable in a build, share/tinctor/ when
// installed), else in the program folder; empty when neither has it.
std::string FindHelpFile();

// Opens the help page; a missing page or one that no program opens gives a warning box.
void OpenHelpPage();

}  // namespace tinctor
