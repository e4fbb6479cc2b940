#include "SamplerThread.h"

#include <pthread.h>
#include <sched.h>
#include <sys/prctl.h>

void g_PrepareSamplerThread() {
    // Sleeps end within a microsecond of their deadline instead of the default 50.
    prctl(PR_SET_TIMERSLACK, 1UL, 0, 0, 0);
    sched_param param{};
    param.sched_priority = sched_get_priority_max(SCHED_FIFO);
    if (pthread_setschedparam(pthread_self(), SCHED_FIFO, &param) != 0) {
        // Without the right to real-time scheduling: the most favoured ordinary priority, if allowed.
        param.sched_priority = 0;
        pthread_setschedparam(pthread_self(), SCHED_OTHER, &param);
    }
}
