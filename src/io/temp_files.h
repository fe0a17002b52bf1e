// Temporary files that must not outlive the program: when SIGTERM or SIGHUP
// ends it halfway through a write, the files named here are removed and the
// signal then ends the program as it would have. (Ctrl-C is the program's
// own business; a program with its own handler for either signal keeps it.)
#pragma once

// Up to 16 at a time; the path is copied. 0 when there is no room left.
int IO_RemoveOnTermination(const char* path);
// Once the file has been renamed into place or removed.
void IO_KeepOnTermination(const char* path);
