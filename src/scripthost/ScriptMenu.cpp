#include "scripthost/ScriptMenu.h"

#include <QAction>
#include <QByteArray>
#include <QMenu>

#include <vector>

#include "platform/ErrorGuard.h"
#include "platform/QtText.h"
#include "util/CodePage.h"
#include "util/stdFiles.h"

namespace tinctor {

namespace {

constexpr std::size_t kMaxCaptionBytes = 256;

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }

// A script item carries its file name as raw bytes, so that any name runs.
const char* const kScriptFileProperty = "scriptFile";

}  // namespace

std::string ScriptCaption(std::string_view text, std::string_view fileName) {
    // The first line ends at CR or LF: files written on Linux end their lines in LF only.
    std::string_view line = text.substr(0, text.find_first_of("\r\n"));
    if (!line.starts_with("//")) return std::string(fileName);
    line.remove_prefix(2);
    if (line.size() > kMaxCaptionBytes) {
        // Never keep half of a multi-byte character.
        std::size_t end = kMaxCaptionBytes;
        if (!CodePage::Current().IsBoundary(line, end)) end = CodePage::Current().PrevBoundary(line, end);
        line = line.substr(0, end);
    }
    while (!line.empty() && IsBlank(line.front())) line.remove_prefix(1);
    while (!line.empty() && IsBlank(line.back())) line.remove_suffix(1);
    return std::string(line);
}

std::string ScriptFileOf(const QAction* item) {
    const QByteArray name = item->property(kScriptFileProperty).toByteArray();
    return std::string(name.constData(), static_cast<std::size_t>(name.size()));
}

void RebuildScriptMenu(QMenu& menu, const std::string& folder, const std::function<void(QAction*)>& onRun) {
    // The script items are everything above the first separator (all items if there is none).
    QAction* separator = nullptr;
    for (QAction* item : menu.actions()) {
        if (item->isSeparator()) {
            separator = item;
            break;
        }
        menu.removeAction(item);
        delete item;
    }

    std::vector<std::string> names;
    if (!ListFileNames(folder, "*.ksc", names)) return;
    for (const std::string& name : names) {
        std::string text;
        // An unreadable file still gets its item, captioned with its name.
        (void)LoadTextFile(folder + name, text);
        auto* item = new QAction(ToQString(ScriptCaption(text, name)), &menu);
        item->setProperty(kScriptFileProperty, QByteArray(name.data(), static_cast<qsizetype>(name.size())));
        item->setToolTip(ToQString(name));
        item->setStatusTip(item->toolTip());
        QObject::connect(item, &QAction::triggered, &menu, [onRun, item] { Guarded([&] { onRun(item); }); });
        menu.insertAction(separator, item);
    }
}

}  // namespace tinctor
