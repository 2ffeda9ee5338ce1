// Throughput of the mail message on a 20 MiB binary attachment: Compose (Base64 in
// 76-character lines) and Parse of the composed message (decoded into a file), beside
// coreutils base64 encoding the same file; bytes per second of wall time.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "script/net/net_mail_message.h"

using namespace kestrel;
namespace fs = std::filesystem;

namespace {

constexpr std::int64_t kAttachmentSize = 20 << 20;

// A folder holding the attachment, made once for the run.
struct Attachment {
    Attachment() {
        folder = (fs::temp_directory_path() / ("tinctor-mail-bench-" + std::to_string(::getpid()))).string() + "/";
        fs::create_directories(folder + "in");
        file = folder + "data.bin";
        std::system(("head -c " + std::to_string(kAttachmentSize) + " /dev/urandom > " + file).c_str());
    }
    ~Attachment() { fs::remove_all(folder); }
    std::string folder, file;
};

Attachment& Shared() {
    static Attachment attachment;
    return attachment;
}

TMailMessage Outgoing() {
    TMailMessage message;
    message.Fields.Put("From", "a@b.example");
    message.Fields.Put("Subject", "data");
    message.Text = "attached";
    message.Attachments = {Shared().file};
    return message;
}

void BM_MailCompose(benchmark::State& state) {
    TMailMessage message = Outgoing();
    for (auto _ : state) benchmark::DoNotOptimize(message.Compose());
    state.SetBytesProcessed(state.iterations() * kAttachmentSize);
}
BENCHMARK(BM_MailCompose)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_MailParse(benchmark::State& state) {
    const std::string text = Outgoing().Compose();
    TMailMessage message;
    for (auto _ : state) {
        message.AttachPath = Shared().folder + "in/";
        message.Parse(text);
        state.PauseTiming();
        fs::remove_all(Shared().folder + "in");
        fs::create_directories(Shared().folder + "in");
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * kAttachmentSize);
}
BENCHMARK(BM_MailParse)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_CoreutilsBase64Encode(benchmark::State& state) {
    const std::string command = "base64 " + Shared().file + " > /dev/null";
    for (auto _ : state)
        if (std::system(command.c_str()) != 0) state.SkipWithError("base64 failed");
    state.SetBytesProcessed(state.iterations() * kAttachmentSize);
}
BENCHMARK(BM_CoreutilsBase64Encode)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
