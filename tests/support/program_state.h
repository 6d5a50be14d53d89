#pragma once
// Tests run the client many times in one process: this puts what the program keeps beyond its
// windows back as a program that has just started finds it, and reads some of it.

class Window;

void ResetProgramState();

// Whether the window runs modally now (ShowModal's loop, nested ones included).
bool InModalRun(const Window& window);
