// Throughput of the mail message on a 20 MiB binary attachment: Compose (Base64 in
// 76-character lines) and Parse of the composed message (decoded into a file), beside
// coreutils base64 encoding the same file, and getMail of that message from a real
// POP3 server (dovecot) on loopback; bytes per second of wall time.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "mail_servers.h"
#include "script/core/ecma_engine.h"
#include "script/net/ecma_mail_clients.h"
#include "script/net/net_mail_message.h"
#include "script/net/net_pop3.h"

using namespace kestrel;
namespace fs = std::filesystem;

namespace {

constexpr std::int64_t kAttachmentSize = 20 << 20;
constexpr int kScriptBufferSize = 65536;  // the buffer the script objects give their connections

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

// Real mail servers on loopback with the outgoing message waiting in the mailbox;
// null (and the benchmark skipped) when they cannot start here.
std::unique_ptr<nettest::TMailServers> ServersHoldingOneMessage(benchmark::State& state) {
    std::unique_ptr<nettest::TMailServers> servers;
    try {
        servers = std::make_unique<nettest::TMailServers>();
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
        return nullptr;
    }
    servers->Deliver(Outgoing().Compose());
    return servers;
}

// The whole road of a received message: RETR through dovecot, dot-unstuffing, Parse
// and the attachment written to its file (login and logout included).
void BM_Pop3GetMail(benchmark::State& state) {
    const auto servers = ServersHoldingOneMessage(state);
    if (!servers) return;
    const std::string folder = servers->Folder() + "mine/";
    TgPOP3 pop3(kScriptBufferSize);
    pop3.Host = "127.0.0.1";
    pop3.Port = static_cast<std::uint16_t>(servers->Pop3Port());
    pop3.UserId = nettest::kMailUser;
    pop3.Password = nettest::kMailPassword;
    pop3.AttachPath = folder;
    for (auto _ : state) {
        pop3.Connect();
        pop3.GetMail(1);
        pop3.Disconnect();
        state.PauseTiming();
        if (pop3.Message.Attachments.size() != 1) state.SkipWithError("the attachment did not arrive");
        for (const std::string& file : pop3.Message.Attachments) fs::remove(file);
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * kAttachmentSize);
}
BENCHMARK(BM_Pop3GetMail)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same road from a script: the POP3 object, its Mail object and the message
// handed from the client to it.
void BM_ScriptGetMail(benchmark::State& state) {
    const auto servers = ServersHoldingOneMessage(state);
    if (!servers) return;
    const std::string folder = servers->Folder() + "mine/";
    TJEngine engine;
    ImportMailObjects(engine);
    std::string errors;
    engine.OnError = [&errors](int, std::string_view text) { errors += text; };
    const bool compiled = engine.CompileText("var p = new POP3('127.0.0.1', " + std::to_string(servers->Pop3Port()) +
                                             "); p.userid = '" + nettest::kMailUser + "'; p.password = '" +
                                             nettest::kMailPassword + "'; p.attachPath = '" + folder +
                                             "'; p.connect(); var m = p.getMail(1); p.close();");
    if (!compiled) state.SkipWithError("the script does not compile");
    for (auto _ : state) {
        engine.Run();
        state.PauseTiming();
        if (!errors.empty() || !fs::exists(folder + "data.bin")) state.SkipWithError(("getMail failed " + errors).c_str());
        fs::remove(folder + "data.bin");
        state.ResumeTiming();
    }
    state.SetBytesProcessed(state.iterations() * kAttachmentSize);
}
BENCHMARK(BM_ScriptGetMail)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
