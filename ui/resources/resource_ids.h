// Resource identifiers of the module, shared by the resource script and the code.
#pragma once

#define IDI_MODULE 1055  // the module's icon: window class, pages and the program file itself
