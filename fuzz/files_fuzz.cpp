// libFuzzer target: the INI reader and writer (Tinctor.ini and the colour list files)
// and the colour list reader on any byte string: never a crash, a hang, undefined
// behaviour or an allocation beyond the limits, and what is written reads back alike.
//
// Checks, on the parsed text: saving is stable (the saved text parses to the same
// text); the list never holds more than MaxColorListTotal entries; a list written into
// the file reads back as the same entries with a usable Total; the settings keys read.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "app/ColorListFile.h"
#include "settings/ExIniFiles.h"
#include "util/IniFiles.h"
#include "settings/TinctorSettings.h"

namespace {

constexpr std::size_t MaxRoundTrip = 4096;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);

    tinctor::TMemIniFileEx ini("");
    ini.SetText(text);
    const std::string saved = ini.GetText();
    tinctor::TMemIniFile again;
    again.SetText(saved);
    if (again.GetText() != saved) std::abort();

    tinctor::TTinctorSettings settings;
    settings.Read(ini);

    const tinctor::TColorListContents list = tinctor::ReadColorList(ini);
    if (list.Entries.size() > static_cast<std::size_t>(tinctor::MaxColorListTotal)) std::abort();
    // A short Total can name 100 000 entries; writing all back would slow every run down.
    if (list.Entries.size() > MaxRoundTrip) return 0;
    tinctor::WriteColorList(ini, list.Entries);
    const tinctor::TColorListContents reread = tinctor::ReadColorList(ini);
    if (reread.DamagedTotal || reread.Entries != list.Entries) std::abort();
    return 0;
}
