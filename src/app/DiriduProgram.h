#pragma once

// Program entry: sets up the application, creates the windows and runs until exit.
int runDiridu(int argc, char **argv);
