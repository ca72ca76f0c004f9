// Claiming the screen: GLFW, the full-screen window and its GL context.
#pragma once

struct GLFWwindow;

// Up to 20 attempts, 500 ms apart, staying alive for the watchdog meanwhile.
bool initGlfwWithRetries();

// Sets the window hints and opens the 1024x600 full-screen window on the
// primary monitor. Null on failure (GLFW's error callback says why).
GLFWwindow* openWindow(bool isWayland);

bool platformIsWayland();
