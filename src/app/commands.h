// The command dispatcher: menu items, accelerators and toolbar buttons all arrive here.
#pragma once

#include <windows.h>

void OnCommand(WPARAM wParam);
