#pragma once

// After messages have been handled, the application gets one idle call in which tool bar
// buttons take their state from the update rules. Asking twice before it runs is one call.
void ScheduleIdleUpdate();
