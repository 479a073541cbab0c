/* x11_frames: waits until an X11 window has presented a number of new frames.
 *
 * The editor rests between frames while nothing moves and draws again at any event, so once the
 * count has started this program sends the window a client message that means nothing to it
 * (any event wakes it), and sends another whenever no frame came for a while: waking a resting
 * editor is all it does. With --no-wake it only watches, which shows whether the window draws
 * of its own accord (a quiet window times out with "0 of ... frames").
 *
 * Every buffer swap of a GL window under Mesa's software renderer copies the whole back buffer
 * into the window with one (Shm)PutImage, which the DAMAGE extension reports as one event. The
 * count starts when this program has made its round trip to the server, so every frame counted
 * was presented after every request any client had finished before it started (xdotool ends
 * with one). The report of the whole window that the server makes when the count starts is
 * not a frame. Events with the same server time are counted once: a swap that the server splits
 * may never count twice, and counting two swaps as one only waits longer.
 * Usage: x11_frames <window id> <frames> <timeout in seconds> [--no-wake]
 * Exit status: 0 when the frames came, 1 on a timeout or a lost window, 2 on bad arguments.
 */
#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/select.h>
#include <time.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xdamage.h>

static const double kWakeAgainSeconds = 0.25;   /* no frame for this long: wake the window again */

static int gWindowLost = 0;

/* A window that is gone (the program ended) is a failure to report, not a crash. */
static int NoteError(Display *display, XErrorEvent *error)
{
    (void)display;
    if (error->error_code == BadWindow || error->error_code == BadDrawable) gWindowLost = 1;
    return 0;
}

/* A client message of a type nobody handles: the window's program reads it and ignores it. */
static void WakeWindow(Display *display, Window window, Atom type)
{
    XEvent event;
    memset(&event, 0, sizeof(event));
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = type;
    event.xclient.format = 32;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
}

static double SecondsNow(void)
{
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return (double)now.tv_sec + (double)now.tv_nsec / 1e9;
}

int main(int argc, char **argv)
{
    int wake = !(argc == 5 && strcmp(argv[4], "--no-wake") == 0);
    if (argc != 4 && wake) {
        fprintf(stderr, "usage: %s <window id> <frames> <timeout in seconds> [--no-wake]\n", argv[0]);
        return 2;
    }
    Window window = (Window)strtoul(argv[1], NULL, 0);
    long wanted = strtol(argv[2], NULL, 10);
    double timeout = strtod(argv[3], NULL);
    if (window == 0 || wanted < 0 || timeout <= 0.0) {
        fprintf(stderr, "x11_frames: bad arguments\n");
        return 2;
    }
    Display *display = XOpenDisplay(NULL);
    if (display == NULL) {
        fprintf(stderr, "x11_frames: cannot open the display\n");
        return 1;
    }
    int damageEvent = 0, damageError = 0;
    if (!XDamageQueryExtension(display, &damageEvent, &damageError)) {
        fprintf(stderr, "x11_frames: the X server has no DAMAGE extension\n");
        return 1;
    }
    XSetErrorHandler(NoteError);
    XSelectInput(display, window, StructureNotifyMask);
    XDamageCreate(display, window, XDamageReportRawRectangles);
    XSync(display, False);
    while (XPending(display) > 0) {       // the server reports the whole window once at creation
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == DestroyNotify) gWindowLost = 1;
    }

    long counted = 0;
    Time lastTime = CurrentTime;
    double deadline = SecondsNow() + timeout;
    Atom wakeType = XInternAtom(display, "X11_FRAMES_WAKE", False);
    double wakeAt = SecondsNow();
    int fd = ConnectionNumber(display);
    while (counted < wanted && !gWindowLost) {
        if (wake && SecondsNow() >= wakeAt) {
            WakeWindow(display, window, wakeType);
            wakeAt = SecondsNow() + kWakeAgainSeconds;
        }
        if (XPending(display) == 0) {
            double left = deadline - SecondsNow();
            if (left <= 0.0) break;
            double untilWake = wakeAt - SecondsNow();
            if (wake && left > untilWake) left = untilWake > 0.0 ? untilWake : 0.0;
            fd_set readable;
            FD_ZERO(&readable);
            FD_SET(fd, &readable);
            struct timeval wait = { (time_t)left, (suseconds_t)((left - (double)(time_t)left) * 1e6) };
            if (select(fd + 1, &readable, NULL, NULL, &wait) < 0 && errno != EINTR) break;
            continue;
        }
        XEvent event;
        XNextEvent(display, &event);
        if (event.type == DestroyNotify) {
            gWindowLost = 1;
        } else if (event.type == damageEvent + XDamageNotify) {
            const XDamageNotifyEvent *damage = (const XDamageNotifyEvent *)&event;
            if (!damage->more && damage->timestamp != lastTime) {
                lastTime = damage->timestamp;
                counted++;
                wakeAt = SecondsNow() + kWakeAgainSeconds;
            }
        }
    }
    XCloseDisplay(display);
    if (counted >= wanted) return 0;
    if (gWindowLost) fprintf(stderr, "x11_frames: the window is gone\n");
    else fprintf(stderr, "x11_frames: %ld of %ld frames within %g s\n", counted, wanted, timeout);
    return 1;
}
