#pragma once

// The program's start-up, message loop and exit status.
int runApplication(int argc, char** argv);
