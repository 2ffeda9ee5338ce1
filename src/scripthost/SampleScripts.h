// The sample scripts that come with the program: the build puts them in the Scripts
// folder of the data folder (beside the executable, or share/tinctor/ when installed).
#pragma once

#include <string>

namespace tinctor {

// Copies the sample scripts of DataFolder's Scripts/ into ScriptsFolder (made when
// missing); a script that ScriptsFolder holds already is kept. Returns how many were
// copied. A program folder made on first start gets the samples this way.
int CopySampleScripts(const std::string& dataFolder, const std::string& scriptsFolder);

// Makes ScriptsFolder with the sample scripts when it is missing (a program folder that
// already existed, or whose Scripts folder was deleted); a folder that exists is the
// user's and stays as it is. Returns how many scripts were copied.
int EnsureSampleScripts(const std::string& dataFolder, const std::string& scriptsFolder);

}  // namespace tinctor
