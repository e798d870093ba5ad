#pragma once

#include <string>

// Makes the system hold what the device's record asks for, and remembers in the record what
// it holds. Runs the backends' tools: never on the user-interface thread.
void ReconcileTimedLaunch(const std::string& deviceDirectory);
