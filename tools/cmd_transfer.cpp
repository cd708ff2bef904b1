#include <cstdio>

#include "tools/cli_commands.h"

// Placeholders until the transfer lands.
int cmdTransfer(int, char**) { std::fputs("not built yet\n", stderr); return 1; }
int cmdHanConv(int, char**) { std::fputs("not built yet\n", stderr); return 1; }
int cmdClassify(int, char**) { std::fputs("not built yet\n", stderr); return 1; }
