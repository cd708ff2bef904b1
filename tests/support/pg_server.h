#pragma once
// A private PostgreSQL server for tests and benchmarks: made with initdb in
// a temporary folder, listening only on a Unix socket in that folder (no
// TCP port), stopped and removed at the end. PostgreSQL refuses to run as
// root, so under root the server runs as the user "nobody", which then owns
// the folder. Needs Debian's postgresql package (binaries in PG_BIN).
#include <dirent.h>
#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "history/pg_db.h"

class PgServer {
public:
    static constexpr const char* kBin = "/usr/lib/postgresql/15/bin";
    // The role that logs in with a password (for the wrong-password case).
    static constexpr const char* kPasswordRole = "station_pw";

    PgServer() {
        std::string templ = (std::filesystem::temp_directory_path() / "vp_pg_XXXXXX").string();
        if (!::mkdtemp(templ.data())) throw std::runtime_error("cannot create a folder for the server");
        dir_ = templ;
        make();
    }
    // A server kept in `folder` from one run to the next (a benchmark's
    // big history): made there when the folder holds none yet, else
    // started again as it was left; never removed. made() tells which.
    explicit PgServer(const std::string& folder) : dir_(folder), kept_(true) {
        if (std::filesystem::exists(data() + "/PG_VERSION")) {
            runAsServer();
            start();
            return;
        }
        std::filesystem::create_directories(dir_);
        std::filesystem::permissions(dir_, std::filesystem::perms::owner_all);
        make();
    }
    ~PgServer() {
        try {
            stop();
        } catch (const std::exception&) {
            // Removing the folder below ends a server that would not stop.
        }
        std::error_code ec;
        if (!kept_) std::filesystem::remove_all(dir_, ec);
    }
    PgServer(const PgServer&) = delete;
    PgServer& operator=(const PgServer&) = delete;

    // Whether this run made the server (a kept one may be from before).
    bool made() const { return made_; }

    const std::string& socketDir() const { return dir_; }
    std::string conninfo(const std::string& database, const std::string& user = "postgres") const {
        return "host=" + dir_ + " dbname=" + database + " user=" + user;
    }

    // Starts the server (again) and waits until it takes connections.
    void start() {
        run({bin("pg_ctl"), "-D", data(), "-l", dir_ + "/server.log", "-w", "-t", "60", "-o",
             "-c listen_addresses='' -c unix_socket_directories='" + dir_ +
                 "' -c fsync=off -c full_page_writes=off -c max_connections=60",
             "start"},
            "pg_ctl start");
        running_ = true;
    }
    // Stops it as a crash would (`pg_ctl stop -m immediate`), or politely.
    void stop(bool immediate = false) {
        if (!running_) return;
        if (paused_) resume();
        running_ = false;
        run({bin("pg_ctl"), "-D", data(), "-m", immediate ? "immediate" : "fast", "-w", "stop"}, "pg_ctl stop");
    }

    // Makes the server hang as a dropped network would: the postmaster and
    // every process of it stopped (SIGSTOP), connections kept open but
    // unanswered; resume() lets them go on.
    void pause() {
        signalAll(SIGSTOP);
        paused_ = true;
    }
    void resume() {
        signalAll(SIGCONT);
        paused_ = false;
    }

    // A new database with a UTF-8 (or the given) encoding; returns its conninfo.
    std::string createDatabase(const std::string& name, const std::string& encoding = "UTF8") {
        store::PgDb admin(conninfo("postgres"));
        admin.exec("CREATE DATABASE " + name + " TEMPLATE template0 ENCODING '" + encoding + "' LOCALE 'C'");
        return conninfo(name);
    }

private:
    // Makes the server in dir_ and starts it.
    void make() {
        runAsServer();
        if (::geteuid() == 0 && ::chown(dir_.c_str(), uid_, gid_) != 0)
            throw std::runtime_error("cannot hand the folder to nobody");
        run({bin("initdb"), "-D", data(), "-U", "postgres", "-A", "trust", "-E", "UTF8", "--locale=C.UTF-8",
             "--no-sync", "--no-instructions"},
            "initdb");
        // A role with a password, for the connection-test cases; all
        // others are trusted on the socket.
        std::ofstream(data() + "/pg_hba.conf", std::ios::trunc)
            << "local all " << kPasswordRole << " scram-sha-256\nlocal all all trust\n";
        made_ = true;
        start();
    }
    // PostgreSQL refuses to run as root: then as "nobody".
    void runAsServer() {
        if (::geteuid() != 0) return;
        const passwd* pw = ::getpwnam("nobody");
        if (!pw) throw std::runtime_error("no user 'nobody' to run the server as");
        uid_ = pw->pw_uid;
        gid_ = pw->pw_gid;
    }

    std::string bin(const char* name) const { return std::string(kBin) + "/" + name; }
    std::string data() const { return dir_ + "/data"; }

    // Runs a server program as the server's user; throws with its log on failure.
    void run(const std::vector<std::string>& args, const char* what) const {
        const pid_t child = ::fork();
        if (child < 0) throw std::runtime_error("fork failed");
        if (child == 0) {
            const int null = ::open("/dev/null", O_WRONLY);
            if (null >= 0) ::dup2(null, STDOUT_FILENO);
            if (::geteuid() == 0 && (::setgroups(0, nullptr) != 0 || ::setgid(gid_) != 0 || ::setuid(uid_) != 0))
                ::_exit(126);
            if (::chdir(dir_.c_str()) != 0) ::_exit(126);
            std::vector<char*> argv;
            for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
            argv.push_back(nullptr);
            ::execv(argv[0], argv.data());
            ::_exit(127);
        }
        int status = 0;
        while (::waitpid(child, &status, 0) < 0) {
        }
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            std::ifstream log(dir_ + "/server.log");
            const std::string text((std::istreambuf_iterator<char>(log)), std::istreambuf_iterator<char>());
            throw std::runtime_error(std::string(what) + " failed (status " + std::to_string(status) + ")\n" + text);
        }
    }

    // The postmaster (the first line of its pid file) and its children.
    void signalAll(int signal) const {
        std::ifstream pidFile(data() + "/postmaster.pid");
        long postmaster = 0;
        if (!(pidFile >> postmaster) || postmaster <= 0) throw std::runtime_error("the server has no pid file");
        std::vector<pid_t> pids{static_cast<pid_t>(postmaster)};
        if (DIR* proc = ::opendir("/proc")) {
            while (const dirent* e = ::readdir(proc)) {
                const long pid = std::strtol(e->d_name, nullptr, 10);
                if (pid <= 0) continue;
                std::ifstream stat("/proc/" + std::string(e->d_name) + "/stat");
                std::string line;
                std::getline(stat, line);
                // "pid (name) state ppid ...": the name may hold blanks.
                const std::size_t close = line.rfind(')');
                if (close == std::string::npos) continue;
                char state = 0;
                long ppid = 0;
                if (std::sscanf(line.c_str() + close + 1, " %c %ld", &state, &ppid) == 2 && ppid == postmaster)
                    pids.push_back(static_cast<pid_t>(pid));
            }
            ::closedir(proc);
        }
        for (const pid_t pid : pids) ::kill(pid, signal);
    }

    std::string dir_;
    bool paused_ = false;
    uid_t uid_ = 0;
    gid_t gid_ = 0;
    bool running_ = false;
    bool kept_ = false;
    bool made_ = false;
};
