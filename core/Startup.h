#pragma once
// The program's start: command line, splash, database, preferences, main
// window. Returns the process exit code.
int RunProgram(int argc, char** argv);
