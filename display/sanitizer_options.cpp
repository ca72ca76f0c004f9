// Linked only into address-sanitizer builds of the programs that open a GL
// context. GLFW and Mesa unload the X and driver libraries at exit while
// some of their allocations are still held, so the leak checker sees leaks
// in modules it can no longer name and cannot suppress. Leak checking stays
// on for the tests that do not touch GL; every other check stays on here.
extern "C" const char* __asan_default_options() { return "detect_leaks=0"; }
