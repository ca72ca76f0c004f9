// The fpgaload command line: identify the part, print its status, or load its
// SRAM from a binx file. Expects the pins to be set up already.
#pragma once

// Returns the exit status: 0 on success, 255 on failure.
int runFpgaload(int argc, const char* const* argv);
