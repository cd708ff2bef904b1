#include <cstdio>

#include "tools/cli_commands.h"

// Placeholders until printing lands.
int cmdLayout(int, char**) { std::fputs("not built yet\n", stderr); return 1; }
int cmdPrint(int, char**) { std::fputs("not built yet\n", stderr); return 1; }
