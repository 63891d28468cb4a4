#pragma once

// `kvistel --make-home KATALOG`: a home directory made from the example that comes with the
// program, as the first start's "Skapa en ny hemkatalog med exemplet" makes it (tools/run.sh
// and tools/screenshots.sh make theirs so). Runs without a window or display.
bool wantsMakeHome(int argc, char *argv[]);
// Makes the home directory and says where on standard error, or why not; returns the exit
// status (0 made, 2 not).
int makeHomeFromCommandLine(int argc, char *argv[]);

// kvistel.exe, the window program on Windows, started from cmd with the command line's switches
// (--batch, --help, ...) and nowhere to write (no redirection): a message box says to use
// kvistel-batch.exe, the console program beside it. Returns the exit status, 2.
int pointToConsoleProgram(int argc, char *argv[]);
