#include "executor.h"

#include "app_state.h"

int ExecuteOperation(OperationParams*) {
    PrintStatus(1, "FAILURE: Operation not available");
    return 0;
}
