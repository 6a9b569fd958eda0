// The resource identifier of the program's icon, for the resource script and for the code that
// loads the icon.
#pragma once

#define IDI_HELICOID 101
