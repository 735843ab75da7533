#pragma once

#include <QString>

// Where the running instance can be found: the user's runtime directory holds its lock
// file and its mail socket. The directory is private to the user (mode 0700), so no other
// account can queue requests or take the lock.

// The runtime directory, created with mode 0700 when it does not exist yet; empty when
// there is none that can be used.
QString runtimeDirectory();

// Empty when runtimeDirectory() is.
QString instanceLockPath();
QString mailServerPath();
