#include "host/host_state.h"

HostStateRecord HostState;
