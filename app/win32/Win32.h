// <windows.h> for the front end. The system header maps MessageBox to
// MessageBoxW, which would rename the host interface's own MessageBox in
// every file that sees both; the front end calls the wide functions by name.
#pragma once

#include <windows.h>

#undef MessageBox
