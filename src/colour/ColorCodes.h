// The named colour tables: code-to-name tables for writing codes as names, and the
// colour name table that reads names back as codes.
#pragma once

#include "colour/SysColors.h"
#include "colour/stdColors.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tinctor {

// One row "code=name". Code is the number that the row's code text spells: the
// HTML row "#F0F8FF=aliceblue" has 0xF0F8FF (red first), the Visual Basic row
// "&H000000FF=vbRed" and the Delphi row "$000000FF=clRed" have 0x000000FF (blue first).
struct TColorCodeRow {
    std::uint32_t Code;
    std::string_view Name;
};

// The sixteen capitalised HTML names ("#000000=Black" ... "#800080=Purple").
std::span<const TColorCodeRow> HtmlBasicColorRows();
// The 140 extended keywords in ascending code order; "#00FFFF" and "#FF00FF" carry two
// names each, "aqua" before "cyan" and "fuchsia" before "magenta".
std::span<const TColorCodeRow> HtmlExtendedColorRows();
std::span<const TColorCodeRow> VBColorRows();
std::span<const TColorCodeRow> DelphiColorRows();

// The 28 system colour names and the COLOR_* index each one reads.
struct TSysColorNameRow {
    std::string_view Name;
    int Index;
};
std::span<const TSysColorNameRow> SysColorNameRows();

// The name of the last row with Code (a code that occurs twice takes its later name);
// empty when no row has it.
std::string_view FindCodeName(std::span<const TColorCodeRow> rows, std::uint32_t code);

// Every colour name (HTML, Visual Basic, Delphi, system) with its code; names are
// unique ignoring case. The system colours are read from the provider when the
// table is built and kept; a later change of the scheme is not seen.
class TColorNameTable {
public:
    static constexpr std::size_t SysCount = 28;

    explicit TColorNameTable(const TSysColorProvider& sysColors);

    // The colour named Name, ignoring case; NoColor when there is no such name.
    TColor FindColor(std::string_view name) const;
    // The code text of the row named Text, ignoring case ("#D3D3D3", "&H000000FF",
    // "$00D4D0C8"), or Text itself when no row has that name.
    std::string LookupColorName(std::string_view text) const;

private:
    std::array<TColor, SysCount> sysValues_;
};

// The program-wide name table, built on first use from the system-colour provider
// in force then. The main window calls PrepareColorNames at creation, after the
// platform layer has installed its provider.
const TColorNameTable& ColorNameTable();
void PrepareColorNames();
std::string LookupColorName(std::string_view text);

}  // namespace tinctor
