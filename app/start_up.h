// The start of the program: the module registrations in order and the three long-lived objects.
#pragma once

#include <string>
#include <vector>

class TMainForm1;

// Runs the start-up registrations, makes the main window (with the command-line files to open at
// its first show) and the journal. Returns the main window.
TMainForm1* StartProgram(const std::vector<std::string>& Files);
// Frees what StartProgram made (the main window first).
void EndProgram();

// The start-up registrations alone, in order (what a view needs without the main window), and
// their undoing.
void StartModules();
void EndModules();
