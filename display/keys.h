// Keyboard diagnostics, when a keyboard is attached.
#pragma once

struct GLFWwindow;

// The window's user pointer must be the CanvasContext (for the echo switch).
void keyPressed(GLFWwindow* window, int key, int scancode, int action, int mods);
