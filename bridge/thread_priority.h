#pragma once

// Lifts the calling thread to the highest FIFO real-time priority, and the
// process to the lowest niceness; every failure is ignored.
void raiseThreadPriority();
