// Writing the current member of the package reader to a file.
#pragma once

// Writes the member to target (whose folder exists); a target already there is replaced only by a
// complete copy. A target in use or protected is written beside it under a temporary name and replaced
// at the next restart. Bytes written, or -1 with nothing of the member left.
long ExtractMemberToFile(const char* target);
