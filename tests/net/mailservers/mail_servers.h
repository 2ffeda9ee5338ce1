// Real mail servers for the mail clients' tests: Debian's dovecot serves a maildir over
// POP3 and qpsmtpd delivers into the same maildir with its queue/maildir plugin. Both
// run on 127.0.0.1 with ports, configs and folders of their own, as an unprivileged
// account (the caller's own, or nobody when the test runs as root), and are stopped
// when the object goes away.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace nettest {

inline constexpr const char* kMailUser = "tester";
inline constexpr const char* kMailPassword = "secret";
inline constexpr const char* kMailDomain = "example.test";

class TMailServers {
public:
    // Starts both and waits until they answer; throws std::runtime_error with the
    // servers' logs when they do not.
    TMailServers();
    ~TMailServers();
    TMailServers(const TMailServers&) = delete;
    TMailServers& operator=(const TMailServers&) = delete;

    int Pop3Port() const { return pop3Port_; }
    int SmtpPort() const { return smtpPort_; }
    // A private folder for the test's own files (ends with "/").
    const std::string& Folder() const { return folder_; }
    // The messages delivered and not yet deleted.
    int MaildirCount() const;
    // Puts Message straight into the maildir, as a delivery would.
    void Deliver(const std::string& message);

private:
    struct TProcess {
        pid_t pid = -1;
        std::string log;
    };
    void WriteConfigs();
    TProcess Start(const std::vector<std::string>& argv, const std::string& env, const std::string& log);
    void WaitUntilAnswering(const TProcess& process, int port);
    std::string Logs() const;
    static void Stop(TProcess& process);

    std::string folder_;
    int pop3Port_ = 0;
    int smtpPort_ = 0;
    uid_t uid_ = 0;
    gid_t gid_ = 0;
    std::string account_, group_;
    TProcess dovecot_, qpsmtpd_;
};

}  // namespace nettest
