// Fuzz target of the mail message parser: any bytes as a received message, through
// the header fields, multipart structure and the attachment files it writes (into a
// private folder emptied after every input) (fuzz/run.sh mail).
#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "script/net/net_mail_message.h"

using namespace kestrel;

namespace {
const std::string& Folder() {
    static const std::string folder = [] {
        std::string pattern = std::filesystem::temp_directory_path().string() + "/mail-fuzz-XXXXXX";
        if (!::mkdtemp(pattern.data())) std::abort();
        return pattern + "/";
    }();
    return folder;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    TMailMessage message;
    message.AttachPath = Folder();
    message.Parse(std::string_view(reinterpret_cast<const char*>(data), size));
    for (const std::string& file : message.Attachments)
        if (file.compare(0, Folder().size(), Folder()) != 0 || file.find('/', Folder().size()) != std::string::npos)
            std::abort();  // an attachment outside its folder
    for (const auto& entry : std::filesystem::directory_iterator(Folder())) std::filesystem::remove(entry.path());
    TMailMessage copy(message);
    copy.Attachments.clear();
    copy.Compose();
    return 0;
}
