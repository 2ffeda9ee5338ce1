// Starting, waiting for and stopping the real POP3 and SMTP servers of the mail tests.
#include "mail_servers.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <grp.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <thread>

namespace nettest {
namespace fs = std::filesystem;
namespace {

constexpr auto kStartLimit = std::chrono::seconds(30);
constexpr auto kStopLimit = std::chrono::seconds(5);
constexpr auto kPollStep = std::chrono::milliseconds(50);
constexpr const char* kUnprivilegedAccount = "nobody";

// A port that was free a moment ago.
int FreePort() {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0)
        throw std::runtime_error("no free port");
    ::close(fd);
    return ntohs(address.sin_port);
}

bool Answers(int port) {
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return ok;
}

void WriteFile(const fs::path& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary);
    out << text;
    if (!out.flush()) throw std::runtime_error("cannot write " + path.string());
}

std::string ReadFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace

TMailServers::TMailServers() {
    // The servers drop nothing and need nothing of root: as root the test hands them
    // an account without privileges, otherwise they run as the caller.
    const passwd* account = ::getpwuid(::geteuid());
    if (::geteuid() == 0) account = ::getpwnam(kUnprivilegedAccount);
    if (!account) throw std::runtime_error("no account to run the mail servers as");
    uid_ = account->pw_uid;
    gid_ = account->pw_gid;
    account_ = account->pw_name;
    const group* grp = ::getgrgid(gid_);
    if (!grp) throw std::runtime_error("no group for " + account_);
    group_ = grp->gr_name;

    // Under root the folder must be reachable by the servers' account, which a private
    // TMPDIR may not be.
    const fs::path temp = ::geteuid() == 0 ? fs::path("/tmp") : fs::temp_directory_path();
    std::string folder = (temp / "tinctor-mail-XXXXXX").string();
    if (!::mkdtemp(folder.data())) throw std::runtime_error("no temporary folder");
    folder_ = folder + "/";
    fs::permissions(folder_, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                 fs::perms::others_read | fs::perms::others_exec);
    pop3Port_ = FreePort();
    do smtpPort_ = FreePort();  // a port freed a moment ago may come round again
    while (smtpPort_ == pop3Port_);
    WriteConfigs();

    try {
        dovecot_ = Start({"dovecot", "-F", "-c", folder_ + "dovecot/dovecot.conf"}, "", "dovecot.out");
        qpsmtpd_ = Start({"qpsmtpd-forkserver", "-l", "127.0.0.1", "-p", std::to_string(smtpPort_), "-u", account_, "-H"},
                         "QPSMTPD_CONFIG=" + folder_ + "qpsmtpd", "qpsmtpd.out");
        WaitUntilAnswering(dovecot_, pop3Port_);
        WaitUntilAnswering(qpsmtpd_, smtpPort_);
    } catch (...) {
        Stop(dovecot_);
        Stop(qpsmtpd_);
        throw;
    }
}

TMailServers::~TMailServers() {
    Stop(qpsmtpd_);
    Stop(dovecot_);
    std::error_code ignored;
    fs::remove_all(folder_, ignored);
}

void TMailServers::WriteConfigs() {
    const fs::path root = folder_;
    for (const char* sub : {"Maildir", "home", "dovecot", "qpsmtpd", "spool", "mine"}) fs::create_directory(root / sub);
    fs::permissions(root / "spool", fs::perms::owner_all);  // qpsmtpd insists on 0700

    WriteFile(root / "dovecot/users", std::string(kMailUser) + ":{PLAIN}" + kMailPassword + "::::::\n");
    WriteFile(root / "dovecot/dovecot.conf",
              "base_dir = " + folder_ + "dovecot/run\n"
              "state_dir = " + folder_ + "dovecot/state\n"
              "log_path = " + folder_ + "dovecot/dovecot.log\n"
              "protocols = pop3\n"
              "listen = 127.0.0.1\n"
              "ssl = no\n"
              "disable_plaintext_auth = no\n"
              "auth_mechanisms = plain\n"
              "default_login_user = " + account_ + "\n"
              "default_internal_user = " + account_ + "\n"
              "default_internal_group = " + group_ + "\n"
              "mail_location = maildir:" + folder_ + "Maildir\n"
              "passdb {\n  driver = passwd-file\n  args = scheme=PLAIN " + folder_ + "dovecot/users\n}\n"
              "userdb {\n  driver = static\n  args = uid=" + account_ + " gid=" + group_ + " home=" + folder_ + "home\n}\n"
              "service pop3-login {\n  chroot =\n  inet_listener pop3 {\n    port = " + std::to_string(pop3Port_) +
              "\n  }\n}\n"
              "service anvil {\n  chroot =\n}\n");

    WriteFile(root / "qpsmtpd/plugins", "rcpt_ok\nqueue/maildir " + folder_ + "Maildir\n");
    WriteFile(root / "qpsmtpd/plugin_dirs", "/usr/share/qpsmtpd/plugins\n");
    WriteFile(root / "qpsmtpd/spool_dir", folder_ + "spool\n");
    WriteFile(root / "qpsmtpd/logging", "logging/warn LOGINFO\n");
    WriteFile(root / "qpsmtpd/rcpthosts", std::string(kMailDomain) + "\n");
    WriteFile(root / "qpsmtpd/me", "localhost\n");

    // Everything but the test's own folder belongs to the servers' account.
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (entry.path().string().starts_with(folder_ + "mine")) continue;
        if (::lchown(entry.path().c_str(), uid_, gid_) != 0 && ::geteuid() == 0)
            throw std::runtime_error("cannot hand " + entry.path().string() + " to " + account_);
    }
}

