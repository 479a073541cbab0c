// The real editor at rest: the share of a core it uses while nothing moves and no input arrives.
//
// Starts build/kirto (beside this program) in a fresh working folder on the current display,
// opens one window after another with xdotool (the project manager as every run begins, the views
// alone, Help, the console, the Render view, the problem report, the Save and Open dialogs) and,
// once each has settled, reads the process's CPU time over the idle time. Cores = CPU seconds /
// wall seconds. Needs a display and xdotool: xvfb-run -a -s "-screen 0 1920x1080x24" build/idle_bench
// KIRTO_IDLE_SECONDS sets the idle time of each window (20 by default).
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

#include "bench/bench_clock.h"

static constexpr double kDefaultIdleSeconds = 20.0;
static constexpr unsigned kSettleMicros = 2000000;   // after an action, before the count starts
static constexpr int kPathLen = 4096;

struct IdleState {
    const char *label;
    const char *opens;    // xdotool steps that open it, run against the window; NULL for none
    const char *closes;   // xdotool steps that close it again; NULL to leave it open
};

// Top-bar buttons of a 1440 x 900 window: Render at x 540 + 73, Help 697.5 + 56, Console 1001 + 84.
static const IdleState kStates[] = {
    { "project manager open (as every run begins)", nullptr, nullptr },
    { "views shown, no window open", "keydown Escape sleep 0.3 keyup Escape", nullptr },
    { "Help window open", "mousemove --window %s 753 25 mousedown 1 sleep 0.3 mouseup 1", "mousemove --window %s 753 25 mousedown 1 sleep 0.3 mouseup 1" },
    { "console window open", "mousemove --window %s 1085 25 mousedown 1 sleep 0.3 mouseup 1", "mousemove --window %s 1085 25 mousedown 1 sleep 0.3 mouseup 1" },
    { "Render view open", "mousemove --window %s 613 25 mousedown 1 sleep 0.3 mouseup 1", "keydown Escape sleep 0.3 keyup Escape" },
    { "problem report open", "keydown alt+p sleep 0.3 keyup alt+p", "keydown Escape sleep 0.3 keyup Escape" },
    { "Save dialog open", "mousemove --window %s 455 25 mousedown 1 sleep 0.3 mouseup 1", "keydown Escape sleep 0.3 keyup Escape" },
    { "Open dialog open", "mousemove --window %s 191 25 mousedown 1 sleep 0.3 mouseup 1", "keydown Escape sleep 0.3 keyup Escape" },
};

// utime + stime of a process in seconds; -1 when it cannot be read.
static double ProcessCpuSeconds(pid_t pid)
{
    char path[64];
    snprintf(path, sizeof(path), "/proc/%d/stat", (int)pid);
    FILE *f = fopen(path, "r");
    if (!f) return -1.0;
    char line[1024];
    bool read = fgets(line, sizeof(line), f) != nullptr;
    fclose(f);
    const char *p = read ? strrchr(line, ')') : nullptr;   // the name may hold spaces
    unsigned long utime = 0, stime = 0;
    if (!p || sscanf(p + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %lu %lu", &utime, &stime) != 2) return -1.0;
    return (double)(utime + stime) / (double)sysconf(_SC_CLK_TCK);
}

// Runs xdotool with the steps, %s standing for the window id; returns its exit status.
static int XdoRun(const char *steps, const std::string &window)
{
    char command[1024];
    std::string withWindow = std::string("xdotool ") + steps;
    snprintf(command, sizeof(command), withWindow.c_str(), window.c_str(), window.c_str());
    return system(command);
}

static std::string FindWindow(void)
{
    FILE *p = popen("xdotool search --sync --onlyvisible --name '^kirto$' 2>/dev/null | head -n 1", "r");
    if (!p) return "";
    char id[64] = "";
    if (!fgets(id, sizeof(id), p)) id[0] = '\0';
    pclose(p);
    id[strcspn(id, "\n")] = '\0';
    return id;
}

static pid_t StartEditor(const char *kirto, const char *workdir)
{
    pid_t pid = fork();
    if (pid != 0) return pid;
    if (chdir(workdir) != 0) _exit(127);
    if (!freopen("/dev/null", "w", stdout) || !freopen("/dev/null", "w", stderr)) _exit(127);
    execl(kirto, kirto, (char *)nullptr);
    _exit(127);
}

int main(void)
{
    if (!getenv("DISPLAY")) {
        fprintf(stderr, "idle_bench: no display (run under Xvfb)\n");
        return 1;
    }
    char kirto[kPathLen];
    ssize_t n = readlink("/proc/self/exe", kirto, sizeof(kirto) - 1);
    if (n <= 0) return 1;
    kirto[n] = '\0';
    char *slash = strrchr(kirto, '/');
    snprintf(slash + 1, sizeof(kirto) - (size_t)(slash + 1 - kirto), "%s", "kirto");
    const char *env = getenv("KIRTO_IDLE_SECONDS");
    double idleSeconds = env ? atof(env) : kDefaultIdleSeconds;
    if (!(idleSeconds > 0.0)) idleSeconds = kDefaultIdleSeconds;

    char workdir[] = "/tmp/kirto-idle-XXXXXX";
    if (!mkdtemp(workdir)) return 1;
    pid_t pid = StartEditor(kirto, workdir);
    std::string window = FindWindow();
    if (pid <= 0 || window.empty()) {
        fprintf(stderr, "idle_bench: the editor's window did not appear\n");
        if (pid > 0) kill(pid, SIGKILL);
        return 1;
    }
    usleep(kSettleMicros);
    XdoRun("windowfocus --sync %s", window);

    printf("the editor at rest, %.0f s each (cores = CPU time / wall time)\n", idleSeconds);
    double worst = 0.0;
    for (const IdleState &s : kStates) {
        if (s.opens) XdoRun(s.opens, window);
        usleep(kSettleMicros);
        double cpu0 = ProcessCpuSeconds(pid), t0 = NowMs();
        usleep((useconds_t)(idleSeconds * 1e6));
        double cpu1 = ProcessCpuSeconds(pid), t1 = NowMs();
        if (cpu0 < 0.0 || cpu1 < 0.0) {
            fprintf(stderr, "idle_bench: the editor is gone\n");
            return 1;
        }
        double cores = (cpu1 - cpu0) / ((t1 - t0) / 1000.0);
        if (cores > worst) worst = cores;
        printf("  %-44s %6.3f cores\n", s.label, cores);
        if (s.closes) XdoRun(s.closes, window);
    }
    printf("  %-44s %6.3f cores\n", "worst", worst);
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    std::string clean = std::string("rm -rf '") + workdir + "'";
    return system(clean.c_str()) == 0 ? 0 : 1;
}
