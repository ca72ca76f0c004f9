// Linked only into sanitizer builds of the programs that open a GL context.
// GLFW and Mesa unload the X and driver libraries at exit while some of
// their allocations are still held, so the leak checker sees leaks in
// modules it can no longer name and cannot suppress; leak checking stays on
// for the tests that do not touch GL. Mesa's software rasteriser
// synchronises its worker threads in code the thread checker does not see.
extern "C" const char* __asan_default_options() { return "detect_leaks=0"; }

extern "C" const char* __tsan_default_suppressions() {
  return "race:swrast_dri.so\n"
         "race:libLLVM\n"
         "mutex:swrast_dri.so\n";
}
