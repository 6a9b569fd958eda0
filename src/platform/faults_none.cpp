// The shipped subset's answer to fault injection: no call is made to fail, no box is reported.
#include "platform/platform_internal.h"

bool subsetFaultInjected(const char*) { return false; }

void subsetTraceMessageBox(const char*, const char*) {}
