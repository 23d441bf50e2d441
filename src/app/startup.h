#pragma once

class IDesktop;

// The whole program: start-up, the command-line actions, discovery and one
// mode. Returns the exit code. Without a frontend the program cannot run its
// GUI modes and acts as a console tool.
int runSkyvane(int& argc, char** argv, IDesktop* frontend);
