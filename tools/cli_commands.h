#pragma once
// Subcommands of vamu_pelican_cli; each takes argv[0] = its own name.
int cmdTransfer(int argc, char** argv);
int cmdHanConv(int argc, char** argv);
int cmdClassify(int argc, char** argv);
int cmdLayout(int argc, char** argv);
int cmdPrint(int argc, char** argv);
int cmdHistory(int argc, char** argv);
int cmdBatch(int argc, char** argv);
int cmdPostal(int argc, char** argv);
int cmdTracking(int argc, char** argv);
int cmdServer(int argc, char** argv);
int cmdForm(int argc, char** argv);