TMailServers::TProcess TMailServers::Start(const std::vector<std::string>& argv, const std::string& env,
                                           const std::string& log) {
    TProcess process;
    process.log = folder_ + log;
    std::vector<char*> args;
    for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
    args.push_back(nullptr);
    process.pid = ::fork();
    if (process.pid < 0) throw std::runtime_error("fork failed");
    if (process.pid == 0) {
        int out = ::open(process.log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int in = ::open("/dev/null", O_RDONLY);
        if (out < 0 || in < 0) ::_exit(126);
        ::dup2(in, STDIN_FILENO);
        ::dup2(out, STDOUT_FILENO);
        ::dup2(out, STDERR_FILENO);
        ::setsid();  // a group of its own: the test's terminal signals stay with the test
        if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(gid_) != 0 || ::setuid(uid_) != 0))
            ::_exit(125);
        if (!env.empty()) ::putenv(const_cast<char*>(env.c_str()));
        if (::chdir(folder_.c_str()) != 0) ::_exit(124);
        ::execvp(args[0], args.data());
        ::_exit(127);
    }
    return process;
}

void TMailServers::WaitUntilAnswering(const TProcess& process, int port) {
    const auto deadline = std::chrono::steady_clock::now() + kStartLimit;
    while (!Answers(port)) {
        int status = 0;
        if (::waitpid(process.pid, &status, WNOHANG) == process.pid || std::chrono::steady_clock::now() > deadline)
            throw std::runtime_error("a mail server did not start (is `make deps` done?)\n" + Logs());
        std::this_thread::sleep_for(kPollStep);
    }
}

std::string TMailServers::Logs() const {
    return ReadFile(dovecot_.log) + ReadFile(folder_ + "dovecot/dovecot.log") + ReadFile(qpsmtpd_.log);
}

int TMailServers::MaildirCount() const {
    int count = 0;
    for (const char* sub : {"Maildir/new", "Maildir/cur"}) {
        std::error_code missing;
        for (const auto& entry : fs::directory_iterator(folder_ + sub, missing)) count += entry.is_regular_file();
    }
    return count;
}

void TMailServers::Deliver(const std::string& message) {
    // Written under tmp/ and moved to new/, so the server never sees half a message.
    static int serial = 0;
    const std::string name = std::to_string(::getpid()) + "." + std::to_string(++serial) + ".test";
    const fs::path draft = fs::path(folder_) / "Maildir/tmp" / name;
    fs::create_directories(draft.parent_path());
    fs::create_directories(fs::path(folder_) / "Maildir/new");
    WriteFile(draft, message);
    for (const fs::path& path : {draft.parent_path(), fs::path(folder_) / "Maildir/new", draft})
        if (::lchown(path.c_str(), uid_, gid_) != 0 && ::geteuid() == 0)
            throw std::runtime_error("cannot hand " + path.string() + " to " + account_);
    fs::rename(draft, fs::path(folder_) / "Maildir/new" / name);
}

void TMailServers::Stop(TProcess& process) {
    if (process.pid <= 0) return;
    // Its whole group (the server and the children it forked), or the process alone
    // when it has not made its group yet.
    if (::kill(-process.pid, SIGTERM) != 0) ::kill(process.pid, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + kStopLimit;
    while (::waitpid(process.pid, nullptr, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(-process.pid, SIGKILL);
            ::waitpid(process.pid, nullptr, 0);
            break;
        }
        std::this_thread::sleep_for(kPollStep);
    }
    process.pid = -1;
}

}  // namespace nettest
