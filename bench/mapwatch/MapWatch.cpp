// Starts a program and prints how many milliseconds pass until its first top-level
// window is mapped on the X display (a MapNotify on the root window), then ends it.
//   mapwatch PROGRAM [ARGUMENTS...]
// The clock starts just before the program is started, so what is measured is what a
// user waits for: loading, start-up and the first window on screen. Unlike a poll for
// the window (xdotool search --sync looks every half second), the event arrives at once.
#include <xcb/xcb.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: mapwatch PROGRAM [ARGUMENTS...]\n");
        return 2;
    }
    xcb_connection_t* x = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(x)) {
        std::fprintf(stderr, "mapwatch: cannot open the display\n");
        return 2;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(x, root, XCB_CW_EVENT_MASK, &mask);
    // A round trip, so the server has the mask before the program can map anything.
    free(xcb_get_input_focus_reply(x, xcb_get_input_focus(x), nullptr));

    const auto start = std::chrono::steady_clock::now();
    const pid_t child = fork();
    if (child < 0) {
        std::perror("mapwatch: fork");
        return 2;
    }
    if (child == 0) {
        execvp(argv[1], argv + 1);
        std::perror("mapwatch: exec");
        _exit(127);
    }
    double ms = -1;
    pollfd pfd{xcb_get_file_descriptor(x), POLLIN, 0};
    while (ms < 0 && poll(&pfd, 1, 20000) > 0) {
        while (xcb_generic_event_t* e = xcb_poll_for_event(x)) {
            // Menus and tooltips (override-redirect) are not the window a user waits for.
            const bool mapped = (e->response_type & 0x7f) == XCB_MAP_NOTIFY
                                && !reinterpret_cast<xcb_map_notify_event_t*>(e)->override_redirect;
            free(e);
            if (mapped && ms < 0)
                ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        }
        if (xcb_connection_has_error(x))
            break;
    }
    kill(child, SIGTERM);
    int status = 0;
    waitpid(child, &status, 0);
    xcb_disconnect(x);
    if (ms < 0) {
        std::fprintf(stderr, "mapwatch: %s mapped no window within 20 s\n", argv[1]);
        return 1;
    }
    std::printf("%.1f\n", ms);
    return 0;
}
