#pragma once

#define QUILLO_VERSION "0.1.0"
