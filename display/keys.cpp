#include "keys.h"

#include <cstdio>

#include <GLFW/glfw3.h>

#include "canvas_context.h"

// Printed and flipped; nothing consults them yet.
static bool fctxToggle = true;
static bool ctxToggle = true;

void keyPressed(GLFWwindow* window, int key, int, int action, int) {
  if (action != GLFW_PRESS) return;
  if (key == GLFW_KEY_SPACE) {
    fputs(fctxToggle ? "FCTX OFF\n" : "FCTX ON\n", stdout);
    fctxToggle = !fctxToggle;
  } else if (key == GLFW_KEY_TAB) {
    fputs(ctxToggle ? "CTX OFF\n" : "CTX ON\n", stdout);
    ctxToggle = !ctxToggle;
  } else if (key == GLFW_KEY_LEFT_SHIFT) {
    puts("===============================");
    auto* canvas = static_cast<CanvasContext*>(glfwGetWindowUserPointer(window));
    if (canvas) canvas->commandEcho = !canvas->commandEcho;
  }
}
