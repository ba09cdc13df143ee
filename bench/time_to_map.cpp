// Starts a program on the X display in $DISPLAY and measures, from just before
// it is started, the time until the X server maps its first top-level window
// and the time until the program first draws into that window (reported by
// the Damage extension). It reads the program's peak resident memory so far
// when the window is mapped (VmHWM in /proc/PID/status); then, after letting
// the program settle, ends it and reads its peak resident memory over the
// whole run from the kernel (the figure GNU time prints as %M).
//
//   time_to_map [--settle MS] PROGRAM [ARGUMENTS...]
// prints one line:
//   map_ms=<ms> paint_ms=<ms> map_peak_kb=<kB> peak_rss_kb=<kB> window=<width>x<height>
//
// The display must have no window manager and no other client making
// windows: every window created under the root is taken as the program's.
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <string>
#include <string_view>

namespace {

constexpr int kTimeoutMs = 20'000;

double nowMs() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}

[[noreturn]] void fail(const char* what) {
  std::fprintf(stderr, "time_to_map: %s\n", what);
  std::exit(2);
}

pid_t start(char** argv) {
  const pid_t pid = fork();
  if (pid < 0) fail("cannot fork");
  if (pid == 0) {
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, STDOUT_FILENO);
    dup2(null, STDERR_FILENO);
    execvp(argv[0], argv);
    _exit(127);
  }
  return pid;
}

// The peak resident memory of a running process so far, in kB; 0 if unknown.
long peakResidentKb(pid_t pid) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  for (std::string line; std::getline(status, line);)
    if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
  return 0;
}

struct Display {
  xcb_connection_t* x;
  xcb_window_t root;
  uint8_t damageNotify;  // the Damage extension's event code
};

Display open() {
  Display d{xcb_connect(nullptr, nullptr), 0, 0};
  if (xcb_connection_has_error(d.x)) fail("cannot open the display in $DISPLAY");
  fcntl(xcb_get_file_descriptor(d.x), F_SETFD, FD_CLOEXEC);
  d.root = xcb_setup_roots_iterator(xcb_get_setup(d.x)).data->root;
  const xcb_query_extension_reply_t* damage = xcb_get_extension_data(d.x, &xcb_damage_id);
  if (!damage || !damage->present) fail("the display has no Damage extension");
  d.damageNotify = damage->first_event + XCB_DAMAGE_NOTIFY;
  std::free(xcb_damage_query_version_reply(d.x, xcb_damage_query_version(d.x, 1, 1), nullptr));
  const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
  if (xcb_generic_error_t* e =
          xcb_request_check(d.x, xcb_change_window_attributes_checked(d.x, d.root, XCB_CW_EVENT_MASK, &mask))) {
    std::free(e);
    fail("cannot watch the root window");
  }
  return d;
}

struct Start {
  xcb_window_t window = 0;
  double mappedMs = 0, paintedMs = 0;  // since the start
  long mappedPeakKb = 0;
};

// Follows the program's windows: each gets a damage record when it is made,
// so that the first drawing after the first map is seen however soon it comes.
Start follow(const Display& d, pid_t pid, double startedMs) {
  Start s;
  pollfd fd{xcb_get_file_descriptor(d.x), POLLIN, 0};
  for (const double deadline = startedMs + kTimeoutMs; nowMs() < deadline;) {
    while (xcb_generic_event_t* event = xcb_poll_for_event(d.x)) {
      const double at = nowMs() - startedMs;
      const uint8_t type = event->response_type & 0x7f;
      if (type == XCB_CREATE_NOTIFY) {
        const auto* made = reinterpret_cast<xcb_create_notify_event_t*>(event);
        xcb_damage_create(d.x, xcb_generate_id(d.x), made->window, XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
        xcb_flush(d.x);
      } else if (type == XCB_MAP_NOTIFY && !s.window) {
        const auto* map = reinterpret_cast<xcb_map_notify_event_t*>(event);
        if (map->event == d.root) {
          s.window = map->window;
          s.mappedMs = at;
          s.mappedPeakKb = peakResidentKb(pid);
        }
      } else if (type == d.damageNotify && s.window) {
        if (reinterpret_cast<xcb_damage_notify_event_t*>(event)->drawable == s.window) s.paintedMs = at;
      }
      std::free(event);
      if (s.paintedMs > 0) return s;
    }
    if (xcb_connection_has_error(d.x)) fail("lost the X connection");
    if (waitpid(pid, nullptr, WNOHANG) == pid) fail("the program ended before it drew a window");
    poll(&fd, 1, 50);
  }
  fail("the program drew no window in time");
}

}  // namespace

int main(int argc, char** argv) {
  int first = 1;
  int settleMs = 500;
  if (argc > 2 && std::string_view(argv[1]) == "--settle") {
    settleMs = std::atoi(argv[2]);
    first = 3;
  }
  if (first >= argc) fail("usage: time_to_map [--settle MS] PROGRAM [ARGUMENTS...]");

  const Display d = open();
  const double startedMs = nowMs();
  const pid_t pid = start(argv + first);
  const Start s = follow(d, pid, startedMs);

  int width = 0, height = 0;
  if (xcb_get_geometry_reply_t* g = xcb_get_geometry_reply(d.x, xcb_get_geometry(d.x, s.window), nullptr)) {
    width = g->width;
    height = g->height;
    std::free(g);
  }
  usleep(static_cast<useconds_t>(settleMs) * 1000);
  kill(pid, SIGTERM);
  int status = 0;
  rusage usage{};
  wait4(pid, &status, 0, &usage);
  xcb_disconnect(d.x);
  std::printf("map_ms=%.3f paint_ms=%.3f map_peak_kb=%ld peak_rss_kb=%ld window=%dx%d\n", s.mappedMs, s.paintedMs,
              s.mappedPeakKb, usage.ru_maxrss, width, height);
  return 0;
}
