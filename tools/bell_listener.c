/* Appends one line to the file named by its argument for every bell the X server rings. */
#include <X11/XKBlib.h>
#include <stdio.h>

int main(int argc, char **argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: bell_listener LOGFILE\n");
    return 2;
  }
  int event_base, error_base, major = XkbMajorVersion, minor = XkbMinorVersion, reason;
  Display *display = XkbOpenDisplay(NULL, &event_base, &error_base, &major, &minor, &reason);
  if (!display) {
    fprintf(stderr, "bell_listener: cannot open display\n");
    return 1;
  }
  XkbSelectEvents(display, XkbUseCoreKbd, XkbBellNotifyMask, XkbBellNotifyMask);
  FILE *log = fopen(argv[1], "a");
  if (!log) return 1;
  for (;;) {
    XEvent event;
    XNextEvent(display, &event);
    if (event.type == event_base + XkbEventCode &&
        ((XkbAnyEvent *)&event)->xkb_type == XkbBellNotify) {
      fprintf(log, "bell\n");
      fflush(log);
    }
  }
}
