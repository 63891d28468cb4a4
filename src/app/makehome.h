#pragma once

// `kvistel --make-home KATALOG`: a home directory made from the example that comes with the
// program, as the first start's "Skapa en ny hemkatalog med exemplet" makes it (tools/run.sh
// and tools/screenshots.sh make theirs so). Runs without a window or display.
bool wantsMakeHome(int argc, char *argv[]);
// Makes the home directory and says where on standard error, or why not; returns the exit
// status (0 made, 2 not).
int makeHomeFromCommandLine(int argc, char *argv[]);
