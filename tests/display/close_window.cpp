// Asks every top-level window with the given title to close, as a window
// manager's close button does (WM_DELETE_WINDOW).
#include <X11/Xlib.h>

#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: close_window TITLE\n");
    return 2;
  }
  Display* display = XOpenDisplay(nullptr);
  if (!display) return 1;
  Window root = DefaultRootWindow(display), parent, *children = nullptr;
  unsigned count = 0;
  XQueryTree(display, root, &root, &parent, &children, &count);
  Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
  Atom deleteWindow = XInternAtom(display, "WM_DELETE_WINDOW", False);
  int closed = 0;
  for (unsigned i = 0; i < count; ++i) {
    char* name = nullptr;
    if (XFetchName(display, children[i], &name) && name && strcmp(name, argv[1]) == 0) {
      XEvent event{};
      event.xclient.type = ClientMessage;
      event.xclient.window = children[i];
      event.xclient.message_type = protocols;
      event.xclient.format = 32;
      event.xclient.data.l[0] = long(deleteWindow);
      event.xclient.data.l[1] = CurrentTime;
      XSendEvent(display, children[i], False, NoEventMask, &event);
      ++closed;
    }
    if (name) XFree(name);
  }
  if (children) XFree(children);
  XCloseDisplay(display);
  return closed ? 0 : 1;
}
