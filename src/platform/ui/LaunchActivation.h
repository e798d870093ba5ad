#pragma once

#include "platform/shell/SingleInstance.h"

class QWidget;

// Lets `window`, about to be brought forward for a later launch, take the keyboard with what
// the desktop gave that launch: on Wayland the toolkit passes the activation token to the
// compositor at its next activation request; on X11 the startup notification ends and the
// window asks for the keyboard at the moment the user started the launch.
void UseLaunchActivation(const LaunchActivation& activation, QWidget* window);
