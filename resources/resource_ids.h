/* Resource identifiers shared by the resource script and the code. */
#pragma once

#define IDD_CONTROLLER 102
#define IDI_CLOCK_FREE 128
#define IDI_CLOCK_HELD 129
#define IDI_CLOCK_FORCED_DOWN 130
