#pragma once

// Puts the program's own alarm sounds into \Windows where they are missing; a file of the
// same name that is there already (the user's own, perhaps) stays as it is.
void InstallAlarmSounds();
