// The two platform tests: which family of Windows, and whether the user may install for everyone.
#pragma once

// 1 on a system of the NT family, 0 on the 95 family.
int IsNtPlatform();
// 1 when the user may install for the whole system (always on the 95 family), else 0.
int HasAdminRights();
