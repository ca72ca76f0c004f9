#include "thread_priority.h"

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <unistd.h>

void raiseThreadPriority() {
  // The kernel clamps -100 to its lowest niceness.
  (void)setpriority(PRIO_PROCESS, 0, -100);
  (void)setpriority(PRIO_PROCESS, getpid(), -100);
  (void)setpriority(PRIO_PROCESS, gettid(), -100);
  (void)!nice(-20);

  sched_param param = {};
  param.sched_priority = sched_get_priority_max(SCHED_FIFO);
  (void)pthread_setschedparam(pthread_self(), SCHED_FIFO, &param);
  (void)sched_setscheduler(0, SCHED_FIFO, &param);
}
