#include "host/host_state.h"

#include "platform/saver_contract.h"

HostStateRecord HostState;

HINSTANCE SaverModule() {
    return HostState.moduleInstance;
}
