// Named mutexes between kestrel processes: the holder keeps the lock, a killed
// holder frees it, names never collide, and lock folders others could touch are
// refused.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "ext/KestrelProcess.h"
#include "scripthost/TempFolder.h"

namespace tinctor::testing {
namespace {

using TEnv = std::vector<std::pair<std::string, std::string>>;

class MutexProcessTest : public ::testing::Test {
protected:
    std::string Script(const std::string& name, const std::string& text) {
        temp.Write(name, text);
        return temp.Path() + name;
    }
    TEnv Env() const { return {{"XDG_RUNTIME_DIR", temp.Path() + "run"}}; }
    std::string MutexFolder() const { return temp.Path() + "run/tinctor/mutex"; }

    // Holds the mutex Name until its input ends or it is killed.
    std::unique_ptr<TKestrelProcess> StartHolder(const std::string& name) {
        auto holder = std::make_unique<TKestrelProcess>(
            Script("holder.js", "var m = new Mutex(\"" + name + "\"); m.lock(); println(\"held\"); readln();"), Env());
        EXPECT_EQ(holder->ReadLine(), "held\r");  // println ends lines with CR LF
        return holder;
    }
    // "existed tryLock" of a new mutex Name in a process of its own.
    std::string Probe(const std::string& name) {
        TKestrelProcess probe(Script("probe.js", "var m = new Mutex(\"" + name +
                                                     "\"); m.timeout = 200; print(m.existed, \" \", m.tryLock());"),
                              Env());
        return probe.Finish().first;
    }

    TTempFolder temp;
};

TEST_F(MutexProcessTest, HolderKeepsTheLockUntilItIsKilled) {
    std::unique_ptr<TKestrelProcess> holder = StartHolder("shared");
    EXPECT_EQ(Probe("shared"), "true false");
    holder->Kill(SIGKILL);
    EXPECT_EQ(Probe("shared"), "false true");
}

TEST_F(MutexProcessTest, NamesThatEscapeAlikeStayApart) {
    const std::string longName(300, 'x');
    const struct {
        std::string held;
        std::vector<std::string> others;
    } cases[] = {{"a/b", {"a%2Fb", "a_b", "A/b", "a", ".."}}, {longName, {longName + "y", longName.substr(1)}}};
    for (const auto& c : cases) {
        std::unique_ptr<TKestrelProcess> holder = StartHolder(c.held);
        EXPECT_EQ(Probe(c.held), "true false") << c.held;
        for (const std::string& other : c.others) EXPECT_EQ(Probe(other), "false true") << other;
    }
}

TEST_F(MutexProcessTest, SameProcessCountsOwnership) {
    TKestrelProcess run(Script("same.js", R"(
        var a = new Mutex("n"), b = new Mutex("n");
        print(a.existed, b.existed, a.tryLock(), b.tryLock());
        a.unlock(); print(b.tryLock());
        var p = new Mutex(""), q = new Mutex("");
        print(p.existed, q.existed);)"),
                        Env());
    EXPECT_EQ(run.Finish().first, "falsetruetruetruetruefalsefalse");
}

TEST_F(MutexProcessTest, LockFoldersOthersCouldTouchAreRefused) {
    const std::string opens = Script("open.js", R"(try { new Mutex("x"); print("opened"); } catch (e) { print("refused"); })");
    const std::string folder = MutexFolder();
    struct TCase {
        const char* what;
        void (*make)(const std::string& folder, const std::string& temp);
    };
    const TCase cases[] = {
        {"group may enter", [](const std::string& f, const std::string&) { mkdir(f.c_str(), 0750); chmod(f.c_str(), 0750); }},
        {"symbolic link", [](const std::string& f, const std::string& t) {
             mkdir((t + "elsewhere").c_str(), 0700);
             symlink((t + "elsewhere").c_str(), f.c_str());
         }},
        {"a file", [](const std::string& f, const std::string&) { close(creat(f.c_str(), 0600)); }},
    };
    for (const TCase& c : cases) {
        std::filesystem::remove_all(temp.Path() + "run");
        std::filesystem::create_directories(temp.Path() + "run/tinctor");
        c.make(folder, temp.Path());
        TKestrelProcess run(opens, Env());
        EXPECT_EQ(run.Finish().first, "refused") << c.what;
    }
    std::filesystem::remove_all(temp.Path() + "run");
    TKestrelProcess run(opens, Env());
    EXPECT_EQ(run.Finish().first, "opened");
    struct stat st {};
    ASSERT_EQ(lstat(folder.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0700u);
}

TEST_F(MutexProcessTest, WithoutARuntimeFolderTheUsersCacheHoldsTheLocks) {
    TKestrelProcess run(Script("cache.js", R"(var m = new Mutex("c"); print(m.tryLock());)"),
                        {{"XDG_RUNTIME_DIR", ""}, {"XDG_CACHE_HOME", temp.Path() + "cache"}});
    EXPECT_EQ(run.Finish().first, "true");
    EXPECT_TRUE(std::filesystem::exists(temp.Path() + "cache/tinctor/mutex/c.own"));
}

}  // namespace
}  // namespace tinctor::testing
